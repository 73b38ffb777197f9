#!/usr/bin/env bash
# The built program in a real X window (Xvfb), driven by xdotool like a player:
# it starts on the title, 1P VS CPU and OK start a match, A moves player 1's paddles,
# P pauses and R resumes, focusing another window pauses, a second copy ends at once, a resized window still maps
# clicks to the right button, and Esc ends the program with status 0.
set -euo pipefail
program_dir="$1"
work="$(mktemp -d)"
cleanup() {
  [ -n "${game_pid:-}" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# A private copy of the program folder, so options and locks are the test's own.
cp -r "$program_dir/dat" "$program_dir/design" "$program_dir/voltrax" "$work/"
cp "$program_dir/read me.txt" "$work/" 2>/dev/null || true
rm -f "$work/dat/Sysdata.rnd"
export XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" SDL_AUDIODRIVER=dummy
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

exec 5> "$work/display"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"

"$work/voltrax" >"$work/log" 2>&1 &
game_pid=$!
wid="$(timeout 20 xdotool search --sync --name '^VOLTRAX VER 2.1$' | head -n1)" || fail "no window"
sleep 1

# The picture sits below the menu bar at scale 1: its top is the window's height - 342.
geometry() { xdotool getwindowgeometry --shell "$wid"; }
eval "$(geometry)"
menu=$((HEIGHT - 342))
[ "$WIDTH" -eq 512 ] || fail "window width $WIDTH"
shot() { import -window "$wid" "$work/$1.png"; }
# Pixels that differ between a crop of a shot and the same crop of a reference picture.
differ() { # shot ref x y w h [scale]
  local scale="${7:-1}"
  convert "$work/$1.png" -crop "$(( $5 * scale ))x$(( $6 * scale ))+$(( $3 * scale ))+$(( $4 * scale + menu ))" +repage \
    -sample "$5x$6!" "$work/a.png"
  convert "$2" -crop "$5x$6+$3+$4" +repage "$work/b.png"
  compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1 || true
}
click() { xdotool mousemove --window "$wid" "$1" "$(( $2 + menu ))" click 1; }

shot title
[ "$(differ title "$work/dat/OP" 0 0 512 150)" = "0" ] || fail "title picture not shown"

# A second copy ends at once, silently, with status 0.
start=$(date +%s%N)
"$work/voltrax" >"$work/second.log" 2>&1 || fail "second copy exit status $?"
[ $(( ($(date +%s%N) - start) / 1000000 )) -lt 3000 ] || fail "second copy did not end at once"

# Resized to twice the size: the picture doubles and clicks still find the buttons.
xdotool windowmove "$wid" 0 0
xdotool windowsize "$wid" 1024 $(( 684 + menu ))
sleep 1
click $(( 2 * 255 )) $(( 2 * 183 ))  # 1P VS CPU at scale 2
sleep 1.5
shot select2
[ "$(differ select2 "$work/dat/stagec" 0 0 512 10 2)" = "0" ] || fail "resized click did not reach 1P VS CPU"
xdotool windowsize "$wid" 512 "$HEIGHT"
sleep 1

click 424 273  # OK
sleep 3.5
shot play
[ "$(differ play "$work/dat/battle" 0 0 512 12)" = "0" ] || fail "the match did not start"

shot before_a
xdotool keydown a; sleep 0.6; xdotool keyup a
shot after_a
convert "$work/before_a.png" -crop 14x60+70+$((62 + menu)) +repage "$work/pa.png"
convert "$work/after_a.png" -crop 14x60+70+$((62 + menu)) +repage "$work/pb.png"
[ "$(compare -metric AE "$work/pa.png" "$work/pb.png" null: 2>&1 || true)" != "0" ] || fail "A did not move paddle 0"

xdotool key p; sleep 0.6
shot paused1; sleep 0.5; shot paused2
[ "$(compare -metric AE "$work/paused1.png" "$work/paused2.png" null: 2>&1 || true)" = "0" ] || fail "P did not pause"
xdotool key r; sleep 0.3
shot resumed1; sleep 0.4; shot resumed2
[ "$(compare -metric AE "$work/resumed1.png" "$work/resumed2.png" null: 2>&1 || true)" != "0" ] || fail "R did not resume"

# Another window takes the focus during play: the match pauses and stays paused.
xmessage -geometry 160x40+700+700 "other window" &
other_pid=$!
other="$(timeout 10 xdotool search --sync --name '^xmessage$' | head -n1)" || fail "no second window"
xdotool windowfocus --sync "$other"; sleep 0.8
shot unfocused1; sleep 0.5; shot unfocused2
[ "$(compare -metric AE "$work/unfocused1.png" "$work/unfocused2.png" null: 2>&1 || true)" = "0" ] ||
  fail "losing the focus did not pause"
[ -n "${VOLTRAX_SCREEN_DIR:-}" ] && cp "$work/unfocused2.png" "$VOLTRAX_SCREEN_DIR/pause-after-focus-loss.png"
kill "$other_pid" 2>/dev/null || true
xdotool windowfocus --sync "$wid"; sleep 0.8
shot refocused
[ "$(compare -metric AE "$work/unfocused2.png" "$work/refocused.png" null: 2>&1 || true)" = "0" ] ||
  fail "the match resumed by itself"
xdotool key r; sleep 0.3
shot resumed3; sleep 0.4; shot resumed4
[ "$(compare -metric AE "$work/resumed3.png" "$work/resumed4.png" null: 2>&1 || true)" != "0" ] ||
  fail "R did not resume after focus loss"

xdotool key Escape
status=0
for _ in $(seq 50); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
wait "$game_pid" || status=$?
game_pid=""
[ "$status" -eq 0 ] || fail "exit status $status after Esc"
echo "real window: all checks passed"
