#!/usr/bin/env bash
# The game natively on Wayland under a wlroots compositor, sway, run as an unprivileged
# user the script creates (wlroots will not run as root), with pixman rendering and
# screenshots from grim. On sway's headless back-end: the title as under X11, and a
# recorded replay paused and resumed from wtype's virtual keyboard and played to its
# result, which equals the same replay's under Xvfb. Then on sway running as a window of
# the test's X display (its X11 back-end, so xdotool's real key codes and pointer reach
# the game through it): the same tour as on weston (wayland_tour.sh). With
# VOLTRAX_SHOTS=dir the screenshots are kept there.
# Arguments: the program folder, the replay recorder (voltrax_record_replay) and the
# picture finder (voltrax_find_picture).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
recorder="$2"
find_picture="$3"
for tool in sway grim wtype swaymsg; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
source "$here/../real/xvfb_session.sh"
source "$here/wayland_session.sh"
source "$here/wayland_tour.sh"
export LANGUAGE=ja LANG=ja_JP.UTF-8

# --- the unprivileged user and its own copy of the program ---
user="$(id -un)"
if [ "$(id -u)" -eq 0 ]; then
  user=voltrax-wayland-test
  id "$user" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$user" ||
    skip "cannot create the test user $user"
fi
wl="$(mktemp -d)"
trap 'wayland_cleanup; rm -rf "$wl"; cleanup' EXIT
cp -r "$work/dat" "$work/design" "$work/voltrax" "$work/libvoltrax-online.so" "$wl/"
mkdir -p "$wl/config" "$wl/data" "$wl/recorded"
replay="$("$recorder" "$wl/recorded")" || fail "no replay recorded"
chown -R "$user" "$wl"
chmod 755 "$wl"
# as_user VAR=VALUE... COMMAND...: runs as the test user in the current sway's session.
as_user() {
  local env=(XDG_RUNTIME_DIR="$wl/run" XDG_CONFIG_HOME="$wl/config" XDG_DATA_HOME="$wl/data" XDG_CACHE_HOME="$wl/cache" HOME="$wl"
    SDL_AUDIODRIVER=dummy LANGUAGE="$LANGUAGE" LANG="$LANG")
  # sway itself gets neither: it makes both.
  [ -n "${sway_display:-}" ] && env+=(WAYLAND_DISPLAY="$sway_display")
  [ -n "${swaysock:-}" ] && env+=(SWAYSOCK="$swaysock")
  if [ "$(id -u)" -eq 0 ]; then runuser -u "$user" -- env "${env[@]}" "$@"; else env "${env[@]}" "$@"; fi
}

# start_sway BACKEND OUTPUT: sway as the user on an 800 x 600 output, with a runtime folder
# of its own; its process id is written by the shell it replaces.
start_sway() {
  sway_display="" swaysock=""
  rm -rf "$wl/run" && mkdir -p "$wl/run" && chmod 700 "$wl/run" && chown "$user" "$wl/run"
  printf 'output %s resolution 800x600 position 0 0\ndefault_border none\nfocus_follows_mouse no\n' "$2" \
    >"$wl/sway.config"
  chmod 644 "$wl/sway.config"
  as_user WLR_BACKENDS="$1" WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman DISPLAY="${DISPLAY:-}" \
    sh -c 'echo $$ >"$XDG_RUNTIME_DIR/sway.pid"; exec sway -c "$HOME/sway.config"' >>"$work/sway.log" 2>&1 &
  wayland_pids+=($!)
  local display=""
  sway_socket() {
    display="$(ls "$wl/run" 2>/dev/null | grep -m1 '^wayland-[0-9]*$' || true)"
    [ -n "$display" ] && [ -S "$wl/run/$display" ]
  }
  wait_until 10 sway_socket || { cat "$work/sway.log" >&2; skip "sway opened no Wayland socket in 10 s"; }
  wayland_pids+=("$(cat "$wl/run/sway.pid")")
  sway_ipc() { swaysock="$(ls "$wl"/run/sway-ipc.*.sock 2>/dev/null | head -n1 || true)"; [ -n "$swaysock" ]; }
  wait_until 10 sway_ipc || { cat "$work/sway.log" >&2; skip "sway opened no IPC socket in 10 s"; }
  sway_display="$display"
}
stop_sway() {
  local pid
  for pid in "${wayland_pids[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
  wayland_pids=()
}

# start_sway_game ARGS...: the game as the user on Qt's wayland platform; sets
# sway_game_pid to the game's own process id (not runuser's).
start_sway_game() {
  rm -f "$wl/game.pid"
  as_user QT_QPA_PLATFORM=wayland sh -c 'echo $$ >"$HOME/game.pid"; exec "$HOME/voltrax" "$@"' voltrax "$@" \
    >>"$work/sway-game.log" 2>&1 &
  wayland_pids+=($!)
  wait_until 10 test -s "$wl/game.pid" || fail "sway: the game did not start in 10 s"
  sway_game_pid="$(cat "$wl/game.pid")"
  wayland_pids+=("$sway_game_pid")
}
s_shot() { as_user grim "$wl/shot.png" && cp "$wl/shot.png" "$work/$1.png"; }
# s_picture NAME: the picture found in a screenshot of sway's output, cut out.
s_picture() {
  s_shot "$1-full" || return 1
  [ -n "${spx:-}" ] || read -r spx spy < <("$find_picture" "$work/$1-full.png" "$work/x-title.png") || return 1
  convert "$work/$1-full.png" -crop "512x342+$spx+$spy" +repage "$work/$1.png"
}

# --- the title under Xvfb is the reference ---
start_game
wait_for_picture 10 x-title "$work/dat/OP" 0 0 512 150 || fail "Xvfb: the title is not on screen after 10 s"
x_picture x-title
xdotool key Escape
end_game

# --- sway headless: the title ---
start_sway headless HEADLESS-1
start_sway_game
spx=""
# found_title: one try: the title is found in a screenshot, pixel for pixel, and its place kept.
found_title() { s_picture s-title 2>/dev/null || { spx=""; return 1; }; }
wait_until 30 found_title || fail "sway: the title is not on screen after 30 s"
echo "sway: the title is on screen, pixel for pixel"
kill "$sway_game_pid" 2>/dev/null || true
gone() { ! kill -0 "$1" 2>/dev/null; }
wait_until 5 gone "$sway_game_pid" || fail "sway: the title's game did not end in 5 s on SIGTERM"

# --- a replay, paused and resumed with wtype, to its result beside Xvfb's ---
on_xvfb() { x_picture "$1"; }
on_sway() { s_picture "$1"; }
start_game --replay "$replay" --start-at "$replay_start"
start_sway_game --replay "$replay" --start-at "$replay_start"
# P pauses only a match being played: the keys wait until the replay's intro is over.
wait_for_play 30 on_sway s-playing || fail "sway: the replay's match was not being played after 30 s"
# One wtype for both keys (a second wtype's keys can arrive under the first one's key
# map). Its pauses are the input's timing: 0.3 s for sway to take the new virtual keyboard
# in before P, then R 8 s after P, time enough to see the replay stand still for over a
# second however slow the screenshots. It stays until the replay is over: when the seat's
# last keyboard goes, the window loses the keyboard focus, and a match (or replay) pauses
# on focus loss as it should.
rm -f "$wl/wtype.pid"
as_user sh -c 'echo $$ >"$HOME/wtype.pid"; exec wtype -s 300 p -s 8000 r -s 240000' &
wayland_pids+=($!)
wait_until 10 test -s "$wl/wtype.pid" || fail "sway: wtype did not start in 10 s"
wtype_pid="$(cat "$wl/wtype.pid")"
wayland_pids+=("$wtype_pid")
wait_until_still_for_a_second 7.5 on_sway s-paused ||
  fail "sway: P from the virtual keyboard did not pause the replay (it never stood still for a second)"
wait_until 15 differs_from on_sway s-resumed s-paused ||
  fail "sway: R from the virtual keyboard did not resume the replay (still the paused picture after 10 s)"
echo "sway: wtype's P and R pause and resume the replay"
replay_results on_xvfb on_sway
kill "$wtype_pid" 2>/dev/null || true
same_result on_sway-result on_xvfb-result ||
  fail "sway: the replay's result differs from Xvfb's ($(pixels_differ "$work/on_sway-result.png" "$work/on_xvfb-result.png") pixels)"
echo "sway: the replay's result equals Xvfb's"
stop_sway

# --- played with keys and the mouse, on sway in a window of the X display ---
start_sway x11 X11-1
start_sway_game
sw_shot() { s_shot "$1"; }
wayland_tour sway sw_shot "$sway_game_pid"

if [ -n "${VOLTRAX_SHOTS:-}" ]; then
  mkdir -p "$VOLTRAX_SHOTS"
  cp "$work/s-title-full.png" "$VOLTRAX_SHOTS/sway_title.png"
  cp "$work/s-paused-full.png" "$VOLTRAX_SHOTS/sway_replay_paused.png"
  cp "$work/on_sway-result-full.png" "$VOLTRAX_SHOTS/sway_replay_result.png"
fi
echo "sway: all checks passed"
