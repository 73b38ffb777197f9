#!/usr/bin/env bash
# Figures for online play through routers, in network namespaces built by the namespace
# tier's own functions (tests/net/online/netns_topology.sh: the lobby and relay at
# 203.0.113.1, NAT routers and homes in the documentation ranges, no route out):
#   - per path (lan, punched, mapped, relay): the time from the guest's start (its
#     --join-room, or --join for mapped) to the first frame of the match on the guest's
#     side, as the guest probe measures it on its monotonic clock; RUNS runs each, median;
#   - one relayed match of MATCH_S seconds: the bytes through coturn (nftables counters on
#     the relay's UDP ports in the internet namespace: what it takes in and sends out, IP
#     headers included), per second of play, and coturn's CPU;
#   - the CPU of each probe over its match's wall time (user + system, every thread), for
#     that relayed match and for a punched one of the same length.
# Every process started here is stopped by its id, every wait is bounded, and the
# namespaces are removed at the end, on failure too. Needs root.
#
#   bench/net/online_bench.sh [RUNS] [MATCH_S]        (3 and 60 by default)
#   VOLTRAX_BENCH_KEEP=1 keeps the probes' and servers' output.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
runs="${1:-3}" match_s="${2:-60}"
[ "$(id -u)" -eq 0 ] || { echo "online_bench: network namespaces need root"; exit 1; }
for tool in prosody turnserver nft ip miniupnpd; do
  command -v "$tool" >/dev/null || { echo "online_bench: $tool is not installed"; exit 1; }
done
ninja -C "$root/build" voltrax_online_probe >/dev/null || exit 1
probe="$root/build/tests/net/online/voltrax_online_probe"
source "$root/tests/net/online/netns_topology.sh"

work="$(mktemp -d)"
chmod 755 "$work"  # the servers run as nobody
id="b$$"
pids=()
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
  vx_net_down "$id"
  if [ -n "${VOLTRAX_BENCH_KEEP:-}" ]; then echo "output kept in $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# in_ns NS NAME ARGS...: a probe in namespace NS in the background; its pid in NAME_pid.
in_ns() {
  local ns="$1" name="$2"
  shift 2
  ip netns exec "$ns" "$probe" --timeout $((match_s + 90)) --figures "$@" >"$work/$name.out" 2>"$work/$name.err" &
  pids+=("$!")
  eval "${name}_pid=$!"
}
# wait_line NAME PATTERN: what follows the pattern in NAME's output, within 30 s.
wait_line() {
  for _ in $(seq 300); do
    grep -qs "$2" "$work/$1.out" && { sed -n "s/$2//p" "$work/$1.out" | head -1; return 0; }
    sleep 0.1
  done
  return 1
}
# stop_probe NAME: stops the probe by its id (after a failure of the other side).
stop_probe() {
  local p
  p="$(eval echo "\${${1}_pid:-}")"
  [ -n "$p" ] && { kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; }
  return 0
}
# finish NAME: waits for the probe; false (with its error) when it failed.
finish() {
  wait "$(eval echo "\$${1}_pid")" && return 0
  echo "  $1 failed: $(cat "$work/$1.err")" >&2
  return 1
}

# world MODE_A MODE_B TAG: a fresh internet side with the lobby, routers a and b.
world() {
  vx_net_down "$id"
  vx_net_up "$id"
  vx_net_router "$id" a "$1"
  vx_net_router "$id" b "$2"
  local up=0
  vx_lobby_up "$(vx_ns "$id" i)" 203.0.113.1 "$work/lobby-$3" || up=1
  pids+=("$VX_LOBBY_PID")
  return "$up"
}
end_world() { vx_lobby_down; }
lobby=203.0.113.1:5222

# One match on a path; TAG names the output files. Sets guest (the guest's name).
match_on() {
  local path="$1" tag="$2" limit="$3" a b public code
  case "$path" in
    lan) world cone cone "$tag" || return 1 ;;
    punched | mapped) world cone cone "$tag" || return 1 ;;
    relay) world cone symmetric "$tag" || return 1 ;;
  esac
  a=$(vx_net_home "$id" a 1)
  if [ "$path" = lan ]; then b=$(vx_net_home "$id" a 2); else b=$(vx_net_home "$id" b 1); fi
  [ "$path" = relay ] && count_relay
  guest="${tag}_g"
  if [ "$path" = mapped ]; then
    rm -f "$work/upnp-a.log"
    vx_net_upnp "$id" a "$work" && pids+=("$VX_UPNP_PID")
    for _ in $(seq 150); do grep -qs "Listening for NAT-PMP" "$work/upnp-a.log" && break; sleep 0.1; done
    in_ns "$a" "${tag}_h" --host 47150 --seed 3 --time-limit "$limit"
    public=$(wait_line "${tag}_h" "^public ") || { echo "  no public address: $(cat "$work/${tag}_h.err")" >&2; return 1; }
    in_ns "$b" "$guest" --join "$public" --seed 4 --time-limit "$limit"
  else
    in_ns "$a" "${tag}_h" --lobby "$lobby" --make-room --seed 3 --time-limit "$limit"
    code=$(wait_line "${tag}_h" "^room ") || { echo "  no room code: $(cat "$work/${tag}_h.err")" >&2; return 1; }
    in_ns "$b" "$guest" --lobby "$lobby" --join-room "$code" --seed 4 --time-limit "$limit"
  fi
  if [ "$path" = relay ]; then
    # The relay's counters and CPU at the guest's first frame and when its match is over
    # (its lines come as they happen; read within a tenth of a second).
    coturn_cpu_before=0 coturn_cpu_after=0 taken_before=0 sent_before=0 taken_after=0 sent_after=0
    if wait_line "$guest" "^first frame after " >/dev/null; then
      coturn_cpu_before=$(coturn_cpu_ticks) taken_before=$(relay_bytes taken) sent_before=$(relay_bytes sent)
      for _ in $(seq $((limit * 10 + 600))); do
        grep -q "^match cpu" "$work/$guest.out" && break
        kill -0 "$(eval echo "\$${guest}_pid")" 2>/dev/null || break
        sleep 0.1
      done
      coturn_cpu_after=$(coturn_cpu_ticks) taken_after=$(relay_bytes taken) sent_after=$(relay_bytes sent)
    fi
  fi
  finish "$guest" && finish "${tag}_h" || { stop_probe "${tag}_h"; stop_probe "$guest"; return 1; }
  local hg hh
  hg=$(grep -o "state hash [0-9a-f]*" "$work/$guest.out") hh=$(grep -o "state hash [0-9a-f]*" "$work/${tag}_h.out")
  [ -n "$hg" ] && [ "$hg" = "$hh" ] || { echo "  $tag: the hashes differ" >&2; return 1; }
  [ "$path" = mapped ] && [ "${VX_UPNP_PID:-}" ] && { kill "$VX_UPNP_PID" 2>/dev/null; wait "$VX_UPNP_PID" 2>/dev/null; }
  return 0
}

# nftables counters on coturn's ports (3478 and the relay ports) in the internet namespace.
count_relay() {
  ip netns exec "$(vx_ns "$id" i)" nft -f - <<NFT
table inet relaycount {
  counter taken { }
  counter sent { }
  chain input { type filter hook input priority 0; policy accept; udp dport { 3478, 50000-50999 } counter name taken; }
  chain output { type filter hook output priority 0; policy accept; udp sport { 3478, 50000-50999 } counter name sent; }
}
NFT
}
relay_bytes() {  # relay_bytes taken|sent
  ip netns exec "$(vx_ns "$id" i)" nft list counter inet relaycount "$1" | sed -n 's/.*bytes \([0-9]*\).*/\1/p'
}
relay_packets() {
  ip netns exec "$(vx_ns "$id" i)" nft list counter inet relaycount "$1" | sed -n 's/.*packets \([0-9]*\).*/\1/p'
}
# coturn's user + system CPU in clock ticks (/proc/PID/stat, fields 14 and 15).
coturn_cpu_ticks() {
  local p
  for p in $(ip netns pids "$(vx_ns "$id" i)"); do
    [ "$(cat "/proc/$p/comm" 2>/dev/null)" = turnserver ] && { awk '{print $14 + $15}' "/proc/$p/stat"; return; }
  done
  echo 0
}
median() { sort -n | awk '{a[NR] = $1} END {if (NR == 0) print "-"; else if (NR % 2) print a[(NR + 1) / 2]; else print (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }
field() { sed -n "s/^$2 after \([0-9]*\) ms$/\1/p" "$work/$1.out"; }  # field NAME connected|first frame
cpu_pct() { sed -n 's/^match cpu .*(\(.*\) % of a core)$/\1/p' "$work/$1.out"; }
cpu_wall() { sed -n 's/^match cpu \([0-9]*\) ms over \([0-9]*\) ms wall.*/\1 \2/p' "$work/$1.out"; }

echo "online_bench: $runs runs per path, ${match_s}-second matches for traffic and CPU; load: $(uptime | sed 's/.*load average: //')"
echo
echo "Join to first frame on the guest (ms from the guest's start; 10-second matches):"
printf '%-8s %-26s %-8s %-26s %-8s %-26s %s\n' path "first frame, each run" median "connected, each run" median \
  "in the room, each run" median
for path in lan punched mapped relay; do
  firsts=() connects=() rooms=()
  for run in $(seq "$runs"); do
    if match_on "$path" "t_${path}_$run" 10; then
      firsts+=("$(field "$guest" "first frame")") connects+=("$(field "$guest" connected)")
      [ "$path" = mapped ] || rooms+=("$(field "$guest" "finding path")")
      grep -q "path=$path\$\|path=direct\$" "$work/$guest.out" || echo "  note: $path run $run went $(grep -o 'path=[a-z]*$' "$work/$guest.out" | tail -1)"
    fi
    end_world
  done
  printf '%-8s %-26s %-8s %-26s %-8s %-26s %s\n' "$path" "${firsts[*]:--}" "$(printf '%s\n' "${firsts[@]}" | median)" \
    "${connects[*]:--}" "$(printf '%s\n' "${connects[@]}" | median)" "${rooms[*]:--}" "$(printf '%s\n' "${rooms[@]}" | median)"
done

echo
echo "A relayed ${match_s}-second match (guest behind the NAT that picks a port per destination):"
if match_on relay "long_relay" "$match_s"; then
  read -r gcpu gwall < <(cpu_wall long_relay_g)
  read -r hcpu hwall < <(cpu_wall long_relay_h)
  taken=$(relay_bytes taken) sent=$(relay_bytes sent)
  ticks=$((coturn_cpu_after - coturn_cpu_before)) hz=$(getconf CLK_TCK)
  echo "  path: $(grep -o 'path=[a-z]*$' "$work/long_relay_g.out" | tail -1); $(sed -n 's/ path=.*//p' "$work/long_relay_g.out" | grep "state hash" | head -1)"
  echo "  whole session (login to leave): relay took $taken bytes in $(relay_packets taken) packets, sent $sent bytes in $(relay_packets sent) packets"
  awk -v t="$((taken_after - taken_before))" -v s="$((sent_after - sent_before))" -v w="$gwall" 'BEGIN {
    printf "  the match (guest'"'"'s first frame to its end, %.1f s): %d bytes in, %d out; %.0f B/s in, %.0f B/s out, %.0f B/s both\n",
      w / 1000, t, s, t * 1000 / w, s * 1000 / w, (t + s) * 1000 / w }'
  echo "  payload: guest $(sed -n 's/^match bytes //p' "$work/long_relay_g.out"), host $(sed -n 's/^match bytes //p' "$work/long_relay_h.out")"
  awk -v k="$ticks" -v hz="$hz" -v w="$gwall" 'BEGIN { printf "  coturn CPU: %d ms over the match (%.2f %% of a core)\n", k * 1000 / hz, k * 100000 / hz / w }'
  echo "  CPU host: $hcpu ms over $hwall ms ($(cpu_pct long_relay_h) % of a core); guest: $gcpu ms over $gwall ms ($(cpu_pct long_relay_g) % of a core)"
fi
end_world

echo
echo "A punched ${match_s}-second match, for comparison:"
if match_on punched "long_punched" "$match_s"; then
  read -r gcpu gwall < <(cpu_wall long_punched_g)
  read -r hcpu hwall < <(cpu_wall long_punched_h)
  echo "  path: $(grep -o 'path=[a-z]*$' "$work/long_punched_g.out" | tail -1)"
  echo "  payload: guest $(sed -n 's/^match bytes //p' "$work/long_punched_g.out"), host $(sed -n 's/^match bytes //p' "$work/long_punched_h.out")"
  echo "  CPU host: $hcpu ms over $hwall ms ($(cpu_pct long_punched_h) % of a core); guest: $gcpu ms over $gwall ms ($(cpu_pct long_punched_g) % of a core)"
fi
end_world
echo
echo "load after: $(uptime | sed 's/.*load average: //')"
