# The Windows program's ports beyond COM1..COM9 under Wine; sourced by scripts/windows.sh
# after scripts/wine-porty.sh and scripts/wine-smoke.sh, with WINEPREFIX set up.
#
# wine_prenos_mapovany EXE SIM DRUH: runs EXE under Wine on a command file for COM1 that
# reads the simulator's PLU file and sends it back, with COM1 mapped by kaslnk.ini
# ("com1 = ...") to the simulator SIM served as DRUH:
#   tcp      raw TCP on a free loopback port       (com1 = tcp://127.0.0.1:PORT)
#   rfc2217  Telnet with COM-port control          (com1 = rfc2217://127.0.0.1:PORT)
#   com12    a pseudo-terminal that Wine names COM12, while Wine's own COM1 leads
#            nowhere                               (com1 = COM12)
# The checks are those of the smoke test (wine_zkontroluj_prenos). An EXE in a folder of
# the Wine prefix (an installed program) runs where it is, its folder being the program
# directory; any other is copied into a scratch one.
wine_prenos_mapovany() {
    local exe=$1 sim=$2 druh=$3 dir adresa
    dir=$(mktemp -d /tmp/pokladna-$druh.XXXXXX)
    smoke_dir=$dir
    mkdir "$dir/jinde"
    if [[ "$exe" == "$WINEPREFIX"/* ]]; then
        ln -s "$(dirname "$exe")" "$dir/program"
    else
        mkdir "$dir/program"
        cp "$exe" "$dir/program/kaslnk.exe"
    fi
    printf '000001,1,6,1,era\r\n/20-00/11///B000/;plu\r\n/10-00/;plu\r\n' > "$dir/program/smoke.cmd"
    cp -r examples/register "$dir/register"
    local volby=()
    case $druh in
        tcp | rfc2217) volby=("--$druh" 0) ;;
    esac
    timeout 300 "$sim" -m "$dir/register" -q -T "$dir/trace.txt" "${volby[@]}" > "$dir/sim.out" 2> "$dir/sim.err" &
    smoke_sim_pid=$!
    # The first line is the simulator's address, written once it accepts connections.
    adresa=""
    for _ in $(seq 100); do adresa=$(head -n1 "$dir/sim.out"); [ -n "$adresa" ] && break; sleep 0.1; done
    [ -n "$adresa" ] || { cat "$dir/sim.err" >&2; echo "the simulator gave no address" >&2; return 1; }
    if [ "$druh" = com12 ]; then
        wine_mapuj_com12 "$adresa" || return 1
        adresa=COM12
    fi
    printf 'zpozdeni = 0\r\ncom1 = %s\r\n' "$adresa" > "$dir/program/kaslnk.ini"
    echo "com1 = $adresa (kaslnk.ini)"

    wine_spust_smoke "$dir" || return 1
    echo "through com1 = $adresa: 367 PLU records read into plu.dat and sent back"
    rm -rf "$dir"
}

# wine_mapuj_com12 PTY: Wine's COM12 is the pseudo-terminal PTY and COM1..COM9 lead
# nowhere (one registry write and one server restart); fails unless the links then
# point there.
wine_mapuj_com12() {
    local pty=$1 reg i
    reg=$(mktemp --suffix=.reg)
    {
        printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\n"COM12"="%s"\n' "$pty"
        for i in 1 2 3 4 5 6 7 8 9; do printf '"COM%d"="%s"\n' "$i" "$(wine_cil_portu "$i" "")"; done
    } > "$reg"
    timeout 60 wine regedit /S "$(timeout 30 winepath -w "$reg")"
    rm -f "$reg"
    wine_konec_serveru
    timeout 60 wine cmd /c exit
    for i in 1 2 3 4 5 6 7 8 9; do
        [ "$(readlink "$WINEPREFIX/dosdevices/com$i")" = "$(wine_cil_portu "$i" "")" ] ||
            { echo "COM$i does not lead nowhere" >&2; return 1; }
    done
    [ "$(readlink "$WINEPREFIX/dosdevices/com12")" = "$pty" ] || { echo "COM12 is not $pty" >&2; return 1; }
    echo "COM12 -> $pty (kaslnk-sim), COM1..COM9 -> /nonexistent"
}

# wine_konzole EXE: --version and --list-ports (the system's ports, and each COMn's
# mapping with its source) write to the caller's standard output and end with 0. The
# other forms and their exit codes are checked by the unit tests (Win32Program).
wine_konzole() {
    local exe=$1 out rc=0
    out=$(timeout 60 wine "$exe" --version 2>&1) || rc=$?
    [ "$rc" = 0 ] && [ "$out" = $'kaslnk 4.00\r' ] ||
        { echo "--version: exit code $rc, output '$out'" >&2; return 1; }
    out=$(KASLNK_COM3=tcp://127.0.0.1:9 timeout 60 wine "$exe" --list-ports 2>&1) || rc=$?
    echo "$out" | tr -d '\r'
    [ "$rc" = 0 ] && grep -q '^  COM3  tcp://127.0.0.1:9  (KASLNK_COM3)' <<< "$out" &&
        grep -q '^  COM2  COM2  (default)' <<< "$out" && grep -q '^  COM1  \\Device\\Serial0' <<< "$out" ||
        { echo "--list-ports: exit code $rc" >&2; return 1; }
}

# wine_instalator SETUP SIM: the installer SETUP installs silently into C:\kaslnk-test
# (/S /D=...): the program, the files --init needs, the Start-menu entry and the
# uninstaller with its Add/Remove programs key. The installed kaslnk.exe --init copies
# its files into an empty folder; the installed kaslnk.exe then runs the
# command file against the simulator SIM over tcp:// (wine_prenos_mapovany), and the
# silent uninstaller removes every file it installed, the entry and the keys.
wine_instalator() {
    local setup=$1 sim=$2 cil="$WINEPREFIX/drive_c/kaslnk-test" rc=0 soubory klic
    klic='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\kaslnk'
    timeout --kill-after=10 120 wine "$setup" /S '/D=C:\kaslnk-test' || rc=$?
    timeout 60 wineserver -w || true
    [ "$rc" = 0 ] || { echo "the installer ended with $rc" >&2; return 1; }
    soubory=$(cd "$cil" && find . -type f | sort)
    echo "installed into C:\kaslnk-test: $(echo $soubory)"
    for f in ./bin/kaslnk.exe ./share/kaslnk/p_time.fds ./share/kaslnk/glogo.fds ./share/kaslnk/fdsu.cmx \
        ./Uninstall.exe; do
        grep -qxF "$f" <<< "$soubory" || { echo "the installer left out $f" >&2; return 1; }
    done
    wine_registr "$klic" UninstallString || { echo "no uninstall key $klic" >&2; return 1; }
    wine_zastupce kaslnk.lnk || { echo "no Start-menu entry kaslnk.lnk" >&2; return 1; }

    # --init copies the installed files into the current folder.
    local prazdny out
    prazdny=$(mktemp -d /tmp/kaslnk-init.XXXXXX)
    out=$(cd "$prazdny" && timeout 60 wine 'C:\kaslnk-test\bin\kaslnk.exe' --init 2>&1) || rc=$?
    for f in p_time.fds glogo.fds fdsu.cmx; do
        [ "$rc" = 0 ] && cmp -s "$prazdny/$f" "$cil/share/kaslnk/$f" ||
            { echo "--init (exit code $rc) did not copy $f: $out" >&2; rm -rf "$prazdny"; return 1; }
    done
    rm -rf "$prazdny"
    echo "the installed kaslnk.exe --init copied p_time.fds, glogo.fds and fdsu.cmx"

    wine_prenos_mapovany "$cil/bin/kaslnk.exe" "$sim" tcp || return 1

    rc=0
    timeout --kill-after=10 120 wine 'C:\kaslnk-test\Uninstall.exe' /S || rc=$?
    # The uninstaller runs a copy of itself from the temporary folder and returns at once:
    # its end is the end of the prefix's last process.
    timeout 60 wineserver -w || true
    [ "$rc" = 0 ] || { echo "the uninstaller ended with $rc" >&2; return 1; }
    local zbylo=()
    while read -r f; do [ ! -e "$cil/$f" ] || zbylo+=("$f"); done <<< "$soubory"
    [ ${#zbylo[@]} = 0 ] || { echo "the uninstaller left ${zbylo[*]}" >&2; return 1; }
    ! wine_registr "$klic" UninstallString || { echo "the uninstaller left $klic" >&2; return 1; }
    ! wine_zastupce kaslnk.lnk || { echo "the uninstaller left the Start-menu entry" >&2; return 1; }
    echo "installed silently, ran over tcp://, removed silently: no installed file, entry or key left"
}

# wine_registr KEY VALUE: the value exists in the 64-bit or the 32-bit view of the registry.
wine_registr() {
    timeout 60 wine reg query "$1" /v "$2" /reg:64 >/dev/null 2>&1 ||
        timeout 60 wine reg query "$1" /v "$2" /reg:32 >/dev/null 2>&1
}

# wine_zastupce NAME: a Start-menu entry of that name exists (for all users or this one).
wine_zastupce() {
    [ -n "$(find "$WINEPREFIX/drive_c" -path '*Start Menu*' -name "$1" 2>/dev/null)" ]
}
