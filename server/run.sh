#!/usr/bin/env bash
# Runs a VOLTRAX lobby in the foreground: Prosody (anonymous logins, the rooms, TURN
# credentials) and coturn (the relay), from the configuration beside this script, with a
# fresh shared secret written into both runtime copies in the data folder.
#
#   server/run.sh --domain NAME --public-address ADDRESS [--data DIR]
#                 [--xmpp-port N] [--turn-port N] [--relay-ports MIN-MAX]
#                 [--certs DIR] [--log-level LEVEL]
#
# --public-address is where players reach the relay (handed out with the credentials);
# a loopback address also keeps both servers on loopback and lets the relay talk to
# loopback peers (the tests). --certs names a folder of Prosody certificates (NAME.crt,
# NAME.key): then clients must use TLS; without it the lobby speaks plain XMPP.
# Prints "lobby ready xmpp=HOST:PORT turn=HOST:PORT" once both listen. Ctrl-C or SIGTERM
# stops both; if either ends, the other is stopped too. Started as root, the servers run
# as nobody.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
domain="" public="" data="" xmpp_port=5222 turn_port=3478 relay_ports="49152-65535"
certs="" log_level="warn"
usage() { sed -n '6,9p' "$0" | sed 's/^# *//' >&2; exit 2; }
while [ $# -gt 0 ]; do
  case "$1" in
    --domain) domain="$2"; shift 2 ;;
    --public-address) public="$2"; shift 2 ;;
    --data) data="$2"; shift 2 ;;
    --xmpp-port) xmpp_port="$2"; shift 2 ;;
    --turn-port) turn_port="$2"; shift 2 ;;
    --relay-ports) relay_ports="$2"; shift 2 ;;
    --certs) certs="$2"; shift 2 ;;
    --log-level) log_level="$2"; shift 2 ;;
    -h|--help) usage ;;
    *) echo "run.sh: unknown option $1" >&2; usage ;;
  esac
done
[ -n "$domain" ] && [ -n "$public" ] || usage
[[ "$domain" =~ ^[A-Za-z0-9.-]+$ ]] || { echo "run.sh: bad domain $domain" >&2; exit 2; }
[[ "$public" =~ ^[0-9A-Fa-f.:]+$|^[A-Za-z0-9.-]+$ ]] || { echo "run.sh: bad address $public" >&2; exit 2; }
for p in "$xmpp_port" "$turn_port"; do
  [[ "$p" =~ ^[0-9]+$ ]] && [ "$p" -ge 1 ] && [ "$p" -le 65535 ] || { echo "run.sh: bad port $p" >&2; exit 2; }
done
[[ "$relay_ports" =~ ^([0-9]+)-([0-9]+)$ ]] || { echo "run.sh: bad relay ports $relay_ports" >&2; exit 2; }
relay_min="${BASH_REMATCH[1]}" relay_max="${BASH_REMATCH[2]}"
for tool in prosody turnserver; do
  command -v "$tool" >/dev/null || { echo "run.sh: $tool is not installed" >&2; exit 3; }
done

made_data=""
if [ -z "$data" ]; then
  data="$(mktemp -d "${TMPDIR:-/tmp}/voltrax-lobby.XXXXXX")"
  made_data=1
fi
mkdir -p "$data/prosody"
data="$(cd "$data" && pwd)"

# Loopback: both servers stay on loopback (the tests, a lobby for this machine only).
case "$public" in
  127.*|::1|localhost) loopback=1; probe="$public" ;;
  *) loopback="" ; probe=127.0.0.1 ;;
esac
[ "$public" = localhost ] && probe=127.0.0.1
if [ -n "$loopback" ]; then
  interfaces="\"$probe\""
  listening_ip="listening-ip=$probe"
  extra="allow-loopback-peers"
else
  interfaces='"*", "::"'
  listening_ip=""
  extra=""
  # Anyone in the lobby gets relay credentials, so a relay on a public address must not
  # carry their packets into the private networks around it (its operator's own LAN).
  # A lobby on a private address serves that LAN and keeps it reachable.
  case "$public" in
    10.*|192.168.*|172.1[6-9].*|172.2[0-9].*|172.3[01].*|100.6[4-9].*|100.[7-9][0-9].*|100.1[01][0-9].*|100.12[0-7].*|169.254.*|f[cd]*|fe[89ab]*) ;;
    *) for range in 0.0.0.0-0.255.255.255 10.0.0.0-10.255.255.255 100.64.0.0-100.127.255.255 \
         169.254.0.0-169.254.255.255 172.16.0.0-172.31.255.255 192.168.0.0-192.168.255.255 \
         fc00::-fdff:ffff:ffff:ffff:ffff:ffff:ffff:ffff fe80::-febf:ffff:ffff:ffff:ffff:ffff:ffff:ffff; do
         extra="${extra}denied-peer-ip=$range\\n"
       done ;;
  esac
fi
if [ -n "$certs" ]; then
  tls_module='"tls"; -- STARTTLS, and clients must use it'
  tls_settings="certificates = \"$(cd "$certs" && pwd)\"
c2s_require_encryption = true"
else
  mkdir -p "$data/certs"
  tls_module='-- no "tls": without certificates STARTTLS could only fail'
  tls_settings="certificates = \"$data/certs\"
c2s_require_encryption = false"
fi

# A fresh secret each run: credentials of an earlier run stop working with it.
secret="$(head -c 32 /dev/urandom | od -An -tx1 | tr -d ' \n')"
fill() {
  sed -e "s|@DOMAIN@|$domain|g" -e "s|@PUBLIC_ADDRESS@|$public|g" -e "s|@DATA@|$data|g" \
      -e "s|@XMPP_PORT@|$xmpp_port|g" -e "s|@TURN_PORT@|$turn_port|g" \
      -e "s|@RELAY_MIN_PORT@|$relay_min|g" -e "s|@RELAY_MAX_PORT@|$relay_max|g" \
      -e "s|@SECRET@|$secret|g" -e "s|@LOG_LEVEL@|$log_level|g" \
      -e "s|@INTERFACES@|$interfaces|g" -e "s|@LISTENING_IP@|$listening_ip|g" \
      -e "s|@EXTRA@|$extra|g" -e "s|@TLS_MODULE@|$tls_module|g" "$1"
}
umask 077
fill "$here/prosody.cfg.lua" | awk -v tls="$tls_settings" '{ if ($0 == "@TLS_SETTINGS@") print tls; else print }' \
  >"$data/prosody.cfg.lua"
fill "$here/turnserver.conf" >"$data/turnserver.conf"

as_user=()
if [ "$(id -u)" -eq 0 ]; then
  chown -R nobody:nogroup "$data"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
fi

prosody_pid="" turn_pid=""
# Each server is asked to stop and given 5 s; one still running then (Prosody can hang in
# its shutdown after clients went away) is killed, so stopping never waits forever.
stop_server() {
  local pid="$1"
  [ -n "$pid" ] || return 0
  kill "$pid" 2>/dev/null || return 0
  for _ in $(seq 1 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    echo "run.sh: server $pid did not stop within 5 s; killing it" >&2
    kill -KILL "$pid" 2>/dev/null || true
  fi
  wait "$pid" 2>/dev/null || true
}
stop() {
  stop_server "$prosody_pid"
  stop_server "$turn_pid"
  [ -n "$made_data" ] && rm -rf "$data"
  return 0
}
trap 'stop; exit 0' INT TERM
trap 'stop' EXIT

"${as_user[@]}" prosody -F --config "$data/prosody.cfg.lua" &
prosody_pid=$!
"${as_user[@]}" turnserver -c "$data/turnserver.conf" 1>&2 &
turn_pid=$!

listening() { (exec 3<>"/dev/tcp/$probe/$1") 2>/dev/null; }
for _ in $(seq 1 200); do
  kill -0 "$prosody_pid" 2>/dev/null || { echo "run.sh: prosody ended" >&2; exit 1; }
  kill -0 "$turn_pid" 2>/dev/null || { echo "run.sh: turnserver ended" >&2; exit 1; }
  if listening "$xmpp_port" && listening "$turn_port"; then
    show() { case "$1" in *:*) echo "[$1]:$2" ;; *) echo "$1:$2" ;; esac; }
    echo "lobby ready xmpp=$(show "$public" "$xmpp_port") turn=$(show "$public" "$turn_port") data=$data"
    wait -n "$prosody_pid" "$turn_pid" || true
    echo "run.sh: a server ended; stopping the other" >&2
    exit 1
  fi
  sleep 0.1
done
echo "run.sh: the servers did not listen within 20 s" >&2
exit 1
