#!/usr/bin/env bash
# The main job of kaslnk against the simulated register: installs what building it needs
# (not the test tools), builds kaslnk and kaslnk-sim only, starts kaslnk-sim on a copy of
# the sample register memory and runs the example command files of examples/ in the
# scratch program directory demo-run/, with a verdict per step.
set -euo pipefail
cd "$(dirname "$0")/.."
koren=$PWD
run=$koren/demo-run

chyba() { echo "demo: $*" >&2; exit 1; }

echo "== setup: the compiler and CMake (scripts/setup.sh --main)"
scripts/setup.sh --main
# A tree of scripts/build.sh is used as it is; a new one is configured without the tests
# and benchmarks (scripts/build.sh turns them on again).
if [ ! -f build/CMakeCache.txt ]; then
  echo "== configure build/ (RelWithDebInfo, without tests and benchmarks)"
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKASLNK_TESTS=OFF -DKASLNK_BENCH=OFF >/dev/null ||
    chyba "cmake could not configure build/"
fi
echo "== build kaslnk and kaslnk-sim (a minute or two the first time)"
if ! cmake --build build -j "$(nproc 2>/dev/null || echo 2)" --target kaslnk kaslnk-sim 2>&1 |
    { grep --line-buffered -E '^\[ *[0-9]+%\]|error|warning' || true; }; then
  chyba "the build failed (all of its output: cmake --build build --target kaslnk kaslnk-sim)"
fi
[ -x build/kaslnk ] && [ -x build/kaslnk-sim ] || chyba "build/kaslnk or build/kaslnk-sim is missing"
build/kaslnk --version

# The program directory: the program itself (its directory is where it works), the
# command files, the files that come beside the program, and an ini without beeps and
# with a short pause between operations.
rm -rf "$run"
mkdir -p "$run"
cp build/kaslnk "$run/"
cp examples/*.cmd "$run/"
for f in examples/*.cmx examples/*.fds; do
  if [ -e "$f" ]; then cp "$f" "$run/"; fi
done
printf 'ticho = 1\r\nzpozdeni = 200\r\n' > "$run/kaslnk.ini"
cp -r examples/register "$run/pokladna"

# The simulated register on a new pseudo-terminal, ready when kaslnk-sim returns
# (--background); ended whatever happens below.
sim_pid=""
uklid() { if [ -n "$sim_pid" ]; then kill "$sim_pid" 2>/dev/null || true; fi; }
trap uklid EXIT
trap 'exit 130' INT TERM
build/kaslnk-sim -m "$run/pokladna" -q -T "$run/provoz.txt" --background > "$run/sim.out" 2> "$run/sim.err" || {
  cat "$run/sim.err" >&2
  chyba "the simulator did not start"
}
pty=$(sed -n 1p "$run/sim.out")
sim_pid=$(sed -n 2p "$run/sim.out")
echo "== simulated register on $pty (memory demo-run/pokladna, traffic log demo-run/provoz.txt)"

# COM1 is the simulator; no other COM name reaches a device, whatever the caller set.
export KASLNK_COM1=$pty
for n in 2 3 4 5 6 7 8 9; do export "KASLNK_COM$n=/nonexistent/kaslnk-com$n"; done

# Windows-1250 text for this terminal.
na_utf8() {
  if command -v iconv >/dev/null 2>&1; then
    iconv -f CP1250 -t UTF-8 | tr -d '\r'
  else
    LC_ALL=C tr -d '\r' | LC_ALL=C tr '\200-\377' '?'
  fi
}

# krok DESCRIPTION ARGUMENTS...: runs the program in demo-run and shows its log line and
# result files; stops the demo with the details when it fails.
krok() {
  local popis=$1
  shift
  local pred=0 rc=0
  if [ -f "$run/era.log" ]; then pred=$(wc -l < "$run/era.log"); fi
  echo
  echo "== $popis: kaslnk $*"
  if [ -f "$run/$1" ]; then sed -n '2,$p' "$run/$1" | tr -d '\r' | sed 's/^/   command: /'; fi
  (cd "$run" && timeout 60 ./kaslnk "$@") > "$run/kaslnk.out" 2>&1 || rc=$?
  local err_obsah chyba_obsah
  err_obsah=$(cat "$run/err" 2>/dev/null || echo '(none)')
  chyba_obsah=$(tr -d '\r' < "$run/error.txt" 2>/dev/null || echo '(none)')
  echo "   exit code $rc, err = $err_obsah, error.txt = $chyba_obsah"
  if [ -f "$run/era.log" ]; then
    tail -n +"$((pred + 1))" "$run/era.log" | tr -d '\r' | sed 's/^/   era.log: /'
  fi
  if [ "$rc" -ne 0 ]; then
    if [ -s "$run/kaslnk.out" ]; then sed 's/^/   kaslnk: /' "$run/kaslnk.out" | na_utf8; fi
    echo "   the register's journal:"
    if [ -f "$run/pokladna/journal.log" ]; then
      tail -n 5 "$run/pokladna/journal.log" | tr -d '\r' | sed 's/^/     /'
    else
      echo "     (no exchange)"
    fi
    [ "$rc" -eq 124 ] && chyba "kaslnk did not end within 60 s"
    echo "   verdict: FAILED"
    chyba "step '$popis' failed (exit code $rc; log line fields: date,time,result,terminal,command;port,subcode)"
  fi
  if [ "$err_obsah" = 0 ] && [ "$chyba_obsah" = 151 ]; then
    echo "   verdict: OK (exit code 0, err 0 and error.txt 151 mean success)"
    kroku_ok=$((kroku_ok + 1))
  else
    echo "   verdict: FAILED (exit code 0, but err and error.txt do not report success)"
    chyba "step '$popis' left err $err_obsah and error.txt $chyba_obsah"
  fi
}
kroku_ok=0

# The register's answer to the last exchange.
zurnal() { tail -n 1 "$run/pokladna/journal.log" | tr -d '\r' | sed 's/^/   register: /' | na_utf8; }

zacatek=$(date +%s)

krok "read the PLU file" cti_plu.cmd
zurnal
echo "   plu.fds: $(head -n 1 "$run/plu.fds" | tr -d '\r')"
echo "   plu.dat: $(wc -l < "$run/plu.dat") lines, the first three:"
head -n 3 "$run/plu.dat" | na_utf8 | sed 's/^/     /'

# A change to send back: the first item gets a new name (same length, Windows-1250).
LC_ALL=C sed -i '1s/Rohl\xedk tukov\xfd/Rohl\xedk s\xfdrov\xfd/' "$run/plu.dat"
krok "send it back, with the first name changed" posli_plu.cmd
zurnal
echo "   the register's plu.txt now starts with:"
LC_ALL=C grep -a -m 1 '^0' "$run/pokladna/plu.txt" | na_utf8 | sed 's/^/     /'

krok "read table D2 (the receipt header)" cti_tabulku.cmd
zurnal
na_utf8 < "$run/hlavicka.dat" | sed 's/^/     /'

krok "read the status" status.cmd
zurnal
echo "   status.dat: $(cat "$run/status.dat")"

krok "set the register's clock" /t
zurnal
echo "   p_time.dat: $(tr -d '\r' < "$run/p_time.dat")"

echo
echo "== all $kroku_ok steps OK in $(( $(date +%s) - zacatek )) s; everything is in demo-run/ (README: the cookbook)"
