#!/usr/bin/env bash
# Checks that every C++ source keeps the pinned style (.clang-format; e57/ has its
# own). clang-format names each line that differs, and the check fails.
set -euo pipefail
cd "$(dirname "$0")/.."
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files '*.cpp' '*.hpp' '*.h' '*.c' '*.cc')
else
  mapfile -t files < <(find . -path ./build -prune -o -type f \( -name '*.cpp' -o -name '*.hpp' -o -name '*.h' -o -name '*.c' -o -name '*.cc' \) -print)
fi
clang-format --dry-run --Werror "${files[@]}"
echo "Style: ${#files[@]} files as .clang-format says"
