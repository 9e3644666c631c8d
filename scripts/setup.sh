#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need (only those missing), and
# those named as arguments (scripts/package.sh adds the packaging tools).
set -euo pipefail
# qt6-base-dev: the window program kaslnk-okno (a build without it still builds kaslnk);
# qt6-translations-l10n: Qt's own dialogs in the window speak Czech (qtbase_cs.qm);
# xvfb and xauth: the screenshots script runs the window on a virtual display;
# imagemagick: the logo tests convert pictures made by another program than ours;
# libsystemd-dev: the progress icon on the desktop's session bus (sd-bus); dbus-daemon:
# its tests run a private session bus.
packages=(cmake make g++ pkg-config libsystemd-dev libgtest-dev libgmock-dev libbenchmark-dev ser2net qt6-base-dev
  qt6-translations-l10n xvfb xauth imagemagick dbus-daemon "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
