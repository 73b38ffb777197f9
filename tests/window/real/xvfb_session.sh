# Sourced by the real-window tests: a private copy of the built program, an Xvfb display,
# the game started in it and found by its title, xdotool helpers, and cleanup on exit.
# The sourcing script sets `set -euo pipefail` and passes the program folder as $1.
program_dir="$1"
work="$(mktemp -d)"
cleanup() {
  [ -n "${game_pid:-}" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; cat "$work/log" >&2 2>/dev/null || true; exit 1; }

# A private copy of the program folder, so options, locks and replays are the test's own.
cp -r "$program_dir/dat" "$program_dir/design" "$program_dir/voltrax" "$work/"
cp "$program_dir/read me.txt" "$program_dir/read me.en.txt" "$work/" 2>/dev/null || true
rm -f "$work/dat/Sysdata.rnd"
export XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export SDL_AUDIODRIVER=dummy
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

exec 5> "$work/display"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"

# Starts the program with the given arguments and waits for its window: sets game_pid,
# wid, WIDTH, HEIGHT and menu (the height of the menu bar above the 512 x 342 picture).
start_game() {
  "$work/voltrax" "$@" >"$work/log" 2>&1 &
  game_pid=$!
  wid="$(timeout 20 xdotool search --sync --name '^VOLTRAX VER 2.1$' | head -n1)" || fail "no window"
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  menu=$((HEIGHT - 342))
}
# Waits for the program to end by itself and fails unless its status is 0.
end_game() {
  local status=0
  for _ in $(seq 50); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
  wait "$game_pid" || status=$?
  game_pid=""
  [ "$status" -eq 0 ] || fail "exit status $status"
}
shot() { import -window "$wid" "$work/$1.png"; }
# Clicks at picture pixel (x, y) of the window at scale 1.
click() { xdotool mousemove --window "$wid" "$1" "$(( $2 + menu ))" click 1; }
hold() { xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"; }
# Pixels that differ between two whole pictures.
pixels_differ() { compare -metric AE "$1" "$2" null: 2>&1 || true; }
# Pixels that differ between a crop of a shot and the same crop of a reference picture.
differ() { # shot ref x y w h [scale]
  local scale="${7:-1}"
  convert "$work/$1.png" -crop "$(( $5 * scale ))x$(( $6 * scale ))+$(( $3 * scale ))+$(( $4 * scale + menu ))" +repage \
    -sample "$5x$6!" "$work/a.png"
  convert "$2" -crop "$5x$6+$3+$4" +repage "$work/b.png"
  pixels_differ "$work/a.png" "$work/b.png"
}
# Player 1's back paddle cut out of a shot of the window.
paddle_shot() { shot "$1"; convert "$work/$1.png" -crop 14x60+70+$((62 + menu)) +repage "$work/$1-paddle.png"; }
paddle_moved() { [ "$(pixels_differ "$work/$1-paddle.png" "$work/$2-paddle.png")" != "0" ]; }
