#!/usr/bin/env bash
# Every option and switch that `PROGRAM --help` prints, and every exit code its "Exit
# codes:" paragraph names, must be in the manual page: a new option without a manual
# entry fails here.
# Usage: man_stranky.sh PROGRAM MANPAGE [PROGRAM MANPAGE ...]
set -u
chyby=0
while [ $# -ge 2 ]; do
  program=$1 stranka=$2
  shift 2
  napoveda=$("$program" --help) || { echo "$program --help ended with $?"; chyby=1; continue; }
  # Long options (--name) and the switches of the usage line (/q, /status, ...).
  volby=$(grep -oE -- '--[a-z0-9][a-z0-9-]*|(^|[[ ])/[a-z]+([] ]|$)' <<< "$napoveda" | tr -d '[] ' | sort -u)
  for v in $volby; do
    # In roff a minus is written \- .
    grep -qF -- "${v//-/\\-}" "$stranka" || { echo "$stranka lacks $v (from $program --help)"; chyby=1; }
  done
  kody=$(tr '\n' ' ' <<< "$napoveda" | grep -oE 'Exit codes:.*' | grep -oE '(: |, )[0-9]+ ' | tr -dc '0-9\n ')
  for k in $kody; do
    sed -n '/^\.SH EXIT STATUS/,/^\.SH /p' "$stranka" | grep -qx "\.B $k" ||
      { echo "$stranka lacks exit status $k (from $program --help)"; chyby=1; }
  done
  echo "$program: $(wc -w <<< "$volby") options, exit codes $(echo $kody): checked against $stranka"
done
exit "$chyby"
