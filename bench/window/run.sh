#!/usr/bin/env bash
# The window figures under Xvfb: the match, title and pause in the real window beside the
# busy-wait baseline (one run of voltrax_window_bench), the built program's start-up time
# (voltrax_startup_probe) and its peak memory over a match with music (/usr/bin/time -v).
# SDL's dummy driver stands in for a sound card; it paces the mixing like one.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="$root/build"
cmake --build "$build" --target voltrax_window_bench voltrax_startup_probe voltrax
work="$(mktemp -d)"
cleanup() {
  [ -n "${game_pid:-}" ] && kill "$game_pid" 2>/dev/null || true
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
export DISPLAY=":$(head -n1 "$work/display")" VOLTRAX_XSERVER_PID="$xvfb_pid"

echo "machine: $(nproc) cores; load before: $(uptime | sed 's/.*load average: //')"
echo "-- frame intervals and CPU: real window (Xvfb) and the busy-wait baseline, one run"
"$build/bench/window/voltrax_window_bench" --benchmark_counters_tabular=true "$@"
echo "load after: $(uptime | sed 's/.*load average: //')"

# A private copy of the program folder with music and effects on.
cp -r "$build/dat" "$build/design" "$build/voltrax" "$build/libvoltrax-online.so" "$work/"
rm -f "$work/dat/Sysdata.rnd"
"$build/bench/window/voltrax_startup_probe" --settings "$work/dat/Sysdata.rnd"

echo "-- start-up: launch to the whole title picture on the X screen (music on)"
"$build/bench/window/voltrax_startup_probe" "$work/voltrax" "$work/dat/OP" 5

echo "-- peak memory: title, 1P VS CPU, 20 s of play with music and effects, Esc"
/usr/bin/time -v -o "$work/time" "$work/voltrax" >"$work/log" 2>&1 &
game_pid=$!
wid="$(timeout 20 xdotool search --sync --name '^VOLTRAX VER 2.1$' | head -n1)"
sleep 1
eval "$(xdotool getwindowgeometry --shell "$wid")"
menu=$((HEIGHT - 342))
click() { xdotool mousemove --window "$wid" "$1" "$(( $2 + menu ))" click 1; }
click 255 183; sleep 1.5   # 1P VS CPU
click 424 273; sleep 2     # OK
for _ in $(seq 10); do xdotool keydown a; sleep 1; xdotool keyup a; xdotool keydown z; sleep 1; xdotool keyup z; done
xdotool key Escape
wait "$game_pid" || true
game_pid=""
echo "peak_rss_mb $(awk -F': ' '/Maximum resident set size/ {printf "%.1f", $2 / 1024}' "$work/time")" \
  "(/usr/bin/time -v, Maximum resident set size of build/voltrax)"
echo "load at the end: $(uptime | sed 's/.*load average: //')"
