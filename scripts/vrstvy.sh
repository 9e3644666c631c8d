#!/usr/bin/env bash
# Checks the direction of the includes between the layers (docs/architecture.md):
# platform/ <- core/ <- format/ <- link/ <- ui/ (and link/ <- api/, the library's C
# interface). A layer includes nothing of a layer above
# it; only platform/ includes headers of the operating system, besides the toolkit views
# ui/win32/ (the Win32 headers) and ui/qt/ (Qt), each of which includes only its own
# toolkit. Every file of every layer is checked, subfolders included.
set -euo pipefail
cd "$(dirname "$0")/.."
chyby=0
os='windows\.h|winsock2\.h|ws2tcpip\.h|commdlg\.h|shellapi\.h|shlobj\.h|io\.h|unistd\.h|termios\.h|fcntl\.h|sys/|poll\.h|pthread\.h|netdb\.h|arpa/|netinet/|dirent\.h|dlfcn\.h|pty\.h'
qt='Q[A-Za-z]|Qt'

# zakaz WHAT PATTERN [EXCEPT]: the files of WHAT (a folder, searched with its subfolders,
# or a list of files) must not include anything that starts with PATTERN; EXCEPT is a
# pattern of "file:" prefixes that may.
zakaz() {
  local nalez
  nalez=$(grep -rnE --include='*.h' --include='*.cpp' "^[[:space:]]*#[[:space:]]*include[[:space:]]*[\"<]($2)" $1 2>/dev/null |
          grep -vE "^(${3:-^$}):" || true)
  if [ -n "$nalez" ]; then
    echo "includes against the layers (may not include $2):"; echo "$nalez"; chyby=1
  fi
}
ui_spolecne=$(ls ui/*.h ui/*.cpp 2>/dev/null | tr '\n' ' ')

zakaz platform "core/|format/|link/|ui/|tools/"
# core/main.cpp is the program's entry, where the layers are wired together (on Windows
# it registers the window, which lives in ui/win32/).
zakaz core "format/|link/|ui/|tools/" 'core/main\.cpp'
zakaz format "link/|ui/|tools/"
zakaz link "ui/|tools/"
# The library's C interface (api/) stands on the engine: everything below ui/.
zakaz api "ui/|tools/"
# The Python module is a shell over that C interface: of the program only kaslnk.h.
zakaz python "core/|format/|link/|platform/|ui/|tools/|api/"
zakaz "$ui_spolecne" "ui/qt/|ui/win32/|tools/"
zakaz ui/qt "ui/win32/|tools/"
zakaz ui/win32 "ui/qt/|tools/"
# The operating system only through platform/; the toolkits only in their views.
zakaz "core format link api $ui_spolecne" "$os|$qt"
zakaz ui/qt "$os"
zakaz ui/win32 "$qt"
# The simulator checks the program from the outside: of it, only the Telnet codes.
zakaz tools "core/|format/|ui/|platform/|link/[^t]|link/t[^e]"
[ "$chyby" -eq 0 ] && echo "layers: ok (platform, core, format, link, api, python, ui, ui/qt, ui/win32, tools)"
exit "$chyby"
