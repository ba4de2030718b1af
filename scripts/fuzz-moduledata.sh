#!/usr/bin/env bash
# Fuzzes the reader of the add-on's module data (the main object's project data
# and the report, read and written back) for a bounded time with libFuzzer, ASan
# and UBSan, seeded with blocks of saved projects. A crash, a hang or a single
# allocation larger than the inputs could justify fails the run.
#   scripts/fuzz-moduledata.sh [seconds]        (default 45)
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$repo/build/fuzz-moduledata"
seconds="${1:-45}"
seeds="$repo/tests/persistence/fuzz/seeds"

command -v clang++ >/dev/null || { echo "fuzz-moduledata: clang++ is required" >&2; exit 2; }

cmake -S "$repo" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DSURVANTO_TESTS=OFF -DSURVANTO_BENCH=OFF -DSURVANTO_SANITIZE=OFF -DSURVANTO_WERROR=ON \
  -DSURVANTO_MODULEDATA_FUZZ=ON >/dev/null
source "$repo/scripts/jobs.sh"
cmake --build "$build" "${build_jobs[@]}" --target survanto_moduledata_fuzz

corpus="$build/corpus"
artifacts="$build/artifacts"
mkdir -p "$corpus" "$artifacts"
cp -n "$seeds"/* "$corpus"/ 2>/dev/null || true
chmod u+w "$corpus"/*

export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"
# Inputs stay below 64 KiB; a reader that trusts a count asks for far more than 16 MiB at once.
"$build/bin/survanto_moduledata_fuzz" "$corpus" \
  -max_total_time="$seconds" -timeout=10 -max_len=65536 -malloc_limit_mb=16 -rss_limit_mb=2048 \
  -artifact_prefix="$artifacts/" -print_final_stats=1
