#!/usr/bin/env bash
# Fails, naming the files, when a C++ file of the tree is not as clang-format leaves it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
command -v clang-format >/dev/null || { echo "clang-format is not installed" >&2; exit 1; }
mapfile -t files < <(find src tests tools bench fuzz -name '*.cpp' -o -name '*.h' | sort)
# One clang-format per batch of files, on every core: each start costs more than a file.
mapfile -t bad < <(printf '%s\0' "${files[@]}" |
  xargs -0 -n 32 -P "$(nproc)" clang-format --dry-run --Werror 2>&1 >/dev/null |
  sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' | sort -u)
if [ ${#bad[@]} -gt 0 ]; then
  echo "not formatted (run clang-format -i on them):" >&2
  printf '  %s\n' "${bad[@]}" >&2
  exit 1
fi
echo "${#files[@]} files formatted"
