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
cp -r "$program_dir/dat" "$program_dir/design" "$program_dir/voltrax" "$program_dir/libvoltrax-online.so" "$work/"
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
  wid="$(timeout 20 xdotool search --sync --onlyvisible --name '^VOLTRAX VER 2.1$' | head -n1)" || fail "no window"
  # Laid out once the menu bar sits above the picture; callers wait for what it shows.
  wait_until 10 laid_out || fail "the window has no menu bar above the picture"
}
laid_out() {
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  menu=$((HEIGHT - 342))
  [ "$menu" -gt 0 ]
}
# wait_until SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds, at most
# SECONDS and at most 10 tries a second; false when it never succeeded.
# (Shell arithmetic and bash's clock only: a busy machine makes every process slow to start.)
wait_until() {
  local whole="${1%.*}" frac="" limit_ms deadline_us tries i
  [[ "$1" == *.* ]] && frac="${1#*.}"
  frac="${frac}000"
  limit_ms=$(( 10#${whole:-0} * 1000 + 10#${frac:0:3} ))
  shift
  deadline_us=$(( ${EPOCHREALTIME/./} + limit_ms * 1000 ))
  tries=$(( limit_ms / 100 + 1 ))
  for (( i = 0; i < tries; i++ )); do
    "$@" && return 0
    (( ${EPOCHREALTIME/./} < deadline_us )) || return 1
    sleep 0.1
  done
  return 1
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
  local scale="${7:-1}" crop="$(( $5 * ${7:-1} ))x$(( $6 * ${7:-1} ))+$(( $3 * ${7:-1} ))+$(( $4 * ${7:-1} + menu ))"
  if [ "$scale" = 1 ]; then
    compare -metric AE \( "$work/$1.png" -crop "$crop" +repage \) \( "$2" -crop "$5x$6+$3+$4" +repage \) null: 2>&1 || true
  else
    convert "$work/$1.png" -crop "$crop" +repage -sample "$5x$6!" "$work/a.png"
    compare -metric AE "$work/a.png" \( "$2" -crop "$5x$6+$3+$4" +repage \) null: 2>&1 || true
  fi
}
# Player 1's back paddle cut out of a shot of the window.
paddle_shot() { shot "$1"; convert "$work/$1.png" -crop 14x60+70+$((62 + menu)) +repage "$work/$1-paddle.png"; }
paddle_moved() { [ "$(pixels_differ "$work/$1-paddle.png" "$work/$2-paddle.png")" != "0" ]; }
# paddle_still SHOT: two cut-outs of player 1's back paddle 0.2 s apart are the same (SHOT kept).
paddle_still() { paddle_shot "$1-a" && sleep 0.2 && paddle_shot "$1" && ! paddle_moved "$1-a" "$1"; }
# size_is WxH: the window has that size now.
size_is() { [ "$(xdotool getwindowgeometry "$wid" | sed -n 's/.*Geometry: *//p')" = "$1" ]; }
# shows SHOT REF X Y W H [SCALE]: takes SHOT and is true when its area equals REF's.
shows() { shot "$1" && [ "$(differ "$@")" = "0" ]; }
# wait_for_picture SECONDS SHOT REF X Y W H [SCALE]: waits until the window shows that area
# of REF (a picture of the program folder); SHOT is the last picture taken.
wait_for_picture() { local limit="$1"; shift; wait_until "$limit" shows "$@"; }
# changed SHOT BEFORE: takes SHOT and is true when it differs from the picture BEFORE.
changed() { shot "$1" && [ "$(pixels_differ "$work/$1.png" "$work/$2.png")" != "0" ]; }
# wait_until_changed SECONDS SHOT BEFORE: waits until the window differs from shot BEFORE.
wait_until_changed() { local limit="$1"; shift; wait_until "$limit" changed "$@"; }
# still SHOT: two shots 0.5 s apart, SHOT-a and SHOT (kept), are the same: nothing moves.
still() { shot "$1-a" && sleep 0.5 && shot "$1" && [ "$(pixels_differ "$work/$1-a.png" "$work/$1.png")" = "0" ]; }
# wait_until_still SECONDS SHOT: waits until the picture stands still (a pause, a screen).
wait_until_still() { local limit="$1"; shift; wait_until "$limit" still "$@"; }
# start_match_with_ok: clicks the stage select's OK until the match's field shows, at most 3
# times 5 s: a click that lands while the stage select still fades in is not yet the screen's.
start_match_with_ok() {
  for _ in 1 2 3; do
    click 424 273
    wait_for_picture 5 play "$work/dat/battle" 0 0 512 12 && return 0
  done
  return 1
}
# steer_until_moved KEY [BACK]: holds KEY 0.6 s (the input: long enough to move the paddle)
# until player 1's back paddle moves, at most 8 times: the match's intro may still be
# running. Between tries BACK moves the paddle away from a limit it may sit at.
steer_until_moved() {
  for _ in $(seq 8); do
    paddle_shot steer_before; hold "$1" 0.6; paddle_shot steer_after
    paddle_moved steer_before steer_after && return 0
    [ -z "${2:-}" ] || hold "$2" 0.6
  done
  return 1
}
