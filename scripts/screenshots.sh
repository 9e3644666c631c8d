#!/usr/bin/env bash
# Takes the README's pictures of the window (docs/okno.png, docs/napoveda.png,
# docs/o_programu.png, docs/nastaveni_linky.png, docs/port_a_rychlost.png,
# docs/nahled_loga.png) on a virtual display: scripts/screenshots.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh release
[ -x build/kaslnk-snimky ] || { echo "the window is not built (Qt 6 missing?)" >&2; exit 1; }
prace=$(mktemp -d)
trap 'rm -rf "$prace"' EXIT
cp examples/denni.cmd "$prace/"
docs=$(pwd)/docs
(cd "$prace" && QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$OLDPWD/build/kaslnk-snimky" "$docs" "$prace/denni.cmd")
ls -l docs/*.png
