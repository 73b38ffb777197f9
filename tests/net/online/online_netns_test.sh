#!/usr/bin/env bash
# The online tier through routers: network namespaces for the internet side (the lobby
# and relay at 203.0.113.1), home routers doing NAT with nftables, and homes behind them
# (netns_topology.sh). Each case plays a whole short match between two
# voltrax_online_probe programs and checks that both sides agree and the path taken:
#   both homes behind ordinary NAT          punched
#   one home behind a NAT that picks a new
#     port for every destination            relay
#   both homes behind one router            lan
#   a router with miniupnpd, the guest
#     joining the host's public address     mapped
#   3 % loss on both routers, 80 ms delay   punched, and the match still agrees
#   a watcher by room code from a third
#     home, all behind ordinary NAT         punched, on the players' hash
# Needs root (namespaces); prints why and skips otherwise. Nothing here has a route out of
# its namespaces; every process is stopped by its id, every wait bounded.
#   online_netns_test.sh SOURCE_DIR PROBE
set -uo pipefail
src="$1" probe="$2"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
[ "$(id -u)" -eq 0 ] || { echo "SKIP: network namespaces need root"; exit 0; }
for tool in prosody turnserver nft ip; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 0; }
done
ip netns add "vxprobe$$" 2>/dev/null || { echo "SKIP: cannot make network namespaces here"; exit 0; }
ip netns del "vxprobe$$"
source "$here/netns_topology.sh"
source "$here/probe_checks.sh"

work="$(mktemp -d)"
chmod 755 "$work"
id="v$$"
pids=()
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
  vx_net_down "$id"
  # VOLTRAX_NETNS_KEEP=1 keeps the probes' and servers' output for a look afterwards.
  if [ -n "${VOLTRAX_NETNS_KEEP:-}" ]; then echo "output kept in $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# in NS NAME ARGS...: a probe in namespace NS, in the background.
in_ns() {
  local ns="$1" name="$2"
  shift 2
  ip netns exec "$ns" "$probe" --timeout 90 "$@" >"$work/$name.out" 2>"$work/$name.err" &
  pids+=("$!")
  eval "${name}_pid=$!"
}
wait_line() {  # wait_line NAME PATTERN: the first match of the pattern in NAME's output
  for _ in $(seq 300); do
    grep -q "$2" "$work/$1.out" && { grep -o "$2.*" "$work/$1.out" | head -1; return 0; }
    sleep 0.1
  done
  return 1
}

# A world: the internet side with the lobby, router a and b in the modes given.
world() {
  vx_net_down "$id"
  vx_net_up "$id"
  vx_net_router "$id" a "$1"
  vx_net_router "$id" b "$2"
  local up=0
  vx_lobby_up "$(vx_ns "$id" i)" 203.0.113.1 "$work/lobby-$3" || up=1
  pids+=("$VX_LOBBY_PID")
  [ "$up" = 0 ] || { fail "the lobby did not start"; return 1; }
}
end_world() { vx_lobby_down; }
lobby=203.0.113.1:5222

# room CASE NS_A NS_B PATH [PROBE ARGS...]: a room made in NS_A, joined from NS_B.
room() {
  local case="$1" a="$2" b="$3" path="$4" code
  shift 4
  in_ns "$a" "${case}_m" --lobby "$lobby" --make-room --seed 3 "$@"
  code=$(wait_line "${case}_m" "^room " | sed 's/^room //') || { fail "$case: no room code: $(cat "$work/${case}_m.err")"; return; }
  in_ns "$b" "${case}_j" --lobby "$lobby" --join-room "$code" --seed 4 "$@"
  agree "${case}_m" "${case}_j" "$path"
}

case_punched() {
  echo "-- both homes behind ordinary NAT"
  world cone cone 1 || return
  local ha hb
  ha=$(vx_net_home "$id" a 1) hb=$(vx_net_home "$id" b 1)
  room punched "$ha" "$hb" punched
  end_world
}
case_relay() {
  echo "-- one home behind a NAT that picks a new port for every destination"
  world cone symmetric 2 || return
  local ha hb
  ha=$(vx_net_home "$id" a 1) hb=$(vx_net_home "$id" b 1)
  room relay "$ha" "$hb" relay
  end_world
}
case_lan() {
  echo "-- both homes behind one router"
  world cone cone 3 || return
  local ha ha2
  ha=$(vx_net_home "$id" a 1) ha2=$(vx_net_home "$id" a 2)
  room lan "$ha" "$ha2" lan
  end_world
}
case_lossy() {
  echo "-- 3 % loss on both routers and 80 ms of delay"
  world cone cone 4 || return
  local ha hb
  ha=$(vx_net_home "$id" a 1) hb=$(vx_net_home "$id" b 1)
  vx_net_loss "$id" a 3
  vx_net_loss "$id" b 3
  # Lost connectivity checks can let the relayed pair win the race: what must hold is the
  # match, whichever way it goes.
  VOLTRAX_NETSIM="delay=80" room lossy "$ha" "$hb" "punched|relay" --time-limit 20
  end_world
}
case_mapped() {
  echo "-- a router with miniupnpd, the guest joining the host's public address"
  command -v miniupnpd >/dev/null || { echo "SKIP (this case): miniupnpd is not installed"; return; }
  world cone cone 5 || return
  local ha hb public
  ha=$(vx_net_home "$id" a 1) hb=$(vx_net_home "$id" b 1)
  vx_net_upnp "$id" a "$work" && pids+=("$VX_UPNP_PID")
  # miniupnpd answers only after its STUN check (a few seconds).
  for _ in $(seq 150); do grep -qs "Listening for NAT-PMP" "$work/upnp-a.log" && break; sleep 0.1; done
  in_ns "$ha" mapped_h --host 47150 --seed 3
  public=$(wait_line mapped_h "^public " | sed 's/^public //') || fail "mapped: no public address: $(cat "$work/mapped_h.err")"
  in_ns "$hb" mapped_j --join "${public:-203.0.113.2:47150}" --seed 4
  agree mapped_h mapped_j mapped direct
  end_world
}

case_watched() {
  echo "-- a match watched by its room code from a third home, all behind ordinary NAT"
  world cone cone 6 || return
  local ha hb hw code
  ha=$(vx_net_home "$id" a 1) hb=$(vx_net_home "$id" b 1) hw=$(vx_net_home "$id" b 2)
  # A watched match takes one of the game's time limits.
  in_ns "$ha" watched_m --lobby "$lobby" --make-room --seed 3 --time-limit 60 --timeout 150
  code=$(wait_line watched_m "^room " | sed 's/^room //') || { fail "watched: no room code"; return; }
  in_ns "$hw" watched_w --lobby "$lobby" --watch-room "$code" --timeout 150
  in_ns "$hb" watched_j --lobby "$lobby" --join-room "$code" --seed 4 --time-limit 60 --timeout 150
  agree watched_m watched_j punched
  watched watched_w watched_m punched
  end_world
}

# VOLTRAX_NETNS_CASES chooses cases by name (all by default).
for c in ${VOLTRAX_NETNS_CASES:-punched relay lan lossy mapped watched}; do "case_$c"; done

[ "$failures" -eq 0 ] && echo "PASS" || { echo "$failures failures"; exit 1; }
