#!/usr/bin/env bash
# Fuzzes the E57 reader (open + walk + read all points) for a bounded time with
# libFuzzer, ASan and UBSan, seeded with the sample files. Exits non-zero on a crash.
#   scripts/fuzz-e57.sh [seconds]        (default 60)
# SURVANTO_SOURCE_DIR may point at another CMake source tree that includes e57/.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source_dir="${SURVANTO_SOURCE_DIR:-$repo}"
build="$repo/build/fuzz"
seconds="${1:-60}"
samples="$repo/tests/data/e57"

command -v clang++ >/dev/null || { echo "fuzz-e57: clang++ is required" >&2; exit 2; }

cmake -S "$source_dir" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DSURVANTO_TESTS=OFF -DSURVANTO_BENCH=OFF -DSURVANTO_SANITIZE=OFF \
  -DSURVANTO_E57_FUZZ=ON >/dev/null
source "$repo/scripts/jobs.sh"
cmake --build "$build" "${build_jobs[@]}" --target survanto_e57_fuzz

corpus="$build/corpus"
artifacts="$build/artifacts"
mkdir -p "$corpus" "$artifacts"
if [ -d "$samples" ]; then
  cp -n "$samples"/*.e57 "$corpus"/ 2>/dev/null || true
  chmod u+w "$corpus"/*.e57
fi

export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"
"$build/bin/survanto_e57_fuzz" "$corpus" \
  -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
  -artifact_prefix="$artifacts/" -print_final_stats=1
