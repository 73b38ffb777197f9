#!/usr/bin/env bash
# The game natively on Wayland under weston (headless back-end, pixman, desktop shell),
# in full screen:
# the title is on screen exactly as under X11; a recorded 60-second replay, watched from 40 s on, plays to its
# result, which equals the same replay's result under Xvfb; on an output of scale 2 the
# title is drawn at exactly twice the size, pixel for pixel. Screenshots come from
# weston-screenshooter. With VOLTRAX_SHOTS=dir the screenshots are kept there.
# Then weston runs as a window of the test's X display and the game is played there
# with keys and the mouse (wayland_tour.sh): physical keys, pause on focus loss, full
# screen and the menu bar, the menus, help window, about box and dialogs.
# Arguments: the program folder, the replay recorder (voltrax_record_replay) and the
# picture finder (voltrax_find_picture).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
recorder="$2"
find_picture="$3"
command -v weston >/dev/null || { echo "SKIP: weston is not installed"; exit 77; }
source "$here/../real/xvfb_session.sh"
source "$here/wayland_session.sh"
source "$here/wayland_tour.sh"
export LANGUAGE=ja LANG=ja_JP.UTF-8

replay="$("$recorder" "$work/recorded")" || fail "no replay recorded"

# w_picture WESTON SCALE NAME: the picture of weston's output, cut out and at scale 1.
w_picture() {
  weston_shot "$1" "$3-full"
  local place
  place="$(full_screen_place "$3-full" "$2")" || return 1
  crop_picture "$3-full" "$2" ${place} "$3"
}

# --- the title under Xvfb is the reference ---
start_game
wait_for_picture 10 x-title "$work/dat/OP" 0 0 512 150 || fail "Xvfb: the title is not on screen after 10 s"
x_picture x-title
xdotool key Escape
end_game

# --- weston at scale 1 and 2: the title, exact ---
start_weston w1 1 800 600
start_wayland_game "$weston_runtime" w1 "$work/w1.log"
title_pids=("$wayland_game_pid")
start_weston w2 2 600 500  # 1200 x 1000 device pixels: the picture at 2
start_wayland_game "$weston_runtime" w2 "$work/w2.log"
title_pids+=("$wayland_game_pid")
# title_on SCALE: one try: weston's output of that scale shows the title, pixel for pixel.
title_on() { w_picture "w$1" "$1" "w$1-title" 2>/dev/null && same_picture "w$1-title" x-title; }
for s in 1 2; do
  wait_until 30 title_on "$s" ||
    fail "weston scale $s: the title is not on screen after 30 s ($(pixels_differ "$work/w$s-title.png" "$work/x-title.png") pixels differ)"
  echo "weston scale $s: the title is on screen, pixel for pixel"
done
# At scale 2 every picture pixel is a 2 x 2 block: the sampled crop above took one pixel
# of each; the crop scaled back up must be the shot itself.
place="$(full_screen_place w2-title-full 2)"
convert "$work/w2-title-full.png" -crop "1024x684+${place% *}+${place#* }" +repage "$work/w2-title-crop.png"
convert "$work/x-title.png" -sample 200% "$work/x-title-2x.png"
same_picture w2-title-crop x-title-2x || fail "weston scale 2: the title is not twice the size pixel for pixel"
# Only one copy runs at a time: the replay below needs the title's copies gone.
for pid in "${title_pids[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done

# --- a replay watched to its result, under Xvfb and weston side by side ---
on_xvfb() { x_picture "$1"; }
on_weston() { w_picture w1 1 "$1"; }
start_game --replay "$replay" --start-at "$replay_start"
start_wayland_game "$work/weston-w1" w1 "$work/w1-replay.log" --replay "$replay" --start-at "$replay_start"
replay_results on_xvfb on_weston
same_result on_weston-result on_xvfb-result ||
  fail "weston: the replay's result differs from Xvfb's ($(pixels_differ "$work/on_weston-result.png" "$work/on_xvfb-result.png") pixels)"
echo "weston: the replay's result equals Xvfb's"

# --- played with keys and the mouse, on weston in a window of the X display ---
for pid in "${wayland_pids[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
wayland_pids=()
WESTON_BACKEND=x11-backend.so start_weston wx 1 800 600
WAYLAND_WINDOWED=1 start_wayland_game "$weston_runtime" wx "$work/wx.log"
wx_shot() { weston_shot wx "$1"; }
wayland_tour weston wx_shot "$wayland_game_pid"

if [ -n "${VOLTRAX_SHOTS:-}" ]; then
  mkdir -p "$VOLTRAX_SHOTS"
  cp "$work/w1-title-full.png" "$VOLTRAX_SHOTS/weston_title.png"
  cp "$work/w2-title-full.png" "$VOLTRAX_SHOTS/weston_title_scale2.png"
  cp "$work/on_weston-result-full.png" "$VOLTRAX_SHOTS/weston_replay_result.png"
  cp "$work/on_xvfb-result.png" "$VOLTRAX_SHOTS/xvfb_replay_result.png"
fi
echo "weston: all checks passed"
