#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a bounded time (60 s by default,
# or the first argument in seconds), then prints its executions and findings.
# Crashing inputs land in build-fuzz/findings/<target>/.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}"
out="$root/build-fuzz"
cmake -S "$root/fuzz" -B "$out" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$out" --parallel 2 >/dev/null
status=0
for target in settings picture read_me replay packet midi net_adversary lobby_text ice_description lan_announcement; do
  corpus="$out/corpus/$target"
  findings="$out/findings/$target"
  mkdir -p "$corpus" "$findings"
  cp -n "$root/fuzz/seeds/$target"/* "$corpus/" 2>/dev/null || true
  log="$out/$target.log"
  set +e
  "$out/${target}_fuzz" "$corpus" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 \
    -artifact_prefix="$findings/" -print_final_stats=1 >"$log" 2>&1
  rc=$?
  set -e
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
  found=$(find "$findings" -type f | wc -l)
  printf '%-9s %s s  %s executions  %s findings  (exit %s, log %s)\n' "$target" "$seconds" "$runs" "$found" "$rc" "$log"
  [ "$rc" -eq 0 ] || status=1
done
exit $status
