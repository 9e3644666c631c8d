#!/usr/bin/env bash
# Builds kaslnk and runs an example command file in a scratch program directory.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh release
./build/kaslnk --version

# A program directory of its own: the program, the command file, kaslnk.ini.
rm -rf demo-run
mkdir demo-run
cp examples/prikaz.cmd examples/kaslnk.ini demo-run/
ln -s ../build/kaslnk demo-run/kaslnk
# No real serial device is touched unless the caller maps one.
for n in 1 2 3 4 5 6 7 8 9; do
  var=KASLNK_COM$n
  export "$var=${!var:-/nonexistent/kaslnk-com$n}"
done

echo "== demo-run/kaslnk prikaz.cmd"
rc=0
demo-run/kaslnk prikaz.cmd || rc=$?
echo "exit code: $rc"
echo "log:       $(cat demo-run/era.log)"
echo "err:       $(cat demo-run/err)"
echo "error.txt: $(tr -d '\r' < demo-run/error.txt)"
