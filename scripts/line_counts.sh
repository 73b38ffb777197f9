#!/usr/bin/env bash
# Prints the non-blank, non-comment C++ lines of tests/, src/, tools/, bench/ and fuzz/
# and the tests' share of them all. Comment lines are those that begin with // or sit
# inside a /* */ block.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
count() {
  find "$root/$1" \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 cat | awk '
    /^[[:space:]]*$/ { next }
    inblock { if ($0 ~ /\*\//) inblock = 0; next }
    /^[[:space:]]*\/\*/ { if ($0 !~ /\*\//) inblock = 1; next }
    /^[[:space:]]*\/\// { next }
    { n++ } END { print n + 0 }'
}
tests=$(count tests); src=$(count src); tools=$(count tools); bench=$(count bench); fuzz=$(count fuzz)
total=$((tests + src + tools + bench + fuzz))
awk -v t="$tests" -v s="$src" -v to="$tools" -v b="$bench" -v f="$fuzz" -v all="$total" \
  'BEGIN { printf "tests %d  src %d  tools %d  bench %d  fuzz %d  share %.3f\n", t, s, to, b, f, t / all }'
