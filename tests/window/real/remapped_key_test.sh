#!/usr/bin/env bash
# The built program in a real X window (Xvfb): the key dialog opened from the menu with
# the mouse, player 1 up moved to Q, and in the next match Q moves player
# 1's paddles while A no longer does; the key is kept in $XDG_CONFIG_HOME/voltrax/.
# With SHOTS=folder it leaves a picture of the key dialog there.
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

cp -r "$program_dir/dat" "$program_dir/design" "$program_dir/voltrax" "$work/"
rm -f "$work/dat/Sysdata.rnd"
export XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" SDL_AUDIODRIVER=dummy
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM LANGUAGE LC_ALL LC_MESSAGES

exec 5> "$work/display"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"

LANG=ja_JP.UTF-8 "$work/voltrax" >"$work/log" 2>&1 &
game_pid=$!
wid="$(timeout 20 xdotool search --sync --name '^VOLTRAX VER 2.1$' | head -n1)" || fail "no window"
sleep 1
eval "$(xdotool getwindowgeometry --shell "$wid")"
menu=$((HEIGHT - 342))
click() { xdotool mousemove --window "$wid" "$1" "$(( $2 + menu ))" click 1; }

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
paddle() { import -window "$wid" "$work/shot.png"; convert "$work/shot.png" -crop 14x60+70+$((62 + menu)) +repage "$work/$1.png"; }
moved() { [ "$(compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 || true)" != "0" ]; }
paddle before_a
xdotool keydown a; sleep 0.6; xdotool keyup a
paddle after_a
moved before_a after_a && fail "A still moves player 1's paddle"
xdotool keydown q; sleep 0.6; xdotool keyup q
paddle after_q
moved after_a after_q || fail "Q did not move player 1's paddle"

xdotool key Escape
for _ in $(seq 50); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
wait "$game_pid" || fail "exit status $?"
game_pid=""
echo "remapped key: all checks passed"
