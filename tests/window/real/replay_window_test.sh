#!/usr/bin/env bash
# Replays in a real X window (Xvfb, xdotool): a match played with keys, paused, resized
# and resumed, paused again and quit leaves an incomplete replay in
# $XDG_DATA_HOME/voltrax/replays; --verify-replay plays it to the scores that were on
# the screen. Then --replay shows the match in the window (the file dialog of
# ゲーム > リプレイを見る is left to the offscreen tests). With VOLTRAX_SHOTS=dir the
# screenshot of the replay is kept there.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/xvfb_session.sh"
# In Japanese, as most players run it.
export LANGUAGE=ja LANG=ja_JP.UTF-8
replays="$work/data/voltrax/replays"

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

shows_paused_twice() {
  shot paused2x
  convert "$work/paused2x.png" -crop "1024x684+0+$menu" +repage -sample '512x342!' "$work/twice.png"
  convert "$work/paused.png" -crop "512x342+0+$menu" +repage "$work/once.png"
  [ "$(pixels_differ "$work/twice.png" "$work/once.png")" = "0" ]
}
shows_paused() { shot paused1x && [ "$(pixels_differ "$work/paused1x.png" "$work/paused.png")" = "0" ]; }

# --- a match, paused and resized in the middle, paused again and quit ---
start_game
click 255 183  # 1P VS CPU
wait_for_picture 10 select "$work/dat/stagec" 0 0 512 10 || fail "1P VS CPU did not open the stage select"
start_match_with_ok || fail "the match did not start"
steer_until_moved a z || fail "A did not move player 1's paddle"
# The keys the replay records, held for their times.
for _ in 1 2 3; do hold a 0.4; hold z 0.5; done
xdotool key p
wait_until_still 5 paused || fail "P did not pause"
xdotool windowmove "$wid" 0 0  # so that twice the size fits on the screen
xdotool windowsize "$wid" 1024 $(( 684 + menu ))
wait_until 5 size_is 1024x$(( 684 + menu )) || fail "the window was not resized"
wait_until 5 shows_paused_twice || fail "the paused match is not drawn at twice the size"
xdotool windowsize "$wid" 512 "$HEIGHT"
wait_until 5 size_is "512x$HEIGHT" || fail "the window was not resized back"
wait_until 5 shows_paused || fail "the paused match is not drawn at its size again"
xdotool key r
wait_until_changed 5 resumed paused || fail "R did not resume"
for _ in 1 2 3; do hold z 0.3; hold a 0.6; done
xdotool key p
wait_until_still 5 final || fail "P did not pause again"
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
wait_for_picture 15 watching "$work/dat/battle" 0 0 512 12 || fail "--replay shows no match"
xdotool key a; sleep 0.2  # input timing: A reaches the replay (and does nothing) before Esc
xdotool key Escape
end_game

if [ -n "${VOLTRAX_SHOTS:-}" ]; then
  mkdir -p "$VOLTRAX_SHOTS"
  cp "$work/watching.png" "$VOLTRAX_SHOTS/replay_playing.png"
fi
echo "replay window: all checks passed"
