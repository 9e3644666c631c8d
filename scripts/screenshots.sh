#!/usr/bin/env bash
# Takes the README's pictures of the window (docs/okno.png, docs/otevrit.png,
# docs/ulozit.png, docs/napoveda.png, docs/o_programu.png, docs/nastaveni_linky.png,
# docs/port_a_rychlost.png, docs/nahled_loga.png) on a virtual display (Xvfb):
# scripts/screenshots.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh release
[ -x build/kaslnk-snimky ] || { echo "the window is not built (Qt 6 missing?)" >&2; exit 1; }
prace=$(mktemp -d)
xvfb=""
trap '[ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null; rm -rf "$prace"' EXIT
cp examples/denni.cmd "$prace/"
docs=$(pwd)/docs
# The searches in the picture open no real port: COM1..COM9 name no device.
for i in $(seq 9); do export "KASLNK_COM$i=/nonexistent/kaslnk-com$i"; done
# Xvfb writes its display number into the pipe once it accepts clients.
mkfifo "$prace/displej"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$prace/displej" 2>/dev/null &
xvfb=$!
read -r -t 30 cislo < "$prace/displej" || { echo "Xvfb did not start" >&2; exit 1; }
(cd "$prace" && DISPLAY=":$cislo" QT_QPA_PLATFORM=xcb "$OLDPWD/build/kaslnk-snimky" "$docs" "$prace/denni.cmd")
ls -l docs/*.png
