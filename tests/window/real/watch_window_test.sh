#!/usr/bin/env bash
# A watcher in a real window (Xvfb, xdotool, loopback): `voltrax --host 0`, a guest
# (`--join`) and a watcher (`--watch 127.0.0.1:PORT`). The host's title counts the
# watcher, the watcher's window shows the host's 60-second match as it runs and its
# result screen as the host shows it (the whole 512 x 342 picture the same), its
# --verbose line names the players' frames, scores, result and state hash, and once the
# host's program ends the watcher is told why and is back on the title. A second watcher
# that comes after the result and leaves with Ctrl+S (ゲーム > stop) is counted and then not.
# With VOLTRAX_SHOTS=dir the screenshots are kept there.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/xvfb_session.sh"
# Three programs instead of the session's one: their own ends, logs and screenshots.
cleanup() {
  for pid in "${host_pid:-}" "${guest_pid:-}" "${watcher_pid:-}" "${watcher2_pid:-}" "${xvfb_pid:-}"; do
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  done
  [ -n "${VOLTRAX_KEEP_WORK:-}" ] || rm -rf "$work"
}
keep() { [ -n "${VOLTRAX_SHOTS:-}" ] && mkdir -p "$VOLTRAX_SHOTS" && cp "$work/$1.png" "$VOLTRAX_SHOTS/"; true; }
fail() {
  echo "FAIL: $*" >&2
  tail -n 20 "$work"/*.log "$work"/*.out >&2 2>/dev/null || true
  [ -n "${VOLTRAX_SHOTS:-}" ] && mkdir -p "$VOLTRAX_SHOTS" && cp "$work"/*.png "$VOLTRAX_SHOTS/" 2>/dev/null
  exit 1
}
export VOLTRAX_ROUTER=none  # nobody asks a router for a port
# The host's options: Time 60, so that the match reaches its result in a minute.
printf '\0\0\0\0\0\0\0\0\0\0\377\377\0\0\377\377\0\0\0\0\377\377\1\1\1\1\74\0\12\0\43' >"$work/dat/Sysdata.rnd"

# start SIDE ARGS...: each side has its own lock, options and replays folder.
start() {
  local side="$1"; shift
  mkdir -p "$work/$side/run" "$work/$side/config/voltrax" && chmod 700 "$work/$side/run"
  printf '[play]\npauseOnFocusLoss=false\n' >"$work/$side/config/voltrax/voltrax.ini"
  LC_ALL=C.UTF-8 LANG=C.UTF-8 LANGUAGE=en XDG_RUNTIME_DIR="$work/$side/run" XDG_CONFIG_HOME="$work/$side/config" \
    XDG_DATA_HOME="$work/$side/data" "$work/voltrax" "$@" >>"$work/$side.out" 2>"$work/$side.log" &
  eval "${side}_pid=$!"
}
window_of() {  # the newest VOLTRAX window not yet taken
  for _ in $(seq 100); do
    for w in $(xdotool search --name '^VOLTRAX VER 2\.1' 2>/dev/null); do
      [ "$w" != "${host_wid:-}" ] && [ "$w" != "${guest_wid:-}" ] && { echo "$w"; return; }
    done
    sleep 0.2
  done
  fail "no window"
}
window_of2() {  # the window neither of the players' nor the first watcher's
  for _ in $(seq 100); do
    for w in $(xdotool search --name '^VOLTRAX VER 2\.1' 2>/dev/null); do
      [ "$w" != "$host_wid" ] && [ "$w" != "$guest_wid" ] && [ "$w" != "$watcher_wid" ] && { echo "$w"; return; }
    done
    sleep 0.2
  done
  fail "no window"
}
shot() { import -window "$1" "$work/$2.png"; }
area_diff() {  # shot_a shot_b x y w h: pixels that differ in an area of the picture
  local crop="${5}x${6}+${3}+$(($4 + menu))" n
  n="$(compare -metric AE \( "$work/$1.png" -crop "$crop" +repage \) \( "$work/$2.png" -crop "$crop" +repage \) null: 2>&1 || true)"
  echo "${n%% *}"
}
field_diff() { area_diff "$1" "$2" 66 61 380 200; }
window_shows() { shot "$1" "$2" && [ "$(differ "${@:2}")" = "0" ]; }
window_still() { shot "$1" "$2-a" && sleep 0.5 && shot "$1" "$2" && [ "$(field_diff "$2-a" "$2")" = "0" ]; }
playing() {  # three shots a quarter second apart, each field unlike the one before
  shot "$1" play_a && sleep 0.25 && shot "$1" play_b && sleep 0.25 && shot "$1" play_c &&
    [ "$(field_diff play_a play_b)" -gt 0 ] && [ "$(field_diff play_b play_c)" -gt 0 ]
}
match_runs() {
  wait_until 20 window_shows "$1" match_shown "$work/dat/battle" 0 0 512 12 || fail "no match in window $1"
  wait_until 10 playing "$1" || fail "the match in window $1 does not play"
}
on_title() {  # the floor of the title picture, below the buttons and any message box
  shot "$1" "$2" && [ "$(compare -metric AE \( "$work/$2.png" -crop "300x30+0+$((menu + 305))" +repage \) \
    \( "$work/dat/OP" -crop 300x30+0+305 +repage \) null: 2>&1 || true)" = "0" ]
}
title_has() { xdotool getwindowname "$1" | grep -q -- "$2"; }
ended() { ! kill -0 "$1" 2>/dev/null; }

start host --host 0 --verbose
host_wid="$(window_of)"
wait_until 10 grep -q "UDP" "$work/host.log" || fail "the host names no port"
port="$(sed -n 's/.*UDP[^0-9]*\([0-9][0-9]*\).*/\1/p' "$work/host.log" | head -n1)"
[ -n "$port" ] || fail "the host names no port"
start guest --join "127.0.0.1:$port" --verbose
guest_wid="$(window_of)"
start watcher --watch "127.0.0.1:$port" --verbose
watcher_wid="$(window_of)"
# Apart, so that none shows in a shot of another.
xdotool windowmove "$guest_wid" 0 0
xdotool windowmove "$host_wid" 640 0
xdotool windowmove "$watcher_wid" 0 460
eval "$(xdotool getwindowgeometry --shell "$host_wid")"
menu=$((HEIGHT - 342))

wait_until 20 title_has "$host_wid" "1 watching" || fail "the host's title does not count the watcher: $(xdotool getwindowname "$host_wid")"
wait_until 20 window_shows "$host_wid" host_select "$work/dat/stagec" 0 0 512 10 || fail "the host does not reach the stage select"
# Xvfb has no window manager to draw titles: the kept picture names the title above it.
shot "$host_wid" host_one_watching
[ -z "${VOLTRAX_SHOTS:-}" ] || convert "$work/host_one_watching.png" -background white -font DejaVu-Sans -pointsize 14 -gravity north -splice 0x24 \
  -annotate +0+4 "title: $(xdotool getwindowname "$host_wid")" "$work/host_one_watching.png"
keep host_one_watching
wait_until 10 window_still "$watcher_wid" watcher_waiting || fail "the watcher's screen does not settle"
title_has "$watcher_wid" "watching 127.0.0.1" || fail "the watcher's title: $(xdotool getwindowname "$watcher_wid")"

# OK on the host's stage select (again while it still fades in), then the match on all three.
click_host() { xdotool mousemove --window "$host_wid" "$1" $(($2 + menu)) click 1; }
for _ in 1 2 3; do
  click_host 424 273
  wait_until 5 window_shows "$host_wid" host_match "$work/dat/battle" 0 0 512 12 && break
done
# The pointer away from every window, so that no button of the result screens is hovered.
xdotool mousemove 1270 1010
match_runs "$host_wid"
match_runs "$watcher_wid"
shot "$watcher_wid" watcher_mid_match
[ -z "${VOLTRAX_SHOTS:-}" ] || convert "$work/watcher_mid_match.png" -background white -font DejaVu-Sans -pointsize 14 -gravity north -splice 0x24 \
  -annotate +0+4 "title: $(xdotool getwindowname "$watcher_wid")" "$work/watcher_mid_match.png"
keep watcher_mid_match
# The watcher's P (pause) is nobody's: its match plays on, and so does the host's.
xdotool windowfocus --sync "$watcher_wid" key p
wait_until 5 playing "$watcher_wid" || fail "P paused the watcher"
wait_until 5 playing "$host_wid" || fail "the watcher's P paused the host"

all_ended() { for side in host guest watcher; do grep -q '^network match' "$work/$side.out" || return 1; done; }
wait_until 120 all_ended || fail "the match did not end on all three"
h="$(sed -n 's/^\(network match: .* state hash [0-9a-f]*\),.*/\1/p' "$work/host.out")"
w="$(sed -n 's/^\(network match: .* state hash [0-9a-f]*\),.*/\1/p' "$work/watcher.out")"
[ -n "$h" ] && [ "$h" = "$w" ] || fail "the watcher's line differs from the host's: '$h' / '$w'"
wait_until 10 window_still "$host_wid" host_result || fail "the host's result screen does not settle"
# The watcher is a moment behind the players: its picture comes to be the host's.
same_as_host() { shot "$watcher_wid" watcher_result && [ "$(area_diff host_result watcher_result 0 0 512 342)" = "0" ]; }
wait_until 10 same_as_host || fail "the watcher's result screen is not the host's"
keep watcher_result

# A second watcher comes between matches and leaves with ゲーム > stop (Ctrl+S): the host
# counts it, then counts it no more, and the second watcher is back on its title.
start watcher2 --watch "127.0.0.1:$port"
watcher2_wid="$(window_of2)"
xdotool windowmove "$watcher2_wid" 640 460
wait_until 20 title_has "$host_wid" "2 watching" || fail "the host does not count the second watcher"
wait_until 10 title_has "$watcher2_wid" "watching 127.0.0.1" || fail "the second watcher does not follow"
xdotool windowfocus --sync "$watcher2_wid" key ctrl+s
wait_until 10 on_title "$watcher2_wid" watcher2_title || fail "Ctrl+S does not take the second watcher to the title"
wait_until 10 title_has "$host_wid" "1 watching" || fail "the host still counts the watcher that left"

# The host's program ends: the watcher is told and goes back to the title.
xdotool windowfocus --sync "$host_wid" key Escape
wait_until 10 ended "$host_pid" || fail "Esc did not end the host's program"
wait_until 10 grep -q "connection ended" "$work/watcher.log" || fail "the watcher was not told"
wait_until 10 on_title "$watcher_wid" watcher_title || fail "the watcher is not back on the title"
title_has "$watcher_wid" "watching" && fail "the watcher's title still says watching"
for pid in "$guest_pid" "$watcher_pid" "$watcher2_pid"; do kill "$pid" 2>/dev/null || true; done
host_pid=""; guest_pid=""; watcher_pid=""; watcher2_pid=""
cat "$work/host.out" "$work/watcher.out"
echo "watcher window: all checks passed"
