#!/usr/bin/env bash
# Builds and runs every benchmark; prints each figure with how it was taken.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/common.sh"
voltrax_install_missing
voltrax_build "$root"
for b in "$root"/build/bench/voltrax_*_bench; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" --benchmark_counters_tabular=true
done
echo "== voltrax_present_bench"
"$root/build/bench/window/voltrax_present_bench" --benchmark_counters_tabular=true
for s in "$root"/bench/*/run.sh; do
  [ -x "$s" ] || continue
  echo "== $s"
  "$s"
done
