# The library kaslnk.dll as a Windows program calls it; sourced by scripts/windows.sh with
# WINEPREFIX set up.
#
# wine_knihovna BUILD SIM: examples/api/cti_plu.c built against BUILD/kaslnk.dll (its
# import library libkaslnk.dll.a) runs under Wine in a scratch program directory with
# only the DLL beside it; COM1 of its session goes to the simulator SIM served on a free
# loopback port (tcp://). It must end with 0 and leave the 367 PLU records in plu.dat.
wine_knihovna() {
    local build=$1 sim=$2 dir adresa out rc=0 triple
    triple=x86_64-w64-mingw32
    objdump -f "$build/kaslnk.dll" | grep -q 'i386$' && triple=i686-w64-mingw32
    dir=$(mktemp -d /tmp/kaslnk-dll.XXXXXX)
    smoke_dir=$dir
    mkdir "$dir/program"
    "$triple-gcc-posix" -std=c89 -Wall -Werror examples/api/cti_plu.c -Iinclude -L"$build" -lkaslnk \
        -o "$dir/program/cti_plu.exe"
    cp "$build/kaslnk.dll" "$dir/program/"
    printf 'zpozdeni = 0\r\nticho = 1\r\n' > "$dir/program/kaslnk.ini"
    cp -r examples/register "$dir/register"
    # --background: it returns once it accepts connections; the first line is the
    # address, the second its pid.
    timeout 60 "$sim" -m "$dir/register" -q --tcp 0 --background > "$dir/sim.out" 2> "$dir/sim.err" ||
        { cat "$dir/sim.err" >&2; echo "the simulator did not start" >&2; return 1; }
    smoke_sim_pid=$(sed -n 2p "$dir/sim.out")
    adresa=$(sed -n 1p "$dir/sim.out")
    out=$(timeout 120 wine "$dir/program/cti_plu.exe" "$(timeout 30 winepath -w "$dir/program")" \
        "${adresa#KASLNK_COM1=}" 2>&1) || rc=$?
    kill "$smoke_sim_pid" 2>/dev/null || true
    smoke_sim_pid=""
    echo "$out" | tr -d '\r' | tail -n 4
    [ "$rc" = 0 ] && [ "$(grep -c $'\n' < "$dir/program/plu.dat")" = 367 ] ||
        { echo "cti_plu.exe ended with $rc" >&2; return 1; }
    echo "cti_plu.exe read 367 PLU records through $(basename "$build")/kaslnk.dll over ${adresa#KASLNK_COM1=}"
    rm -rf "$dir"
}
