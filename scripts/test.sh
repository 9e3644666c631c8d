#!/usr/bin/env bash
# Installs what is missing, builds the normal and the sanitizer configuration and runs
# the whole test suite in both; before that, the Windows build and its tests under Wine
# (so that the Linux summary is the last thing printed). The ThreadSanitizer run does not
# fit CI's time beside them: scripts/build.sh tsan, then ctest --test-dir build-tsan.
# Every step is announced with its time; a failure names the step that failed.
set -Eeuo pipefail
cd "$(dirname "$0")/.."
krok="" zacatek=$(date +%s)
trap 'echo "test.sh: FAILED in the step \"$krok\" (exit code $?, after $(( $(date +%s) - zacatek )) s)" >&2' ERR
krok() {
  krok=$1
  shift
  echo "== test.sh [$(( $(date +%s) - zacatek )) s]: $krok"
  "$@"
}
krok "install the packages (scripts/setup.sh)" scripts/setup.sh
krok "layer check (scripts/vrstvy.sh)" scripts/vrstvy.sh
krok "release build (scripts/build.sh release)" scripts/build.sh release
krok "sanitizer build (scripts/build.sh asan)" scripts/build.sh asan
krok "Windows builds and tests under Wine (scripts/windows.sh)" scripts/windows.sh
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
krok "sanitizer build's tests (AddressSanitizer + UndefinedBehaviorSanitizer)" \
  ctest --test-dir build-asan --output-on-failure -j 2
krok "release build's tests" ctest --test-dir build --output-on-failure -j 2
echo "== test.sh: all steps passed in $(( $(date +%s) - zacatek )) s"
