#!/usr/bin/env bash
# The shell's own tests (voltrax_qt_tests) on Qt's wayland platform against weston
# (headless back-end, pixman): the windows, dialogs, help window, about box, key dialog,
# pads through the window, full screen and the menu bar, focus loss and the monkey, each
# on a real Wayland connection instead of the offscreen platform.
# Arguments: the test program, the output scale, then arguments for it (a filter).
set -euo pipefail
tests="$1" scale="$2"
shift 2
command -v weston >/dev/null || { echo "SKIP: weston is not installed"; exit 77; }
work="$(mktemp -d)"
weston_pid=""
cleanup() {
  [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null && wait "$weston_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
weston --backend=headless-backend.so --use-pixman --socket=voltrax-qt --width=1280 --height=1024 \
  --scale="$scale" --idle-time=0 --no-config >"$work/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 50); do [ -S "$XDG_RUNTIME_DIR/voltrax-qt" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/voltrax-qt" ] || { cat "$work/weston.log"; echo "SKIP: weston did not start"; exit 77; }
export WAYLAND_DISPLAY=voltrax-qt QT_QPA_PLATFORM=wayland SDL_AUDIODRIVER=dummy
"$tests" "$@"
