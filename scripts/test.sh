#!/usr/bin/env bash
# Installs what is missing, builds the normal, the sanitizer and the ThreadSanitizer
# configuration and runs the whole test suite in each; before that, the Windows build and its tests under Wine
# (so that the Linux summary is the last thing printed).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/vrstvy.sh
scripts/build.sh release
scripts/build.sh asan
scripts/build.sh tsan
scripts/windows.sh
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
echo "== sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer) =="
ctest --test-dir build-asan --output-on-failure -j 2
echo "== ThreadSanitizer build (the window program is left out: Qt is not instrumented) =="
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 ctest --test-dir build-tsan --output-on-failure -j 2
echo "== release build =="
ctest --test-dir build --output-on-failure -j 2
