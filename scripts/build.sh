#!/usr/bin/env bash
# Builds one configuration: scripts/build.sh [release|asan|tsan]
set -euo pipefail
cd "$(dirname "$0")/.."
config=${1:-release}
jobs=$(nproc 2>/dev/null || echo 2)
case "$config" in
  release) dir=build; opts=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  asan) dir=build-asan; opts=(-DCMAKE_BUILD_TYPE=Debug -DKASLNK_SANITIZE=ON) ;;
  # ThreadSanitizer, run by hand (ctest --test-dir build-tsan): beside the other builds
  # it does not fit CI's time.
  tsan) dir=build-tsan; opts=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DKASLNK_TSAN=ON) ;;
  *) echo "unknown configuration: $config" >&2; exit 2 ;;
esac
werror=OFF
[ -n "${CI:-}" ] && werror=ON
# Tests and benchmarks on, also in a tree that scripts/demo.sh configured without them.
cmake -S . -B "$dir" "${opts[@]}" -DKASLNK_WERROR=$werror -DKASLNK_TESTS=ON -DKASLNK_BENCH=ON >/dev/null
cmake --build "$dir" -j "$jobs"
