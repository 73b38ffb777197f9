#!/usr/bin/env bash
# The built program in a real X window (Xvfb), driven by xdotool like a player:
# it starts on the title, 1P VS CPU and OK start a match, A moves player 1's paddles,
# P pauses and R resumes, focusing another window pauses, a second copy says so and ends at once, a resized window still maps
# clicks to the right button, and Esc ends the program with status 0.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/xvfb_session.sh"
start_game

[ "$WIDTH" -eq 512 ] || fail "window width $WIDTH"

shot title
[ "$(differ title "$work/dat/OP" 0 0 512 150)" = "0" ] || fail "title picture not shown"

# A second copy, plain or hosting, ends at once with status 3 and says why.
for args in "" "--host 0"; do
  start=$(date +%s%N)
  status=0
  "$work/voltrax" $args >"$work/second.log" 2>&1 || status=$?
  [ "$status" -eq 3 ] || fail "second copy ($args) exit status $status"
  grep -q "another copy of VOLTRAX is already running" "$work/second.log" || fail "second copy ($args) said nothing"
  [ $(( ($(date +%s%N) - start) / 1000000 )) -lt 3000 ] || fail "second copy ($args) did not end at once"
done

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

paddle_shot before_a
hold a 0.6
paddle_shot after_a
paddle_moved before_a after_a || fail "A did not move paddle 0"

xdotool key p; sleep 0.6
shot paused1; sleep 0.5; shot paused2
[ "$(pixels_differ "$work/paused1.png" "$work/paused2.png")" = "0" ] || fail "P did not pause"
xdotool key r; sleep 0.3
shot resumed1; sleep 0.4; shot resumed2
[ "$(pixels_differ "$work/resumed1.png" "$work/resumed2.png")" != "0" ] || fail "R did not resume"

# Another window takes the focus during play: the match pauses and stays paused.
xmessage -geometry 160x40+700+700 "other window" &
other_pid=$!
other="$(timeout 10 xdotool search --sync --name '^xmessage$' | head -n1)" || fail "no second window"
xdotool windowfocus --sync "$other"; sleep 0.8
shot unfocused1; sleep 0.5; shot unfocused2
[ "$(pixels_differ "$work/unfocused1.png" "$work/unfocused2.png")" = "0" ] ||
  fail "losing the focus did not pause"
[ -n "${VOLTRAX_SCREEN_DIR:-}" ] && cp "$work/unfocused2.png" "$VOLTRAX_SCREEN_DIR/pause-after-focus-loss.png"
kill "$other_pid" 2>/dev/null || true
xdotool windowfocus --sync "$wid"; sleep 0.8
shot refocused
[ "$(pixels_differ "$work/unfocused2.png" "$work/refocused.png")" = "0" ] ||
  fail "the match resumed by itself"
xdotool key r; sleep 0.3
shot resumed3; sleep 0.4; shot resumed4
[ "$(pixels_differ "$work/resumed3.png" "$work/resumed4.png")" != "0" ] ||
  fail "R did not resume after focus loss"

xdotool key Escape
end_game
echo "real window: all checks passed"
