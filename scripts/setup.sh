#!/usr/bin/env bash
# Installs the Debian packages that are missing:
#   scripts/setup.sh --main      only what building and running kaslnk and its simulator needs
#   scripts/setup.sh [PKG...]    also what the tests, benchmarks and screenshots need, and
#                                the packages named (scripts/package.sh adds its tools)
# No system service is left enabled or running by it: ser2net, which the tests start as a
# program of their own, comes with a service that serves /dev/ttyS0 on localhost.
set -euo pipefail
main=(cmake make g++)
if [ "${1:-}" = --main ]; then
  shift
  packages=("${main[@]}" "$@")
else
  # qt6-base-dev: the window program kaslnk-okno (a build without it still builds kaslnk);
  # qt6-translations-l10n: Qt's own dialogs in the window speak Czech (qtbase_cs.qm);
  # xvfb and xauth: the screenshots script runs the window on a virtual display;
  # imagemagick: the logo tests convert pictures made by another program than ours;
  # ser2net: the network tests and benchmark reach the simulator through it;
  # libsystemd-dev: the progress icon on the desktop's session bus (sd-bus); dbus-daemon:
  # its tests run a private session bus; pybind11-dev, python3-dev: the Python module,
  # python3-pytest: its tests.
  packages=("${main[@]}" pkg-config libsystemd-dev libgtest-dev libgmock-dev libbenchmark-dev ser2net
            qt6-base-dev qt6-translations-l10n xvfb xauth imagemagick dbus-daemon
            pybind11-dev python3-dev python3-pytest "$@")
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

# ser2net_uklid INSTALLED: the ser2net service is disabled and stopped when this run
# installed it or when it runs on the package's own configuration (nobody set it up);
# a ser2net the administrator configured is only reported.
ser2net_uklid() {
  dpkg-query -W -f='${Status}' ser2net 2>/dev/null | grep -q "install ok installed" || return 0
  local konf=/etc/ser2net.yaml vychozi=0 povolena=0 bezi=0
  local md5
  md5=$(dpkg-query -W -f='${Conffiles}\n' ser2net 2>/dev/null | awk -v f="$konf" '$1 == f { print $2 }')
  if [ -n "$md5" ] && [ -f "$konf" ] && [ "$(md5sum < "$konf" | cut -d' ' -f1)" = "$md5" ]; then vychozi=1; fi
  local systemd=0
  command -v systemctl >/dev/null 2>&1 && systemd=1
  if [ "$systemd" = 1 ] && systemctl is-enabled --quiet ser2net 2>/dev/null; then povolena=1; fi
  if [ -d /run/systemd/system ]; then
    systemctl is-active --quiet ser2net 2>/dev/null && bezi=1
  elif [ -x /etc/init.d/ser2net ]; then
    /etc/init.d/ser2net status >/dev/null 2>&1 && bezi=1
  fi
  if ls /etc/rc[2-5].d/S[0-9][0-9]ser2net >/dev/null 2>&1; then povolena=1; fi
  [ "$povolena" = 1 ] || [ "$bezi" = 1 ] || return 0
  if [ "$1" != 1 ] && [ "$vychozi" != 1 ]; then
    echo "setup: the ser2net service is enabled with your own $konf: left as it is" >&2
    return 0
  fi
  if [ "$bezi" = 1 ]; then
    if [ -d /run/systemd/system ]; then $SUDO systemctl stop ser2net; else $SUDO /etc/init.d/ser2net stop; fi
  fi
  if [ "$povolena" = 1 ]; then
    if [ "$systemd" = 1 ]; then
      $SUDO systemctl disable ser2net 2>&1 | grep -v -e '^Synchronizing' -e '^Executing' -e '^Removed' || true
    fi
    # Without systemd (or where it left them), the links of the init script.
    if ls /etc/rc[2-5].d/S[0-9][0-9]ser2net >/dev/null 2>&1; then $SUDO update-rc.d ser2net disable >/dev/null; fi
  fi
  local stav=enabled
  if [ "$systemd" = 1 ]; then stav=$(systemctl is-enabled ser2net 2>/dev/null || true); fi
  ls /etc/rc[2-5].d/S[0-9][0-9]ser2net >/dev/null 2>&1 || [ "$stav" != enabled ] || stav=disabled
  echo "setup: the ser2net service (not needed: the tests start ser2net themselves) is ${stav:-disabled} and not running"
  [ "$stav" != enabled ] || { echo "setup: ser2net is still enabled" >&2; return 1; }
}

if [ ${#missing[@]} -gt 0 ]; then
  # No service starts while the packages are installed: invoke-rc.d asks policy-rc.d,
  # and 101 means "not now". An existing policy is the administrator's and stays.
  politika=""
  if [ ! -e /usr/sbin/policy-rc.d ]; then
    politika=/usr/sbin/policy-rc.d
    printf '#!/bin/sh\n# scripts/setup.sh of kaslnk: no service starts during its apt-get install\nexit 101\n' |
      $SUDO tee "$politika" >/dev/null
    $SUDO chmod 755 "$politika"
    trap '$SUDO rm -f "$politika"' EXIT
  fi
  nainstalovan=0
  printf '%s\n' "${missing[@]}" | grep -qx ser2net && nainstalovan=1
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends \
    -o DPkg::Lock::Timeout=600 "${missing[@]}"
  if [ -n "$politika" ]; then $SUDO rm -f "$politika"; trap - EXIT; fi
  ser2net_uklid "$nainstalovan"
else
  ser2net_uklid 0
fi
