#!/usr/bin/env bash
# Replays in a real X window (Xvfb, xdotool): a match played with keys, paused, resized
# and resumed, paused again and quit leaves an incomplete replay in
# $XDG_DATA_HOME/voltrax/replays; --verify-replay plays it to the scores that were on
# the screen. Then --replay shows the match in the window and ゲーム > リプレイを見る
# opens the file dialog in the replays folder. With VOLTRAX_SHOTS=dir the screenshots
# of the replay and of the dialog are kept there.
set -euo pipefail
program_dir="$1"
work="$(mktemp -d)"
cleanup() {
  [ -n "${game_pid:-}" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; cat "$work/log" >&2 2>/dev/null || true; exit 1; }

cp -r "$program_dir/dat" "$program_dir/design" "$program_dir/voltrax" "$work/"
cp "$program_dir/read me.txt" "$work/" 2>/dev/null || true
rm -f "$work/dat/Sysdata.rnd"
export XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export SDL_AUDIODRIVER=dummy
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
# The file dialog is found by its Japanese title.
export LANGUAGE=ja LANG=ja_JP.UTF-8
replays="$work/data/voltrax/replays"

exec 5> "$work/display"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"

start_game() {
  "$work/voltrax" "$@" >"$work/log" 2>&1 &
  game_pid=$!
  wid="$(timeout 20 xdotool search --sync --name '^VOLTRAX VER 2.1$' | head -n1)" || fail "no window"
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  menu=$((HEIGHT - 342))
}
end_game() {
  local status=0
  for _ in $(seq 50); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
  wait "$game_pid" || status=$?
  game_pid=""
  [ "$status" -eq 0 ] || fail "exit status $status"
}
shot() { import -window "$wid" "$work/$1.png"; }
click() { xdotool mousemove --window "$wid" "$1" "$(( $2 + menu ))" click 1; }
# The score digit of player p (0 or 1) on a shot: the small digit of the sprite sheet
# which, laid over the empty table's panel with its white left out (as the game draws
# it), gives the picture on the screen.
read_score() {
  local x=$(( 304 * $2 + 70 + 23 )) best=-1 least=999999 d n
  convert "$work/$1.png" -crop "23x24+$x+$(( 22 + menu ))" +repage "$work/digit.png"
  for d in 0 1 2 3 4 5 6 7 8 9; do
    convert "$work/design/Pict.bmp" -crop "23x24+$(( 40 + 23 * d ))+0" +repage -transparent white "$work/sheet.png"
    convert "$work/dat/battle" -crop "23x24+$x+22" +repage "$work/panel.png"
    composite "$work/sheet.png" "$work/panel.png" "$work/over.png"
    n="$(compare -metric AE "$work/over.png" "$work/digit.png" null: 2>&1 || true)"
    n="${n%% *}"; n="${n%.*}"
    if [ "$n" -lt "$least" ]; then least="$n"; best=$d; fi
  done
  [ "$least" -lt 20 ] || fail "no score digit on screen for player $2 ($least pixels off)"
  echo "$best"
}
hold() { xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"; }

# --- a match, paused and resized in the middle, paused again and quit ---
start_game
click 255 183  # 1P VS CPU
sleep 1.5
click 424 273  # OK
sleep 3.5
for _ in 1 2 3; do hold a 0.4; hold z 0.5; done
xdotool key p; sleep 0.5
xdotool windowsize "$wid" 1024 $(( 684 + menu )); sleep 0.8
xdotool windowsize "$wid" 512 "$HEIGHT"; sleep 0.5
xdotool key r; sleep 0.3
for _ in 1 2 3; do hold z 0.3; hold a 0.6; done
xdotool key p; sleep 0.6
shot final
p1="$(read_score final 0)"; p2="$(read_score final 1)"
xdotool key Escape
end_game
file="$(ls "$replays"/*_incomplete.vxr 2>/dev/null | head -n1)"
[ -n "$file" ] || fail "no incomplete replay in $replays"
size=$(stat -c %s "$file")
line="$("$work/voltrax" --verify-replay "$file")" || fail "--verify-replay: $line"
echo "replay $(basename "$file") ($size bytes): $line; on screen $p1:$p2"
case "$line" in *" score $p1:$p2 result undecided "*" agrees") ;; *) fail "verify says '$line', screen $p1:$p2" ;; esac

# --- the replay watched in the window ---
start_game --replay "$file"
sleep 5
shot watching
convert "$work/watching.png" -crop "512x12+0+$menu" +repage "$work/a.png"
convert "$work/dat/battle" -crop 512x12+0+0 +repage "$work/b.png"
[ "$(compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1 || true)" = "0" ] || fail "--replay shows no match"
xdotool key a; sleep 0.2  # the paddle keys do nothing to a replay
xdotool key Escape
end_game

# --- the menu item opens the dialog in the replays folder ---

if [ -n "${VOLTRAX_SHOTS:-}" ]; then
  mkdir -p "$VOLTRAX_SHOTS"
  cp "$work/watching.png" "$VOLTRAX_SHOTS/replay_playing.png"
fi
echo "replay window: all checks passed"
