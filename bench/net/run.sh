#!/usr/bin/env bash
# Builds and runs the network benchmark: one line per round trip.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
ninja -C "$root/build" voltrax_net_bench >/dev/null
"$root/build/bench/net/voltrax_net_bench" "$@"
