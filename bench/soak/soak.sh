#!/usr/bin/env bash
# Builds and runs the headless soak; the argument is the length in minutes (30 by default).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
cmake --build "$root/build" --target voltrax_soak >/dev/null
"$root/build/bench/soak/voltrax_soak" "${1:-30}"
