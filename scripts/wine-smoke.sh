# The end-to-end check of the Windows program under Wine; sourced by scripts/windows.sh
# after scripts/wine-porty.sh and scripts/cekani.sh, with WINEPREFIX set up.
#
# wine_smoke EXE SIM: serves a copy of examples/register with the Linux register
# simulator SIM on a new pseudo-terminal, maps Wine's COM1 to it (COM2..COM9 nowhere)
# and checks the mapping, then runs EXE under Wine from a scratch program directory on a
# command file that reads the PLU file and sends it back. Checks the exit code, the log,
# "err", "error.txt", the data file and the register's memory afterwards. Stops the Wine
# server before the simulator closes its end of the terminal. Message boxes stay out of
# the way: no /h, /w or debug, and the ini file switches none on.
wine_smoke() {
    local exe=$1 sim=$2 dir
    dir=$(mktemp -d /tmp/pokladna-smoke.XXXXXX)
    smoke_dir=$dir
    mkdir "$dir/program" "$dir/jinde"
    cp "$exe" "$dir/program/kaslnk.exe"
    printf '000001,1,6,1,era\r\n/20-00/11///B000/;plu\r\n/10-00/;plu\r\n' > "$dir/program/smoke.cmd"
    printf 'zpozdeni = 100\r\n' > "$dir/program/kaslnk.ini"

    wine_simulator "$dir" "$sim" || return 1

    wine_spust_smoke "$dir" || return 1
    echo "smoke test passed: 367 PLU records read into plu.dat and sent back; log, err, error.txt as expected"
    rm -rf "$dir"
}

# wine_spust_smoke DIR: runs DIR/program/kaslnk.exe under Wine on the command file
# smoke.cmd, then stops the Wine server and the simulator and checks the run
# (wine_zkontroluj_prenos). Started from another directory with the command file named
# with a directory: the program directory comes from the command line, the file by its
# bare name from there.
wine_spust_smoke() {
    local dir=$1 rc=0 program_win zacatek
    program_win=$(timeout 30 winepath -w "$(readlink -f "$dir/program")/kaslnk.exe")
    zacatek=$(date +%s%N)
    (cd "$dir/jinde" && timeout --kill-after=10 120 wine "$program_win" 'C:\jinde\smoke.cmd') || rc=$?
    echo "kaslnk.exe ended with $rc after $(( ($(date +%s%N) - zacatek) / 1000000 )) ms"
    wine_konec_simulatoru
    wine_zkontroluj_prenos "$dir" "$rc"
}

# wine_zkontroluj_prenos DIR RC: the checks of a run on DIR/program/smoke.cmd (the PLU
# file read and sent back) that ended with RC: exit code, log, err, error.txt, the data
# file, no work files left, nothing in DIR/jinde, the simulator's journal and its memory
# DIR/register afterwards. Shows what differs and fails then.
wine_zkontroluj_prenos() {
    local dir=$1 rc=$2 n p=$1/program chyby=()
    [ "$rc" = 0 ] || chyby+=("exit code $rc, not 0")
    [ "$(cat "$p/err" 2>/dev/null)" = 0 ] || chyby+=("err is not 0")
    [ "$(cat "$p/error.txt" 2>/dev/null)" = $'151\r' ] || chyby+=("error.txt is not 151")
    local datum='[0-9]{2}-[0-9]{2}-[0-9]{4},[0-9]{2}:[0-9]{2}'
    grep -qxE "$datum,00,000001,/20-00/11///B000/;1,0000"$'\r'"\$" "$p/era.log" 2>/dev/null &&
        grep -qxE "$datum,00,000001,/10-00/;1,0000"$'\r'"\$" "$p/era.log" &&
        [ "$(wc -l < "$p/era.log")" = 2 ] || chyby+=("the log does not hold the two operations")
    n=$(grep -c $'\r$' "$p/plu.dat" 2>/dev/null || true)
    [ "$n" = 367 ] && [ "$(wc -l < "$p/plu.dat")" = 367 ] || chyby+=("plu.dat has ${n:-no} CR LF lines, not 367")
    [ "$(head -n1 "$p/plu.dat" 2>/dev/null)" = \
      $'00000000000001,01,0,1,0000,00000000,"Rohl\xEDk tukov\xFD   ",+00000000390,+000000000\r' ] ||
        chyby+=("the first line of plu.dat differs")
    for f in plu.fds timd.cmx glog.cmx; do [ -s "$p/$f" ] || chyby+=("$f is missing"); done
    for f in work01.tmp work02.tmp wlasterr.tmp; do [ ! -e "$p/$f" ] || chyby+=("$f was left behind"); done
    [ -z "$(ls -A "$dir/jinde")" ] || chyby+=("files were written to the current directory")
    # The PLU file went back unchanged: the register stores the same records it sent.
    grep -q "read file 11/01, 367 records" "$dir/register/journal.log" 2>/dev/null &&
        grep -q "send: file 11/01 (367 records) stored in plu.txt" "$dir/register/journal.log" ||
        chyby+=("the register's journal lacks the read or the send")
    cmp -s <(tr -d '\r' < "$dir/register/plu.txt") <(tr -d '\r' < examples/register/plu.txt) ||
        chyby+=("the register's PLU file changed")

    if [ ${#chyby[@]} -gt 0 ]; then
        printf 'smoke test: %s\n' "${chyby[@]}" >&2
        for f in era.log err error.txt; do echo "--- $f" >&2; cat "$p/$f" >&2 2>/dev/null; echo >&2; done
        echo "--- simulator" >&2; cat "$dir/sim.err" "$dir/register/journal.log" >&2 2>/dev/null
        echo "--- end of the line trace" >&2; tail -n 20 "$dir/trace.txt" >&2 2>/dev/null
        ls -la "$p" >&2
        return 1
    fi
}

# wine_simulator DIR SIM: serves a copy of examples/register (DIR/register) with the
# simulator SIM on a new pseudo-terminal (its pid in smoke_sim_pid, its line trace in
# DIR/trace.txt), maps Wine's COM1 to it and COM2..COM9 nowhere, and checks the mapping.
# The simulator returns once its terminal exists (--background) and serves on.
wine_simulator() {
    local dir=$1 sim=$2 pty
    cp -r examples/register "$dir/register"
    "$sim" -m "$dir/register" -q -T "$dir/trace.txt" --background > "$dir/sim.out" 2> "$dir/sim.err" ||
        { cat "$dir/sim.err" >&2; echo "the simulator gave no terminal" >&2; return 1; }
    pty=$(sed -n 1p "$dir/sim.out")
    smoke_sim_pid=$(sed -n 2p "$dir/sim.out")

    # Nothing runs under Wine until COM1 is the simulator's terminal and COM2..9 lead nowhere.
    wine_mapuj_porty "$pty"
    [ "$(readlink "$WINEPREFIX/dosdevices/com1")" = "$pty" ] || { echo "COM1 is not $pty" >&2; return 1; }
    echo "COM1 -> $pty (kaslnk-sim), COM2..COM9 -> /nonexistent"

}

# wine_konec_simulatoru: the Wine server may hold the terminal, so it goes first, then the
# simulator's end.
wine_konec_simulatoru() {
    timeout 30 wineserver -k 2>/dev/null || true
    timeout 30 wineserver -w 2>/dev/null || true
    # Not a child of this shell (it went into the background itself): signalled, then
    # awaited by its pid until it is gone (it lets the host read its last bytes first).
    if [ -n "$smoke_sim_pid" ]; then
        kill "$smoke_sim_pid" 2>/dev/null || true
        timeout 10 tail --pid="$smoke_sim_pid" -f /dev/null 2>/dev/null || true
    fi
    smoke_sim_pid=""
}

# wine_okno TESTS SIM: the main window on a virtual display (Xvfb), reached as other
# programs reach it: the Win32Okno case of the unit tests TESTS, with COM1 on the
# simulator SIM. The window's boxes go to its error output (KASLNK_OKNO_BEZ_DOTAZU).
# The display is there before the ports are mapped: the Wine server that maps them lives
# on into the test, and one started without a display would give the window Wine's null
# driver (kaslnk.exe /w then ends with 4).
wine_okno() {
    local tests=$1 sim=$2 dir pty rc=0 zacatek
    dir=$(mktemp -d /tmp/pokladna-okno.XXXXXX)
    smoke_dir=$dir
    spust_xvfb "$dir" || return 1
    wine_simulator "$dir" "$sim" || return 1
    pty=$(readlink "$WINEPREFIX/dosdevices/com1")
    zacatek=$(date +%s%N)
    KASLNK_WINE_OKNO="$pty" timeout --kill-after=10 150 \
        wine "$tests" --gtest_filter='Win32Okno.*' > "$dir/okno.out" 2>&1 || rc=$?
    echo "the window test took $(( ($(date +%s%N) - zacatek) / 1000000 )) ms"
    wine_konec_simulatoru
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
    unset DISPLAY
    if [ "$rc" != 0 ] || ! grep -q '^\[       OK \] Win32Okno' "$dir/okno.out"; then
        cat "$dir/okno.out" >&2
        echo "--- simulator" >&2; cat "$dir/sim.err" "$dir/register/journal.log" >&2 2>/dev/null
        return 1
    fi
    grep -E '^(kaslnk-okno: konec|\[ +(OK|FAILED) +\])' "$dir/okno.out"
    rm -rf "$dir"
}
