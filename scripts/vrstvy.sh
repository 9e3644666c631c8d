#!/usr/bin/env bash
# Checks the direction of the includes between the layers: platform/ <- core/ <- format/
# <- link/. A lower layer includes nothing of a higher one, and only platform/ includes
# headers of the operating system.
set -euo pipefail
cd "$(dirname "$0")/.."
chyby=0
zakaz() {  # folder, pattern of forbidden includes
  local nalez
  # core/main.cpp is the program's entry, where the layers are wired together (on Windows
  # it registers the window, which lives in ui/win32/).
  nalez=$(grep -nE "^#include [\"<]($2)" "$1"/*.h "$1"/*.cpp 2>/dev/null | grep -v '^core/main\.cpp:' || true)
  if [ -n "$nalez" ]; then
    echo "$1 includes what it must not:"; echo "$nalez"; chyby=1
  fi
}
zakaz core 'link/|format/|ui/'
zakaz format 'link/|ui/'
zakaz link 'ui/'
for d in core format link ui; do
  [ -d "$d" ] && zakaz "$d" 'windows\.h|unistd\.h|termios\.h|fcntl\.h|sys/|poll\.h|pthread\.h'
done
[ "$chyby" -eq 0 ] && echo "layers: ok"
exit "$chyby"
