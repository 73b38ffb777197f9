#!/usr/bin/env bash
# The built program in a real X window (Xvfb), driven by xdotool like a player:
# it starts on the title, 1P VS CPU and OK start a match, A moves player 1's paddles,
# P pauses and R resumes, focusing another window pauses, a second copy says so and ends at once, a resized window still maps
# clicks to the right button, and Esc ends the program with status 0.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/xvfb_session.sh"
start_game

[ "$WIDTH" -eq 512 ] || fail "window width $WIDTH"

wait_for_picture 10 title "$work/dat/OP" 0 0 512 150 || fail "title picture not shown"

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
wait_until 5 size_is 1024x$(( 684 + menu )) || fail "the window was not resized"
# The title drawn at twice the size: its top left corner is the title's at scale 2.
wait_for_picture 10 title2 "$work/dat/OP" 0 0 512 150 2 || fail "the title is not drawn at twice the size"
click $(( 2 * 255 )) $(( 2 * 183 ))  # 1P VS CPU at scale 2
wait_for_picture 10 select2 "$work/dat/stagec" 0 0 512 10 2 || fail "resized click did not reach 1P VS CPU"
xdotool windowsize "$wid" 512 "$HEIGHT"
wait_until 5 size_is "512x$HEIGHT" || fail "the window was not resized back"
wait_for_picture 10 select "$work/dat/stagec" 0 0 512 10 || fail "the stage select is not back at its size"

start_match_with_ok || fail "the match did not start"
steer_until_moved a z || fail "A did not move paddle 0"

xdotool key p
wait_until_still 5 paused || fail "P did not pause"
xdotool key r
wait_until_changed 5 resumed paused || fail "R did not resume"

# Another window takes the focus during play: the match pauses and stays paused.
xmessage -geometry 160x40+700+700 "other window" &
other_pid=$!
other="$(timeout 10 xdotool search --sync --name '^xmessage$' | head -n1)" || fail "no second window"
xdotool windowfocus --sync "$other"
wait_until_still 5 unfocused2 || fail "losing the focus did not pause"
[ -n "${VOLTRAX_SCREEN_DIR:-}" ] && cp "$work/unfocused2.png" "$VOLTRAX_SCREEN_DIR/pause-after-focus-loss.png"
kill "$other_pid" 2>/dev/null || true
xdotool windowfocus --sync "$wid"
# The focus is back; the match stays paused for a while (a moment it might have resumed in).
wait_until_changed 0.8 refocused unfocused2 && fail "the match resumed by itself"
xdotool key r
wait_until_changed 5 resumed2 unfocused2 || fail "R did not resume after focus loss"

xdotool key Escape
end_game
echo "real window: all checks passed"
