#!/usr/bin/env bash
# Takes the pictures of the Windows window as Wine draws it (docs/win-okno.png,
# docs/win-linka.png, docs/win-port.png,
# docs/win-o_programu.png, docs/win-napoveda.png) on a virtual display, in a Wine
# desktop of its own so that Wine draws the frames: scripts/screenshots-win.sh
# (after scripts/windows.sh has built build-win64).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/cekani.sh
[ -x build-win64/kaslnk.exe ] || { echo "build-win64/kaslnk.exe is missing (scripts/windows.sh)" >&2; exit 1; }
prace=$(mktemp -d)
export WINEPREFIX=$prace/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
docs=$(pwd)/docs
cp build-win64/kaslnk.exe "$prace/"
printf 'zpozdeni = 100\r\n' > "$prace/kaslnk.ini"
cd "$prace"
snimky() {
    local plocha=(timeout 60 wine explorer /desktop=kaslnk,1000x900) snimek id okno
    # /d writes the settings on the terminal screen; Nový (40053) shows the editor.
    for snimek in 40053:win-okno 40028:win-o_programu 40004:win-napoveda 40027:win-linka 40017:win-port; do
        id=${snimek%%:*}
        "${plocha[@]}" kaslnk.exe /d &
        okno=$!
        sleep 12
        "${plocha[@]}" kaslnk.exe --command "$id"
        sleep 3
        import -window root -crop 1000x900+0+0 +repage "$docs/${snimek#*:}.png"
        timeout 30 wineserver -k || true
        wait "$okno" || true
    done
}
spust_xvfb "$prace"
snimky
kill "$xvfb_pid"
rm -rf "$prace"
ls -l "$docs"/win-*.png
