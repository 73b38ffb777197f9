# Builds small internets in network namespaces for the online-play tests: an internet side
# (203.0.113.0/24, where the lobby and the relay live), home routers that do NAT with
# nftables, and homes behind them (192.0.2.0/24 behind router a, 198.51.100.0/24 behind
# router b). Nothing here has a route out of its namespaces. Sourced, not run; needs root.
#
#   vx_net_up ID               the internet side alone (namespace "<ID>i", server 203.0.113.1)
#   vx_net_router ID R MODE    router R (a or b) on the internet side at 203.0.113.2/.3, doing
#                              NAT: MODE "cone" keeps one public port per home port (holes
#                              punch), "symmetric" picks a new port for every destination
#   vx_net_home ID R N         home N behind router R; prints the home's namespace name
#   vx_net_loss ID R PERCENT   the router drops PERCENT % of what it forwards
#   vx_net_down ID             removes every namespace of ID
#   vx_ns ID NAME              the namespace name of a part ("i", "ra", "ha1", ...)
#   vx_lobby_up NS ADDRESS DIR the lobby (server/run.sh) in namespace NS; vx_lobby_down

vx_ns() { echo "$1$2"; }

vx_net_up() {
  local id="$1" ns
  ns="$(vx_ns "$id" i)"
  ip netns add "$ns"
  ip -n "$ns" link set lo up
  ip -n "$ns" link add br0 type bridge
  ip -n "$ns" addr add 203.0.113.1/24 dev br0
  ip -n "$ns" link set br0 up
  # A relay on the internet has a default route: what it sends towards a home's private
  # address is lost on the way, not refused at once. Without one, coturn's send to such a
  # peer (a home candidate the other side tries) fails with "network unreachable" and
  # coturn closes that player's whole allocation. The default route here ends in a veth
  # pair whose both ends stay in this namespace (no ARP, no forwarding), which drops
  # everything: still no route out of the namespaces.
  ip -n "$ns" link add void type veth peer name void2
  ip -n "$ns" link set void arp off up
  ip -n "$ns" link set void2 up
  ip -n "$ns" route add default dev void
}

vx_net_router() {
  local id="$1" r="$2" mode="$3" inet rt wan
  inet="$(vx_ns "$id" i)"
  rt="$(vx_ns "$id" "r$r")"
  case "$r" in a) wan=203.0.113.2 ;; b) wan=203.0.113.3 ;; *) return 1 ;; esac
  ip netns add "$rt"
  ip -n "$rt" link set lo up
  ip link add "vx${id}w$r" netns "$inet" type veth peer name wan netns "$rt"
  ip -n "$inet" link set "vx${id}w$r" master br0 up
  ip -n "$rt" addr add "$wan/24" dev wan
  ip -n "$rt" link set wan up
  ip -n "$rt" link add lan type bridge
  ip -n "$rt" addr add "$(vx_lan_prefix "$r").1/24" dev lan
  ip -n "$rt" link set lan up
  ip netns exec "$rt" sysctl -qw net.ipv4.ip_forward=1
  local how="masquerade"
  [ "$mode" = symmetric ] && how="masquerade fully-random"
  ip netns exec "$rt" nft -f - <<NFT
table ip nat {
  chain postrouting { type nat hook postrouting priority 100; oifname "wan" $how; }
}
table inet home {
  # Nothing new comes in from the internet side: an unsolicited packet to the router
  # would otherwise leave a connection entry that takes the port a home's hole needs.
  chain input {
    type filter hook input priority 0; policy accept;
    iifname "wan" ct state new drop
  }
  chain forward {
    type filter hook forward priority 0; policy drop;
    ct state established,related accept
    iifname "lan" accept
  }
}
NFT
}

vx_lan_prefix() { case "$1" in a) echo 192.0.2 ;; b) echo 198.51.100 ;; esac; }

vx_net_home() {
  local id="$1" r="$2" n="$3" rt home
  rt="$(vx_ns "$id" "r$r")"
  home="$(vx_ns "$id" "h$r$n")"
  ip netns add "$home"
  ip -n "$home" link set lo up
  ip link add "vx${id}l$r$n" netns "$rt" type veth peer name eth0 netns "$home"
  ip -n "$rt" link set "vx${id}l$r$n" master lan up
  ip -n "$home" addr add "$(vx_lan_prefix "$r").$((9 + n))/24" dev eth0
  ip -n "$home" link set eth0 up
  ip -n "$home" route add default via "$(vx_lan_prefix "$r").1"
  echo "$home"
}

vx_net_loss() {
  local id="$1" r="$2" percent="$3"
  ip netns exec "$(vx_ns "$id" "r$r")" nft -f - <<NFT
table inet loss {
  chain forward { type filter hook forward priority -10; numgen random mod 100 < $percent drop; }
}
NFT
}

vx_net_down() {
  local id="$1" ns
  for ns in $(ip netns list | awk '{print $1}' | grep "^$id"); do
    ip netns pids "$ns" 2>/dev/null | xargs -r kill 2>/dev/null || true
    ip netns del "$ns" 2>/dev/null || true
  done
}

vx_server_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../../server" && pwd)"

# vx_lobby_up NS ADDRESS DIR: the lobby and relay (server/run.sh) in namespace NS, serving
# ADDRESS, its data in DIR and its output in DIR.out; its pid in VX_LOBBY_PID as soon as it
# runs. Waits at most 20 s for "lobby ready"; false, with its output, when it did not come.
vx_lobby_up() {
  ip netns exec "$1" "$vx_server_dir/run.sh" --domain "$2" --public-address "$2" --data "$3" \
    --relay-ports 50000-50999 >"$3.out" 2>&1 &
  VX_LOBBY_PID=$!
  for _ in $(seq 200); do grep -qs "lobby ready" "$3.out" && return 0; sleep 0.1; done
  echo "the lobby did not start: $(cat "$3.out")" >&2
  return 1
}
# Stops VX_LOBBY_PID, at most 5 s: Prosody can hang in its shutdown when players' sessions
# were closing as it got the signal ("mod_c2s.lua: attempt to call a nil value (method
# 'close')"); then its servers, run.sh's children, are killed by their ids.
vx_lobby_down() {
  local p
  kill "$VX_LOBBY_PID" 2>/dev/null
  for _ in $(seq 50); do kill -0 "$VX_LOBBY_PID" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$VX_LOBBY_PID" 2>/dev/null; then
    for p in $(ps -o pid= --ppid "$VX_LOBBY_PID"); do kill -KILL "$p" 2>/dev/null; done
  fi
  wait "$VX_LOBBY_PID" 2>/dev/null
  return 0
}

# vx_net_upnp ID R DIR: miniupnpd on router R (UPnP IGD and NAT-PMP for its homes) with its
# nftables chains; its pid in VX_UPNP_PID, its log in DIR/upnp-R.log.
vx_net_upnp() {
  local id="$1" r="$2" dir="$3" rt
  rt="$(vx_ns "$id" "r$r")"
  ip netns exec "$rt" nft -f - <<NFT
table inet filter {
  chain forward { type filter hook forward priority -5; policy accept; jump miniupnpd; }
  chain miniupnpd { }
  chain prerouting_miniupnpd { }
  chain postrouting_miniupnpd { }
  chain prerouting { type nat hook prerouting priority -100; policy accept; jump prerouting_miniupnpd; }
  chain postrouting { type nat hook postrouting priority 99; policy accept; jump postrouting_miniupnpd; }
}
NFT
  # miniupnpd's STUN check also asks the relay to answer from its other port (3479), which
  # is new traffic to the router itself: let those answers in.
  ip netns exec "$rt" nft insert rule inet home input iifname wan ip saddr 203.0.113.1 udp sport 3479 accept
  # What miniupnpd forwards to a home (its own rules rewrite the address) may pass.
  ip netns exec "$rt" nft insert rule inet home forward ct status dnat accept
  cat >"$dir/upnp-$r.conf" <<CONF
ext_ifname=wan
# The router's own address (from a documentation range) counts as private to miniupnpd,
# which then refuses to forward ports; with STUN against the lobby's relay it learns that
# this address is what the internet side sees, with ports kept, and forwards after all.
ext_perform_stun=yes
ext_stun_host=203.0.113.1
ext_stun_port=3478
listening_ip=lan
enable_natpmp=yes
enable_upnp=yes
secure_mode=yes
system_uptime=yes
uuid=3b4c5d6e-0000-4000-8000-00000000000$([ "$r" = a ] && echo 1 || echo 2)
allow 1024-65535 0.0.0.0/0 1024-65535
deny 0-65535 0.0.0.0/0 0-65535
CONF
  ip netns exec "$rt" miniupnpd -d -f "$dir/upnp-$r.conf" -P "$dir/upnp-$r.pid" >"$dir/upnp-$r.log" 2>&1 &
  VX_UPNP_PID=$!
}
