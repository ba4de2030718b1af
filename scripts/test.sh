#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer, warnings as
# errors, and runs every test: unit tests, scenario tests through survanto-host, and
# a bounded fuzzing run of the E57 reader.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSURVANTO_SANITIZE=ON -DSURVANTO_WERROR=ON >/dev/null
cmake --build build/test -j "$jobs"
ctest --test-dir build/test --output-on-failure -j "$jobs"
if [ -x scripts/fuzz-e57.sh ]; then
  scripts/fuzz-e57.sh
fi
