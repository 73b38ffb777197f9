#!/usr/bin/env bash
# Start-up to the title on screen, five runs each, for one or more program folders under
# one Xvfb (to compare a change with the program before it in one run), music on:
#   bench/window/startup.sh [--trace] [FOLDER...]      (default: build/)
# --trace adds five runs per folder in which the program prints when each step of its
# start-up ended (VOLTRAX_STARTUP_TRACE), for the breakdown in bench/README.md.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="$root/build"
trace=""
if [ "${1:-}" = "--trace" ]; then trace="--trace"; shift; fi
[ $# -gt 0 ] || set -- "$build"
cmake --build "$build" --target voltrax_startup_probe >/dev/null
work="$(mktemp -d)"
cleanup() {
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" SDL_AUDIODRIVER=dummy
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
exec 5> "$work/display"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
probe="$build/bench/window/voltrax_startup_probe"

echo "machine: $(nproc) cores; load before: $(uptime | sed 's/.*load average: //')"
n=0
for folder in "$@"; do
  n=$((n + 1))
  # A private copy of each program folder, with music and effects on.
  mkdir -p "$work/$n"
  cp -r "$folder/dat" "$folder/design" "$folder/voltrax" "$work/$n/"
  [ ! -f "$folder/libvoltrax-online.so" ] || cp "$folder/libvoltrax-online.so" "$work/$n/"
  rm -f "$work/$n/dat/Sysdata.rnd"
  "$probe" --settings "$work/$n/dat/Sysdata.rnd"
  echo "-- $folder: launch to the whole title picture on the X screen (music on)"
  "$probe" "$work/$n/voltrax" "$work/$n/dat/OP" 5
  echo "load: $(uptime | sed 's/.*load average: //')"
done
[ -n "$trace" ] || exit 0
n=0
for folder in "$@"; do
  n=$((n + 1))
  echo "-- $folder: the same with each step's end printed (ms after the launch)"
  "$probe" "$work/$n/voltrax" "$work/$n/dat/OP" 5 --trace 2>&1
done
echo "load at the end: $(uptime | sed 's/.*load average: //')"
