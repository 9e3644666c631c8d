#!/usr/bin/env bash
# Builds kaslnk and runs an example command file in a scratch program directory.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh release
./build/kaslnk --version
