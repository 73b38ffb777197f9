#!/usr/bin/env bash
# The audio figures on SDL's dummy driver: it paces the callback like a sound card, so
# the CPU share and the effect latency are those of the real path minus the hardware.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
bench="$root/build/bench/audio/voltrax_audio_bench"
[ -x "$bench" ] || cmake --build "$root/build" --target voltrax_audio_bench
SDL_AUDIODRIVER=dummy "$bench" --benchmark_counters_tabular=true "$@"
