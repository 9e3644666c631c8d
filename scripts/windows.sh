#!/usr/bin/env bash
# The Windows build: installs MinGW-w64 and Wine (only what is missing), cross-builds the
# 64-bit and the 32-bit Windows targets, checks that the .exe files import only system
# DLLs, runs the unit tests of both under Wine in a fresh prefix (the i686 ones under
# 32-bit Wine), and runs kaslnk.exe under Wine against the Linux register simulator:
# unattended (the smoke test, both builds; COM1 mapped to tcp://, rfc2217:// and COM12),
# a C program that calls kaslnk.dll (both builds),
# and from its window on a virtual display (Xvfb). Builds the installers and checks the
# 64-bit one under Wine.
set -Eeuo pipefail
cd "$(dirname "$0")/.."
trap 'echo "windows.sh: failed (exit code $?) at line $LINENO: $BASH_COMMAND" >&2' ERR
zacatek=$(date +%s)
jobs=$(nproc 2>/dev/null || echo 2)

packages=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64 googletest xvfb xauth nsis)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends \
    -o DPkg::Lock::Timeout=600 "${missing[@]}"
fi
# 32-bit Wine runs the i686 build; Debian serves it for the i386 architecture.
if ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO dpkg --add-architecture i386
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends \
    -o DPkg::Lock::Timeout=600 wine32:i386
fi

werror=OFF
[ -n "${CI:-}" ] && werror=ON
wine_bin=$(command -v wine)
common=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DKASLNK_BENCH=OFF -DKASLNK_WERROR=$werror)

echo "== Windows x86_64 build (MinGW-w64) =="
cmake --no-warn-unused-cli -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake "${common[@]}" \
  -DKASLNK_WINE="$wine_bin" >/dev/null
cmake --build build-win64 -j "$jobs"

echo "== Windows i686 build (MinGW-w64) =="
cmake --no-warn-unused-cli -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake "${common[@]}" \
  -DKASLNK_WINE="$wine_bin" >/dev/null
cmake --build build-win32 -j "$jobs"
# Every object of the library linked into one program, so that all of the Win32 layer
# meets the 32-bit linker, not only what kaslnk.exe uses so far.
echo 'int main() { return 0; }' |
  i686-w64-mingw32-g++-posix -x c++ - -x none -o build-win32/kaslnk_core_link.exe -static \
    -Wl,--whole-archive build-win32/libkaslnk_core.a build-win32/libkaslnk_win32.a -Wl,--no-whole-archive \
    build-win32/libkaslnk_ui.a build-win32/libkaslnk_core.a -lcomdlg32 -lgdi32 -luser32 -lshell32 -lws2_32

# kaslnk.exe is a GUI-subsystem program, so that no console window opens when another
# program starts it.
for exe in build-win32/kaslnk.exe build-win64/kaslnk.exe; do
  [[ "$(objdump -p "$exe")" =~ $'\n'Subsystem[[:space:]]+0+2[[:space:]] ]] ||
    { echo "$exe is not a GUI-subsystem program" >&2; exit 1; }
done

# A program must run on a bare Windows: no MinGW runtime DLLs, only the system's own
# (the names in any case: the linker writes "comdlg32.dll" as the import library has it).
shopt -s nocasematch
allowed='^(KERNEL32|USER32|GDI32|ADVAPI32|SHELL32|COMCTL32|COMDLG32|WINSPOOL\.DRV|WINMM|WS2_32|OLE32|msvcrt|ucrtbase|api-ms-win-crt-[a-z0-9-]+)(\.dll)?$'
for exe in build-win32/kaslnk.exe build-win32/kaslnk_core_link.exe build-win32/tests/kaslnk_tests.exe \
    build-win64/kaslnk.exe build-win64/tests/kaslnk_tests.exe build-win32/kaslnk.dll build-win64/kaslnk.dll; do
  dlls=$(objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
  [ -n "$dlls" ] || { echo "$exe: no imports found" >&2; exit 1; }
  while read -r dll; do
    if ! [[ "$dll" =~ $allowed ]]; then
      echo "$exe imports $dll, which a bare Windows does not have" >&2
      exit 1
    fi
  done <<< "$dlls"
  echo "$exe imports: $(echo $dlls)"
done
shopt -u nocasematch

# The installers (CPack's NSIS generator): kaslnk-<version>-win64-setup.exe and -win32-.
for b in build-win64 build-win32; do
  cpack --config $b/CPackConfig.cmake -B $b/setup >/dev/null
  ls $b/setup/kaslnk-*-setup.exe
done

# The register simulator of the smoke test is a Linux program.
if [ -f build/CMakeCache.txt ]; then
  sim_build=build
else
  sim_build=build-sim
  cmake -S . -B build-sim -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKASLNK_TESTS=OFF -DKASLNK_BENCH=OFF \
    -DKASLNK_WERROR=$werror >/dev/null
fi
cmake --build "$sim_build" -j "$jobs" --target kaslnk-sim >/dev/null
echo "Windows builds took $(( $(date +%s) - zacatek )) s"
wine_zacatek=$(date +%s)

echo "== Windows unit tests under Wine =="
WINEPREFIX=$(mktemp -d /tmp/kaslnk-wine.XXXXXX)
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# No display: Wine cannot show a window or a message box, so nothing waits for a click.
unset DISPLAY WAYLAND_DISPLAY
pty_pid="" smoke_sim_pid="" smoke_dir="" xvfb_pid=""
uklid() {
  timeout 30 wineserver -k 2>/dev/null || true
  timeout 30 wineserver -w 2>/dev/null || true
  # The Wine server holds the pseudo-terminal as its controlling terminal: closing the
  # other end first would hang it up (SIGHUP) while it still runs.
  for pid in $pty_pid $smoke_sim_pid $xvfb_pid; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$WINEPREFIX" ${smoke_dir:+"$smoke_dir"}
}
trap uklid EXIT
# A 64-bit Wine without its 32-bit half says so while it makes the prefix; nothing else
# of its output is dropped.
{ timeout 120 wine wineboot --init 2>&1 || exit 1; } |
  { grep -v -e 'syswow64' -e 'has been updated' || true; }
. scripts/cekani.sh
. scripts/wine-porty.sh
. scripts/wine-smoke.sh
wine_mapuj_porty
ctest --test-dir build-win64 -j 2 --output-on-failure --timeout 120
echo "== i686 unit tests under 32-bit Wine =="
ctest --test-dir build-win32 -j 2 --output-on-failure --timeout 120

# The serial backend on COM1 mapped to a pseudo-terminal that echoes every byte.
if command -v python3 >/dev/null; then
  echo "== Win32 serial port on a pseudo-terminal under Wine =="
  # Ready when it has printed its terminal's path into the pipe.
  pty_out=$(mktemp -u /tmp/kaslnk-pty.XXXXXX)
  mkfifo "$pty_out"
  python3 scripts/pty_echo.py 60 > "$pty_out" &
  pty_pid=$!
  pty=$(prvni_radek "$pty_out" 60)
  rm -f "$pty_out"
  [ -n "$pty" ] || { echo "pty_echo.py gave no terminal" >&2; exit 1; }
  wine_mapuj_porty "$pty"
  vysledek=$(KASLNK_WINE_PTY="$pty" timeout 60 wine build-win64/tests/kaslnk_tests.exe \
    --gtest_filter='Win32Pty.*' 2>&1) || { echo "$vysledek"; exit 1; }
  echo "$vysledek" | grep -E '^(DTR|modem|line|\[ +(OK|SKIPPED|FAILED) +\])'
  echo "$vysledek" | grep -q '^\[       OK \] Win32Pty' || { echo "$vysledek"; exit 1; }
  # The Wine server first, then the terminal's other end.
  timeout 30 wineserver -k 2>/dev/null || true
  timeout 30 wineserver -w 2>/dev/null || true
  kill "$pty_pid" 2>/dev/null || true
  pty_pid=""
else
  echo "python3 not found: the serial check on a pseudo-terminal is left out"
fi

echo "== Smoke test: kaslnk.exe under Wine reads and sends the PLU file of kaslnk-sim =="
wine_smoke build-win64/kaslnk.exe "$sim_build/kaslnk-sim"
echo "== Smoke test of the i686 kaslnk.exe under 32-bit Wine =="
wine_smoke build-win32/kaslnk.exe "$sim_build/kaslnk-sim"

# The library: a C program calls kaslnk.dll, which reads from the simulator over tcp://.
. scripts/wine-knihovna.sh
echo "== cti_plu.exe (examples/api) calls kaslnk.dll under Wine =="
wine_knihovna build-win64 "$sim_build/kaslnk-sim"
echo "== the i686 cti_plu.exe and kaslnk.dll under 32-bit Wine =="
wine_knihovna build-win32 "$sim_build/kaslnk-sim"

# COM1 of the command file mapped by kaslnk.ini to network ports and to COM12, and the
# forms that write to the caller's console.
. scripts/wine-porty-sit.sh
echo "== kaslnk.exe --version, --help, --list-ports under Wine =="
wine_konzole build-win64/kaslnk.exe
for druh in rfc2217 com12; do
  echo "== kaslnk.exe through com1 = $druh under Wine =="
  wine_prenos_mapovany build-win64/kaslnk.exe "$sim_build/kaslnk-sim" "$druh"
done

# The installer, and the installed program through com1 = tcp://.
echo "== The installer under Wine: silent install, a run over tcp://, silent removal =="
wine_instalator build-win64/setup/kaslnk-*-win64-setup.exe "$sim_build/kaslnk-sim"

# The window of kaslnk.exe under Wine on Xvfb, reached by WM_COMMAND (Win32Okno.*).
echo "== The window of kaslnk.exe under Wine on Xvfb: a transfer from WM_COMMAND against kaslnk-sim =="
wine_okno build-win64/tests/kaslnk_tests.exe "$sim_build/kaslnk-sim"
echo "Wine steps took $(( $(date +%s) - wine_zacatek )) s; Windows steps took $(( $(date +%s) - zacatek )) s in all"
