#!/usr/bin/env bash
# Installs what is missing, builds the normal and the sanitizer configuration and runs
# the whole test suite in both; before that, the Windows build and its tests under Wine
# (so that the Linux summary is the last thing printed). The ThreadSanitizer run does not
# fit CI's time beside them: scripts/build.sh tsan, then ctest --test-dir build-tsan.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/vrstvy.sh
scripts/build.sh release
scripts/build.sh asan
scripts/windows.sh
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
echo "== sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer) =="
ctest --test-dir build-asan --output-on-failure -j 2
echo "== release build =="
ctest --test-dir build --output-on-failure -j 2
