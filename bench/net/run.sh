#!/usr/bin/env bash
# Builds and runs the network benchmark: one line per round trip. `run.sh watch` runs the
# watchers' benchmark instead: one line per number of watchers.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
if [[ "${1:-}" == watch ]]; then
    ninja -C "$root/build" voltrax_watch_bench >/dev/null
    exec "$root/build/bench/net/voltrax_watch_bench"
fi
ninja -C "$root/build" voltrax_net_bench >/dev/null
"$root/build/bench/net/voltrax_net_bench" "$@"
