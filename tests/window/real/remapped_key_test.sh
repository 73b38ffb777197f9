#!/usr/bin/env bash
# The built program in a real X window (Xvfb): the key dialog opened from the menu with
# the mouse, player 1 up moved to Q, and in the next match Q moves player
# 1's paddles while A no longer does; the key is kept in $XDG_CONFIG_HOME/voltrax/.
# With SHOTS=folder it leaves a picture of the key dialog there.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/xvfb_session.sh"
unset LANGUAGE LC_ALL LC_MESSAGES
export LANG=ja_JP.UTF-8
start_game

# オプション → キー設定, clicked.
xdotool mousemove --window "$wid" 80 $((menu / 2)) click 1; sleep 0.5; [ -n "${SHOTS:-}" ] && import -window root "$SHOTS/v11b_menu_ja.png"
xdotool mousemove --window "$wid" 120 $((menu + 73)) click 1; sleep 1  # キー設定(K)..., the fourth item
# The dialog sits centred on the window: player 1 up's button, then OK.
xdotool mousemove --window "$wid" 273 $((menu + 69)) click 1; sleep 0.3  # waits for its key
xdotool key q; sleep 0.3
[ -n "${SHOTS:-}" ] && import -window root "$SHOTS/v11b_key_dialog.png"
xdotool mousemove --window "$wid" 257 $((menu + 205)) click 1; sleep 0.8
grep -q '^player1Up=24$' "$XDG_CONFIG_HOME/voltrax/voltrax.ini" || fail "Q not kept: $(cat "$XDG_CONFIG_HOME/voltrax/voltrax.ini" 2>&1)"

click 255 183; sleep 1.5   # 1P VS CPU
click 424 273; sleep 3.5   # OK: the match
paddle_shot before_a
hold a 0.6
paddle_shot after_a
paddle_moved before_a after_a && fail "A still moves player 1's paddle"
hold q 0.6
paddle_shot after_q
paddle_moved after_a after_q || fail "Q did not move player 1's paddle"

xdotool key Escape
end_game
echo "remapped key: all checks passed"
