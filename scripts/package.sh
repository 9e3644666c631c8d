#!/usr/bin/env bash
# Debian packages:
#   scripts/package.sh         builds build/deb/kaslnk_<version>_<arch>.deb (and kaslnk-okno_...
#                              when the window is built, python3-kaslnk_... with the Python
#                              module) after checking the manual pages, and
#                              runs lintian on them (no errors allowed); beside them the
#                              Windows installers kaslnk-<version>-win64-setup.exe and
#                              -win32-setup.exe when MinGW-w64 and NSIS are installed
#   scripts/package.sh check   installs kaslnk and python3-kaslnk with apt-get (as root), runs
#                              the installed program, library and module against the installed
#                              simulator in a scratch directory, and removes them again
set -euo pipefail
cd "$(dirname "$0")/.."
koren=$PWD
chyba() { echo "package: $*" >&2; exit 1; }

if [ "${1:-}" != check ]; then
  scripts/setup.sh dpkg-dev lintian man-db
  for m in docs/man/*.1; do
    varovani=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$m" 2>&1 >/dev/null)
    [ -z "$varovani" ] || chyba "$m: $varovani"
    lexgrog "$m" >/dev/null || chyba "$m: lexgrog finds no NAME section"
  done
  # The release build, installed under /usr (its tests are not installed).
  cmake -S . -B build -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
  scripts/build.sh release
  rm -rf build/deb
  cpack --config build/CPackConfig.cmake -B build/deb >/dev/null
  for deb in build/deb/*.deb; do
    echo "== $deb"
    dpkg-deb --field "$deb" Package Version Depends Recommends Suggests
    lintian --fail-on error "$deb"
  done
  # The Windows installers beside them, where MinGW-w64 and NSIS are installed
  # (scripts/windows.sh installs them and checks the installer under Wine).
  if command -v makensis >/dev/null && command -v x86_64-w64-mingw32-g++-posix >/dev/null &&
      command -v i686-w64-mingw32-g++-posix >/dev/null; then
    for arch in x86_64:win64 i686:win32; do
      b=build-${arch#*:}
      cmake --no-warn-unused-cli -S . -B "$b" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-${arch%:*}.cmake \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKASLNK_BENCH=OFF >/dev/null
      cmake --build "$b" -j "$(nproc 2>/dev/null || echo 2)" --target kaslnk kaslnk_lib >/dev/null
      cpack --config "$b/CPackConfig.cmake" -B build/deb >/dev/null
    done
    rm -rf build/deb/_CPack_Packages
    ls -l build/deb/kaslnk-*-setup.exe
  else
    echo "package: MinGW-w64 or NSIS missing (scripts/windows.sh installs them): no Windows installer"
  fi
  exit 0
fi

# check: the package as a user gets it.
[ "$(id -u)" -eq 0 ] || chyba "check installs a package: run it as root"
deb=$(ls build/deb/kaslnk_*.deb 2>/dev/null | head -n 1)
pydeb=$(ls build/deb/python3-kaslnk_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] && [ -n "$pydeb" ] || chyba "no build/deb/kaslnk_*.deb and python3-kaslnk_*.deb: run scripts/package.sh first"
# Minimal images may keep manual pages out; the check needs these two.
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
  -o Dpkg::Options::=--path-include='/usr/share/man/man1/kaslnk*' "$koren/$deb" "$koren/$pydeb" >/dev/null
kaslnk --version
man -w kaslnk
man -w kaslnk-sim

d=$(mktemp -d /tmp/kaslnk-package.XXXXXX)
sim_pid=""
uklid() {
  [ -z "$sim_pid" ] || { kill "$sim_pid" 2>/dev/null || true; timeout 10 tail --pid="$sim_pid" -f /dev/null || true; }
  rm -rf "$d"
}
trap uklid EXIT
cd "$d"
kaslnk --init
[ -f p_time.fds ] && [ -f glogo.fds ] && [ -f fdsu.cmx ] || chyba "--init did not copy the files"
cp /usr/share/kaslnk/examples/cti_plu.cmd /usr/share/kaslnk/examples/status.cmd .
cp -r /usr/share/kaslnk/examples/register pokladna
printf 'zpozdeni = 0\r\nticho = 1\r\n' > kaslnk.ini
# --background: it returns once com1 exists and serves on.
kaslnk-sim -m pokladna -q -l "$d/com1" --background > sim.out 2> sim.err ||
  { cat sim.err >&2; chyba "the simulator did not start"; }
sim_pid=$(sed -n 2p sim.out)
KASLNK_COM1=$d/com1 kaslnk --list-ports | grep -F "COM1  $d/com1  (KASLNK_COM1)"
KASLNK_COM1=$d/com1 kaslnk cti_plu.cmd || chyba "the transfer ended with $?: $(cat era.log)"
[ "$(cat err)" = 0 ] && [ "$(wc -l < plu.dat)" -gt 100 ] || chyba "the transfer left err $(cat err)"
echo "installed kaslnk read $(wc -l < plu.dat) PLU lines from kaslnk-sim: $(tail -n 1 era.log)"
# The library as another program finds it: the installed C example built with pkg-config
# reads the PLU file again through libkaslnk.
if command -v cc >/dev/null && command -v pkg-config >/dev/null; then
  mkdir api
  cc /usr/share/kaslnk/examples/api/cti_plu.c $(pkg-config --cflags --libs kaslnk) -o api/cti_plu
  printf 'zpozdeni = 0\r\nticho = 1\r\n' > api/kaslnk.ini
  api/cti_plu "$d/api" "$d/com1" > api/out.txt || chyba "cti_plu ended with $?: $(cat api/out.txt)"
  cmp -s plu.dat api/plu.dat || chyba "cti_plu read another plu.dat"
  echo "the installed library read the same plu.dat ($(pkg-config --modversion kaslnk), pkg-config)"
fi
# The Python module of python3-kaslnk as a user imports it: Debian's python3 finds it in
# dist-packages, and it reads the PLU file once more.
mkdir py && cp cti_plu.cmd kaslnk.ini py/
/usr/bin/python3 - "$d/py" "$d/com1" <<'KONEC' || chyba "the Python module's read failed"
import sys, kaslnk
with kaslnk.Session(sys.argv[1]) as s:
    s.set_port(1, sys.argv[2])
    r = s.run("cti_plu.cmd /q")
sys.exit(str(r) if r.exit_code else 0)
KONEC
cmp -s plu.dat py/plu.dat || chyba "the Python module read another plu.dat"
echo "the installed Python module read the same plu.dat ($(/usr/bin/python3 -c 'import kaslnk; print(kaslnk.__file__)'))"
# A user outside the group dialout may not open the terminal: error 92, and /d tells how to fix it.
mkdir bez_prav && cp status.cmd kaslnk.ini bez_prav/ && chmod 777 "$d" bez_prav && cd bez_prav
rc=0
setpriv --reuid=nobody --regid=nogroup --clear-groups env KASLNK_COM1="$d/com1" \
  kaslnk status.cmd /d > /dev/null 2> nobody.err || rc=$?
[ "$rc" -eq 1 ] && grep -q ',92,' era.log && grep -q dialout nobody.err \
  || chyba "a port without permission ended with $rc: $(cat era.log nobody.err)"
echo "port without permission: $(tail -n 1 era.log), the group dialout named"

cd "$koren"
DEBIAN_FRONTEND=noninteractive apt-get purge -y python3-kaslnk kaslnk >/dev/null
for p in kaslnk python3-kaslnk; do
  ! dpkg-query -W -f='${Status}' $p 2>/dev/null | grep -q installed || chyba "$p is still installed"
done
[ ! -e /usr/bin/kaslnk ] && [ ! -e /usr/share/kaslnk ] && [ ! -e /usr/share/man/man1/kaslnk.1.gz ] &&
  [ ! -e /usr/include/kaslnk.h ] && ! ls /usr/lib/*/libkaslnk.so* >/dev/null 2>&1 &&
  ! ls /usr/lib/python3/dist-packages/kaslnk.* >/dev/null 2>&1 \
  || chyba "files of kaslnk stayed behind"
echo "kaslnk removed cleanly"
