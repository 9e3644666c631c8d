#!/usr/bin/env bash
# The main job of kaslnk against the simulated register: installs and builds what is
# missing, starts kaslnk-sim on a copy of the sample register memory and runs the example
# command files of examples/ in the scratch program directory demo-run/.
set -euo pipefail
cd "$(dirname "$0")/.."
koren=$PWD
run=$koren/demo-run

chyba() { echo "demo: $*" >&2; exit 1; }

echo "== setup and build (scripts/setup.sh, scripts/build.sh release)"
scripts/setup.sh
build_log=$(mktemp /tmp/kaslnk-demo-build.XXXXXX)
if ! scripts/build.sh release > "$build_log" 2>&1; then
  tail -n 40 "$build_log" >&2
  chyba "the build failed (whole output: $build_log)"
fi
rm -f "$build_log"
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

# The simulated register on a new pseudo-terminal; ended whatever happens below.
sim_pid=""
uklid() {
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
}
trap uklid EXIT
trap 'exit 130' INT TERM
build/kaslnk-sim -m "$run/pokladna" -q -T "$run/provoz.txt" > "$run/sim.out" 2> "$run/sim.err" &
sim_pid=$!
pty=""
for _ in $(seq 50); do
  pty=$(head -n 1 "$run/sim.out" 2>/dev/null || true)
  [ -n "$pty" ] && break
  kill -0 "$sim_pid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$pty" ]; then
  cat "$run/sim.err" >&2
  chyba "the simulator did not start"
fi
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
  echo "   exit code $rc, err = $(cat "$run/err" 2>/dev/null || echo '(none)'),"\
       "error.txt = $(tr -d '\r' < "$run/error.txt" 2>/dev/null || echo '(none)')"
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
    chyba "step '$popis' failed (exit code $rc; log line fields: date,time,result,terminal,command;port,subcode)"
  fi
}

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
echo "== done in $(( $(date +%s) - zacatek )) s; everything is in demo-run/ (README: the cookbook)"
