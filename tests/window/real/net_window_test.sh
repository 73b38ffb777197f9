#!/usr/bin/env bash
# Network play between two real windows (Xvfb, xdotool, loopback with a simulated bad
# network): `voltrax --host 0` and `voltrax --join 127.0.0.1:PORT` reach the match when
# the host presses OK, P on the host shows PAUSE on both, S takes both to the title,
# each side's replay of the stopped match verifies, and Esc on the host in a second
# connection's match brings the guest the message and the title. In each connection the
# guest's program is stopped for 3 s mid-match (SIGSTOP): the host's match freezes with
# the waiting line over the middle of the field (in English, then in Japanese) and both
# play on by themselves once it runs again. With VOLTRAX_NET_LONG_DROP=1 (by hand: half a
# minute more) a 25-second stop ends both sides with the message. With VOLTRAX_NET_WHOLE_MATCH=1
# (by hand: about three minutes) a 120-second match is played to its result first, both
# players steering from their own windows (pausing on focus loss is off on both): the
# --verbose lines agree, both result screens are the same picture and RETRY on the host
# starts the next match on both. VOLTRAX_NET_LANGUAGE=ja chooses the first connection's
# language (English by default). With VOLTRAX_SHOTS=dir the screenshots of both windows are kept there.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/xvfb_session.sh"
source "$(dirname "${BASH_SOURCE[0]}")/programs_session.sh"
# Two programs instead of the session's one: their own ends, logs and screenshots.
cleanup() {
  for pid in "${host_pid:-}" "${guest_pid:-}" "${xvfb_pid:-}"; do
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
fail() {
  echo "FAIL: $*" >&2
  cat "$work"/*.log >&2 2>/dev/null || true
  [ -n "${VOLTRAX_SHOTS:-}" ] && mkdir -p "$VOLTRAX_SHOTS" && cp "$work"/*.png "$VOLTRAX_SHOTS/" 2>/dev/null
  exit 1
}
export VOLTRAX_NETSIM="delay=50,jitter=10,loss=3"
export VOLTRAX_ROUTER=127.0.0.1  # the host asks no router beyond loopback for its port

lang="${VOLTRAX_NET_LANGUAGE:-en}"  # ja or en: the interface language of both
window_of() {  # the newest VOLTRAX window not yet taken
  for _ in $(seq 100); do
    for w in $(xdotool search --name '^VOLTRAX VER 2.1$' 2>/dev/null); do
      [ "$w" != "${host_wid:-}" ] && { echo "$w"; return; }
    done
    sleep 0.2
  done
  fail "no window"
}
connect() {
  start host --host 0 --verbose
  host_wid="$(window_of)"
  for _ in $(seq 50); do grep -q "UDP" "$work/host.log" && break; sleep 0.1; done
  port="$(sed -n 's/.*UDP[^0-9]*\([0-9][0-9]*\).*/\1/p' "$work/host.log" | head -n1)"
  [ -n "$port" ] || fail "the host names no port"
  start guest --join "127.0.0.1:$port" --verbose
  guest_wid="$(window_of)"
  # Apart, so that neither shows in a shot of the other.
  xdotool windowmove "$guest_wid" 0 0
  xdotool windowmove "$host_wid" 640 420
  eval "$(xdotool getwindowgeometry --shell "$host_wid")"
  menu=$((HEIGHT - 342))
  xdotool windowfocus --sync "$host_wid"
  # The handshake, then the host's stage select and the guest's waiting screen.
  wait_until 20 window_shows "$host_wid" host_select "$work/dat/stagec" 0 0 512 10 ||
    fail "the host does not reach the stage select"
  wait_until 10 window_still "$guest_wid" guest_waiting || fail "the guest's screen does not settle"
}
# Pixels of the waiting line's dark band in a shot (the line lies across the field's
# middle, 66..446 x 160..184 of the picture; the field itself has no such black).
waiting_line() {
  convert "$work/$1.png" -crop "380x24+66+$((160 + menu))" +repage -fuzz 5% -fill white \
    -opaque black -fill black +opaque white -format "%[fx:round(mean*w*h)]" info:
}
line_shown() { shot "$host_wid" "$1" && [ "$(waiting_line "$1")" -gt 2000 ]; }
line_gone() { shot "$host_wid" "$1" && [ "$(waiting_line "$1")" -lt 200 ]; }
# The guest's program stops for $1 seconds mid-match (the test's input: that long, by the
# clock); meanwhile, for at most $2 seconds, the host is watched for the waiting line.
drop_guest() {
  local stopped_ms; stopped_ms=$(( $(date +%s%N) / 1000000 ))
  kill -STOP "$guest_pid"
  wait_until "$2" line_shown "host_drop_waiting_$lang" || true
  sleep "$(awk "BEGIN { s = $1 - ($(date +%s%N) / 1000000 - $stopped_ms) / 1000; print (s > 0 ? s : 0) }")"
  kill -CONT "$guest_pid"
}
# A 3-second drop: the waiting line, then both play on and the line is gone.
short_drop() {
  drop_guest 3 2.8
  [ "$(waiting_line "host_drop_waiting_$lang")" -gt 2000 ] || fail "no waiting line on the host during the drop ($lang)"
  wait_until 5 line_gone "host_after_drop_$lang" || fail "the waiting line stays after the drop ($lang)"
  host_field_changed() { shot "$host_wid" "host_after_drop_later_$lang" && [ "$(field_diff "host_after_drop_$lang" "host_after_drop_later_$lang")" -gt 0 ]; }
  wait_until 3 host_field_changed || fail "the match did not play on after the drop ($lang)"
  ! grep -q "20 seconds" "$work/host.log" "$work/guest.log" || fail "a 3-second drop ended the match ($lang)"
}
connect
click_host() { xdotool mousemove --window "$host_wid" "$1" $(($2 + menu)) click 1; }
if [ -n "${VOLTRAX_NET_WHOLE_MATCH:-}" ]; then
  click_host 424 273
  match_runs "$host_wid"
  # Both players steer, each with the player-1 keys of their own window, until both
  # sides have printed the match's line.
  both_ended() { [ "$(grep -c '^network match' "$work/host.out" "$work/guest.out" | grep -c ':1')" = 2 ]; }
  for _ in $(seq 150); do
    both_ended && break
    for wid in "$host_wid" "$guest_wid"; do
      xdotool windowfocus --sync "$wid"
      xdotool keydown a; sleep 0.$((RANDOM % 5 + 1)); xdotool keyup a
      xdotool keydown z; sleep 0.$((RANDOM % 5 + 1)); xdotool keyup z
    done
  done
  both_ended || fail "the match did not end on both sides"
  xdotool windowfocus --sync "$host_wid"
  wait_until 10 window_still "$host_wid" host_result || fail "the host's result screen does not settle"
  wait_until 10 window_still "$guest_wid" guest_result || fail "the guest's result screen does not settle"
  h="$(sed 's/, largest.*//' "$work/host.out")"; g="$(sed 's/, largest.*//' "$work/guest.out")"
  [ -n "$h" ] && [ "$h" = "$g" ] || fail "the --verbose lines differ: '$h' / '$g'"
  [ "$(field_diff host_result guest_result)" = "0" ] || fail "the result screens differ"
  click_host 260 133  # RETRY
  match_runs "$host_wid"
else
  click_host 424 273  # OK (stage 1); both sides: waiting screen, Ready, Go
  match_runs "$host_wid"
fi
# The host's keys, held for their times (the test's input).
for _ in 1 2 3; do xdotool keydown a; sleep 0.4; xdotool keyup a; xdotool keydown z; sleep 0.4; xdotool keyup z; done
short_drop
shot "$host_wid" host_playing
shot "$guest_wid" guest_playing
xdotool key p
wait_until 5 window_still "$host_wid" host_paused || fail "the host goes on playing after P"
wait_until 5 window_still "$guest_wid" guest_paused || fail "the guest goes on playing after P"
[ "$(field_diff host_playing host_paused)" -gt 500 ] || fail "no PAUSE on the host"
[ "$(field_diff guest_playing guest_paused)" -gt 500 ] || fail "no PAUSE on the guest"
xdotool key s
wait_until 10 on_title "$host_wid" host_title || fail "S leaves the host away from the title"
wait_until 10 on_title "$guest_wid" guest_title || fail "S leaves the guest away from the title"
for side in host guest; do
  grep -q "^network match: frames " "$work/$side.out" || fail "no --verbose line from the $side"
  file="$(ls "$work/$side/data/voltrax/replays/"*_vs2p_*_incomplete.vxr 2>/dev/null | head -n1)"
  [ -n "$file" ] || fail "no replay from the $side"
  line="$("$work/voltrax" --verify-replay "$file")" || fail "the $side's replay does not verify: $line"
  echo "$side: $line"
  # The --verbose line of the stopped match names the hash its replay ends on.
  hash="$(sed -n 's/.* hash \([0-9a-f]*\) agrees.*/\1/p' <<<"$line")"
  grep "cut short" "$work/$side.out" | tail -n1 | grep -q "state hash $hash," ||
    fail "the $side's --verbose line and replay end apart"
done
# Esc on the host in the middle of a match: the guest is told and goes back to the title.
xdotool windowfocus --sync "$guest_wid" key Escape
wait_until 10 ended "$guest_pid" || fail "Esc did not end the guest's program"
xdotool windowfocus --sync "$host_wid" key Escape
wait_until 10 ended "$host_pid" || fail "Esc did not end the host's program"
wait "$host_pid" "$guest_pid" || fail "the programs did not end cleanly"
host_wid=""; mv "$work/guest.log" "$work/guest1.log"; mv "$work/host.log" "$work/host1.log"
lang=ja
connect
click_host 424 273
match_runs "$host_wid"
short_drop
if [ -n "${VOLTRAX_NET_LONG_DROP:-}" ]; then
  # 25 s away: the host gives up after 20 s, the guest hears why once it runs again.
  drop_guest 25 12
  for _ in $(seq 50); do grep -q "20 seconds" "$work/guest.log" && break; sleep 0.2; done
  grep -q "could not be reached for 20 seconds" "$work/host.log" || fail "the host did not give up"
  grep -q "could not be reached for 20 seconds" "$work/guest.log" || fail "the guest was not told"
  two_messages() { [ "$(xdotool search --onlyvisible --name '^VOLTRAX$' 2>/dev/null | wc -l)" -ge 2 ]; }
  wait_until 10 two_messages || fail "the end is not told in two message boxes"
  import -window root -crop 1110x420+0+0 +repage "$work/long_drop_end.png"  # both windows and messages
  for side in host guest; do
    file="$(ls "$work/$side/data/voltrax/replays/"*_incomplete.vxr | tail -n1)"
    "$work/voltrax" --verify-replay "$file" >/dev/null || fail "the $side's replay of the dropped match does not verify"
  done
  [ -n "${VOLTRAX_SHOTS:-}" ] && mkdir -p "$VOLTRAX_SHOTS" && cp "$work"/*drop*.png "$VOLTRAX_SHOTS/"
  echo "network windows: all checks passed (long drop)"
  exit 0
fi
xdotool key Escape
for _ in $(seq 40); do grep -q "has left" "$work/guest.log" && break; sleep 0.2; done
grep -q "The other player has left the network match." "$work/guest.log" || fail "the guest was not told"
wait_until 10 on_title "$guest_wid" guest_after_esc || fail "the guest is not back on the title"
if [ -n "${VOLTRAX_SHOTS:-}" ]; then
  mkdir -p "$VOLTRAX_SHOTS"
  cp "$work"/*_{waiting,playing,paused,title,result,esc}.png "$work"/*drop*.png "$VOLTRAX_SHOTS/" 2>/dev/null || true
fi
cat "$work/host.out" "$work/guest.out"
echo "network windows: all checks passed"
