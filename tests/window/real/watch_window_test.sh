#!/usr/bin/env bash
# One 60-second network match in real windows (Xvfb, xdotool, loopback), with a watcher
# following all of it: `voltrax --host 0`, a guest (`--join`) and a watcher (`--watch
# 127.0.0.1:PORT`); the players' packets go through the simulated bad network.
# - The host's title counts the watcher; the host gives the guest the left side (Ctrl+L)
#   and the guest is told; OK starts the match on the host and the watcher.
# - The host's network line (Ctrl+I) comes and goes; the guest's keys move the host's
#   left paddle; the watcher's P pauses nobody.
# - The match ends on all three with the same --verbose line (frames, scores, result,
#   state hash), and the watcher's result screen is the host's picture.
# - The guest asks for RETRY: the host refuses (the guest is told, the watcher keeps the
#   result), the guest asks again, the host accepts: the retry starts on the host, the
#   guest and the watcher. A second watcher comes in mid-match, is counted, leaves with
#   Ctrl+S (ゲーム > stop) and is counted no more.
# - P and S on the host take both players to the title: the players' connection ends,
#   and the watcher is told why and is back on its title. Esc ends the host's program.
# VOLTRAX_NET_LANGUAGE=ja (or en, the default) is the interface language of all of them.
# With VOLTRAX_SHOTS=dir the screenshots are kept there.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/xvfb_session.sh"
source "$(dirname "${BASH_SOURCE[0]}")/programs_session.sh"
# Four programs instead of the session's one: their own ends, logs and screenshots.
cleanup() {
  for pid in "${host_pid:-}" "${guest_pid:-}" "${watcher_pid:-}" "${watcher2_pid:-}" "${xvfb_pid:-}"; do
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  done
  [ -n "${VOLTRAX_KEEP_WORK:-}" ] || rm -rf "$work"
}
lang="${VOLTRAX_NET_LANGUAGE:-en}"
keep() { [ -n "${VOLTRAX_SHOTS:-}" ] && mkdir -p "$VOLTRAX_SHOTS" && cp "$work/$1.png" "$VOLTRAX_SHOTS/$1_$lang.png"; true; }
fail() {
  echo "FAIL: $*" >&2
  tail -n 20 "$work"/*.log "$work"/*.out >&2 2>/dev/null || true
  [ -n "${VOLTRAX_SHOTS:-}" ] && mkdir -p "$VOLTRAX_SHOTS" && cp "$work"/*.png "$VOLTRAX_SHOTS/" 2>/dev/null
  exit 1
}
export VOLTRAX_ROUTER=none  # nobody asks a router for a port
# The host's options: Time 60, so that the match reaches its result in a minute.
printf '\0\0\0\0\0\0\0\0\0\0\377\377\0\0\377\377\0\0\0\0\377\377\1\1\1\1\74\0\12\0\43' >"$work/dat/Sysdata.rnd"
# The window titles' words in the interface language.
if [ "$lang" = ja ]; then
  counted() { echo "観戦 $1"; }
  watching_host="127.0.0.1 を観戦中"
else
  counted() { echo "$1 watching"; }
  watching_host="watching 127.0.0.1"
fi

# The players' packets (not the watchers') go through the simulated bad network.
start_player() { VOLTRAX_NETSIM="delay=50,jitter=10,loss=3" start "$@"; }
window_of() {  # the newest VOLTRAX window not yet taken
  for _ in $(seq 100); do
    for w in $(xdotool search --name '^VOLTRAX VER 2\.1' 2>/dev/null); do
      [ "$w" != "${host_wid:-}" ] && [ "$w" != "${guest_wid:-}" ] && [ "$w" != "${watcher_wid:-}" ] && { echo "$w"; return; }
    done
    sleep 0.2
  done
  fail "no window"
}
# area_differs WID SHOT BEFORE X Y W H MIN: takes SHOT of WID; more than MIN pixels of the
# area differ from shot BEFORE.
area_differs() { shot "$1" "$2" && [ "$(area_diff "$3" "$2" "$4" "$5" "$6" "$7")" -gt "$8" ]; }
# area_same WID SHOT BEFORE X Y W H: takes SHOT of WID; the area is as in shot BEFORE.
area_same() { shot "$1" "$2" && [ "$(area_diff "$3" "$2" "$4" "$5" "$6" "$7")" = "0" ]; }
title_has() { xdotool getwindowname "$1" | grep -q -- "$2"; }
# Xvfb has no window manager to draw titles: the kept picture names the title above it
# (in a font with Japanese letters where there is one).
keep_titled() {
  local font; font="$(fc-match -f '%{file}' ':lang=ja' 2>/dev/null)" || true
  [ -z "${VOLTRAX_SHOTS:-}" ] || convert "$work/$2.png" -background white -font "${font:-DejaVu-Sans}" -pointsize 14 -gravity north \
    -splice 0x24 -annotate +0+4 "title: $(xdotool getwindowname "$1")" "$work/$2.png"
  keep "$2"
}
click_host() { xdotool mousemove --window "$host_wid" "$1" $(($2 + menu)) click 1; }
click_guest() { xdotool mousemove --window "$guest_wid" "$1" $(($2 + menu)) click 1; }
away() { xdotool mousemove 1270 1010; }  # the pointer over no window, so that no button is hovered

start_player host --host 0 --verbose
host_wid="$(window_of)"
wait_until 10 grep -q "UDP" "$work/host.log" || fail "the host names no port"
port="$(sed -n 's/.*UDP[^0-9]*\([0-9][0-9]*\).*/\1/p' "$work/host.log" | head -n1)"
[ -n "$port" ] || fail "the host names no port"
start_player guest --join "127.0.0.1:$port" --verbose
guest_wid="$(window_of)"
start watcher --watch "127.0.0.1:$port" --verbose
watcher_wid="$(window_of)"
# Apart, so that none shows in a shot of another.
xdotool windowmove "$guest_wid" 0 0
xdotool windowmove "$host_wid" 640 0
xdotool windowmove "$watcher_wid" 0 460
eval "$(xdotool getwindowgeometry --shell "$host_wid")"
menu=$((HEIGHT - 342))

wait_until 20 title_has "$host_wid" "$(counted 1)" || fail "the host's title does not count the watcher: $(xdotool getwindowname "$host_wid")"
wait_until 20 window_shows "$host_wid" host_select "$work/dat/stagec" 0 0 512 10 || fail "the host does not reach the stage select"
shot "$host_wid" host_one_watching
keep_titled "$host_wid" host_one_watching
wait_until 10 window_still "$guest_wid" guest_waiting || fail "the guest's screen does not settle"
wait_until 10 window_still "$watcher_wid" watcher_waiting || fail "the watcher's screen does not settle"
title_has "$watcher_wid" "$watching_host" || fail "the watcher's title: $(xdotool getwindowname "$watcher_wid")"

# The host gives the guest the left side; the guest's waiting screen says so.
xdotool windowfocus --sync "$host_wid" key ctrl+l
wait_until 5 area_differs "$guest_wid" guest_swapped guest_waiting 0 0 512 342 200 ||
  fail "the guest is not told it plays on the left"
keep guest_swapped
# OK on the host's stage select (again while it still fades in), then the match on the
# host and the watcher.
for _ in 1 2 3; do
  click_host 424 273
  wait_until 5 window_shows "$host_wid" host_match "$work/dat/battle" 0 0 512 12 && break
done
away
match_runs "$host_wid"
match_runs "$watcher_wid"
shot "$watcher_wid" watcher_mid_match
keep_titled "$watcher_wid" watcher_mid_match

# The network line in the host's bottom left corner, shown and hidden again (so that the
# result screens below can be compared whole).
shot "$host_wid" host_no_line
xdotool windowfocus --sync "$host_wid" key ctrl+i
wait_until 5 area_differs "$host_wid" host_line host_no_line 0 290 72 52 200 || fail "no network line on the host"
keep host_line
xdotool key ctrl+i
wait_until 5 area_same "$host_wid" host_line_gone host_no_line 0 290 72 52 || fail "the network line stays on the host"

# The guest holds A for a second (the input), up to five times, until the host's left
# paddle moves.
left_moved() { shot "$host_wid" host_after && [ "$(area_diff host_before host_after 70 62 14 60 0)" -gt 0 ]; }
xdotool windowfocus --sync "$guest_wid"
for _ in $(seq 5); do
  shot "$host_wid" host_before
  xdotool keydown a; sleep 1; xdotool keyup a
  wait_until 2 left_moved && break
done
left_moved || fail "the guest's keys do not move the left paddle"

# The watcher's P (pause) is nobody's: its match plays on, and so does the host's.
xdotool windowfocus --sync "$watcher_wid" key p
wait_until 5 playing "$watcher_wid" || fail "P paused the watcher"
wait_until 5 playing "$host_wid" || fail "the watcher's P paused the host"

# The end of the match on all three; the watcher saw the host's match.
matches() { grep -c '^network match' "$work/$1.out" || true; }
all_ended() { for side in host guest watcher; do [ "$(matches "$side")" -ge 1 ] || return 1; done; }
wait_until 120 all_ended || fail "the match did not end on all three"
summary() { sed -n 's/^\(network match: .* state hash [0-9a-f]*\),.*/\1/p' "$work/$1.out" | head -n1; }
h="$(summary host)"; g="$(summary guest)"; w="$(summary watcher)"
[ -n "$h" ] && [ "$h" = "$g" ] || fail "the players' lines differ: '$h' / '$g'"
[ "$h" = "$w" ] || fail "the watcher's line differs from the host's: '$h' / '$w'"
wait_until 10 window_still "$host_wid" host_result || fail "the host's result screen does not settle"
keep host_result
# The watcher is a moment behind the players: its picture comes to be the host's (the
# whole picture: a side that ran frames again after a correction paints the item panel as
# the frames had).
same_as_host() { shot "$watcher_wid" watcher_result && [ "$(area_diff host_result watcher_result 0 0 512 342)" = "0" ]; }
wait_until 10 same_as_host || fail "the watcher's result screen is not the host's"
keep watcher_result

# The guest asks for RETRY (clicked again if the result's buttons were not up yet).
ask_retry() {
  for _ in $(seq 5); do
    click_guest 260 133
    wait_until 2 area_differs "$host_wid" "$1" host_result 16 290 480 30 500 && return 0
  done
  return 1
}
ask_retry host_request || fail "the host does not see the request"
wait_until 5 window_still "$guest_wid" guest_asking || fail "the guest's screen does not settle"
keep host_request; keep guest_asking
click_host 458 305  # refuse
wait_until 5 area_differs "$guest_wid" guest_refused guest_asking 16 290 480 30 100 ||
  fail "the guest does not see the refusal"
keep guest_refused
# Nothing of the request reaches the watcher: it keeps the host's result.
shot "$watcher_wid" watcher_after_refusal
[ "$(area_diff watcher_result watcher_after_refusal 0 0 512 342)" = "0" ] || fail "the refusal changed the watcher's screen"
ask_retry host_request2 || fail "the host does not see the second request"
click_host 394 305  # accept: the retry starts on both players and the watcher
away
for side in host guest watcher; do
  eval "wid=\$${side}_wid"
  wait_until 15 area_differs "$wid" "${side}_retry" host_result 66 61 380 200 500 || fail "the retry did not start on the $side"
done
match_runs "$host_wid"
match_runs "$watcher_wid"

# A second watcher comes in mid-match: counted, then gone with Ctrl+S (ゲーム > stop) and
# counted no more, and back on its title.
start watcher2 --watch "127.0.0.1:$port"
watcher2_wid="$(window_of)"
xdotool windowmove "$watcher2_wid" 640 460
wait_until 20 title_has "$host_wid" "$(counted 2)" || fail "the host does not count the second watcher"
wait_until 10 title_has "$watcher2_wid" "$watching_host" || fail "the second watcher does not follow"
match_runs "$watcher2_wid"
xdotool windowfocus --sync "$watcher2_wid" key ctrl+s
wait_until 10 on_title "$watcher2_wid" watcher2_title || fail "Ctrl+S does not take the second watcher to the title"
wait_until 10 title_has "$host_wid" "$(counted 1)" || fail "the host still counts the watcher that left"

# P and S on the host: both players back on the title. That ends the players'
# connection: the watcher is told so and is back on its title too.
xdotool windowfocus --sync "$host_wid" key p
wait_until 5 window_still "$host_wid" host_paused || fail "P did not pause the retry"
xdotool key s
wait_until 10 on_title "$host_wid" host_title || fail "S leaves the host away from the title"
wait_until 10 on_title "$guest_wid" guest_title || fail "S leaves the guest away from the title"
[ "$(matches host)" = 2 ] || fail "not two matches on the host"
wait_until 10 grep -q "voltrax: the players' connection ended" "$work/watcher.log" || fail "the watcher was not told"
wait_until 10 on_title "$watcher_wid" watcher_title || fail "the watcher is not back on the title"
keep watcher_title
title_has "$watcher_wid" "$watching_host" && fail "the watcher's title still says watching"
# Esc on the title ends the host's program.
xdotool windowfocus --sync "$host_wid" key Escape
wait_until 10 ended "$host_pid" || fail "Esc did not end the host's program"
for pid in "$guest_pid" "$watcher_pid" "$watcher2_pid"; do kill "$pid" 2>/dev/null || true; done
host_pid=""; guest_pid=""; watcher_pid=""; watcher2_pid=""
cat "$work/host.out" "$work/guest.out" "$work/watcher.out"
echo "watched network match: all checks passed ($lang)"
