#!/usr/bin/env bash
# Checks the pinned style, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, warnings as errors, and runs every test: unit tests,
# scenario tests through survanto-host (these and the point-cloud tests also under
# ThreadSanitizer), and bounded fuzzing runs of the E57 reader and of the
# module-data reader.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
source scripts/jobs.sh
scripts/format-check.sh
# The benchmarks are built too, so that they keep compiling; they run by hand.
# Line tables are all the sanitizers' reports need; full debug information would
# add some two gigabytes over the test programs.
debug_flags=(-DCMAKE_C_FLAGS_DEBUG=-g1 -DCMAKE_CXX_FLAGS_DEBUG=-g1)
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug "${debug_flags[@]}" -DSURVANTO_SANITIZE=ON -DSURVANTO_WERROR=ON -DSURVANTO_BENCH=ON >/dev/null
cmake --build build/test "${build_jobs[@]}"
ctest --test-dir build/test --output-on-failure "${test_jobs[@]}"

# The watcher thread, the host's event loop and the E57 import's threads: the
# scenarios and the point-cloud tests once more under ThreadSanitizer.
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug "${debug_flags[@]}" -DSURVANTO_TSAN=ON -DSURVANTO_WERROR=ON >/dev/null
cmake --build build/tsan "${build_jobs[@]}" --target survanto-host Survanto survanto_languages pointcloud_tests
TSAN_OPTIONS="halt_on_error=1" ctest --test-dir build/tsan --output-on-failure "${test_jobs[@]}" -R '^scenario\.'
TSAN_OPTIONS="halt_on_error=1" build/tsan/bin/pointcloud_tests --gtest_brief=1
if [ -x scripts/fuzz-e57.sh ]; then
  scripts/fuzz-e57.sh
fi
if [ -x scripts/fuzz-moduledata.sh ]; then
  scripts/fuzz-moduledata.sh 30
fi
