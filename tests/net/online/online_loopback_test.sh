#!/usr/bin/env bash
# The online tier on loopback: a lobby (Prosody and coturn, started by server/run.sh as
# players' lobbies are) on 127.0.0.1, and two voltrax_online_probe programs that meet
# through it and play a whole match: by room code, through the relay alone, and by quick
# match. The first two matches are watched by their room code, by a real voltrax program
# and by a probe that takes the relay alone, and each watcher must end on the players'
# hash. Then two real voltrax programs (offscreen) meet by room code the way players
# start them (--make-room prints the code, --join-room takes it) and both connect; a
# program given a wrong code, a probe in a full room and a probe facing a stopped lobby
# each end in their message, as does a watcher given a wrong code. Every process started here is stopped by its id, every
# wait is bounded.
#   online_loopback_test.sh SOURCE_DIR PROBE PROGRAM_DIR
set -uo pipefail
src="$1" probe="$2" program_dir="$3"
source "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/probe_checks.sh"
for tool in prosody turnserver; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 0; }
done
work="$(mktemp -d)"
chmod 755 "$work"  # the servers run as nobody when started as root
pids=()
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }
xmpp=$(free_port) turn=$(free_port)
"$src/server/run.sh" --domain 127.0.0.1 --public-address 127.0.0.1 --data "$work/lobby" \
  --xmpp-port "$xmpp" --turn-port "$turn" --relay-ports 50000-50999 >"$work/lobby.out" 2>&1 &
lobby_pid=$!
pids+=("$lobby_pid")
for _ in $(seq 200); do grep -q "lobby ready" "$work/lobby.out" && break; sleep 0.1; done
grep -q "lobby ready" "$work/lobby.out" || { cat "$work/lobby.out"; echo "FAIL: the lobby did not start"; exit 1; }
lobby="127.0.0.1:$xmpp"

# probe NAME ARGS...: starts a probe in the background, output in $work/NAME.{out,err};
# on 127.0.0.1 alone unless PROBE_LOCAL is set (empty: every interface, as a program).
probe() {
  local name="$1"
  shift
  "$probe" --lobby "$lobby" ${PROBE_LOCAL---local-address 127.0.0.1} --timeout 90 "$@" \
    >"$work/$name.out" 2>"$work/$name.err" &
  pids+=("$!")
  eval "${name}_pid=$!"
}
# wait_room NAME: the code the maker printed.
wait_room() {
  for _ in $(seq 200); do
    grep -qs "^room " "$work/$1.out" && { sed -n 's/^room //p' "$work/$1.out"; return 0; }
    sleep 0.1
  done
  return 1
}
# program NAME ARGS...: the voltrax program on the offscreen platform with a program
# folder, lock, options and replays of its own; output in $work/NAME.{out,err}.
program() {
  local name="$1"
  shift
  mkdir -p "$work/$name/run" && chmod 700 "$work/$name/run"
  cp -r "$program_dir/dat" "$program_dir/design" "$program_dir/voltrax" "$program_dir/libvoltrax-online.so" "$work/$name/"
  rm -f "$work/$name/dat/Sysdata.rnd"
  QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy XDG_RUNTIME_DIR="$work/$name/run" \
    XDG_CONFIG_HOME="$work/$name/config" XDG_DATA_HOME="$work/$name/data" \
    "$work/$name/voltrax" --lobby "$lobby" "$@" >"$work/$name.out" 2>"$work/$name.err" &
  pids+=("$!")
  eval "${name}_pid=$!"
}
# wait_line FILE PATTERN [TENTHS]: PATTERN shows up in FILE within the time (60 s).
wait_line() {
  for _ in $(seq "${3:-600}"); do grep -qs "$2" "$1" && return 0; sleep 0.1; done
  return 1
}
# stop NAME: stops a program by its id.
stop() {
  kill "$(eval echo "\$${1}_pid")" 2>/dev/null
  wait "$(eval echo "\$${1}_pid")" 2>/dev/null
}
# ends_with NAME WORDS: the probe failed with those words.
ends_with() {
  local name="$1" words="$2"
  wait "$(eval echo "\$${name}_pid")" && fail "$name: succeeded, expected '$words'"
  grep -qF "$words" "$work/$name.err" || fail "$name: said '$(cat "$work/$name.err")', expected '$words'"
  echo "$name: $(cat "$work/$name.err")"
}

echo "-- a room by code and through the relay alone, each watched by its code"
# A watched match takes one of the game's time limits. The program watching (in its
# window; the relayed one headless, as a probe) offers
# every address of this machine, so the players it watches do too.
PROBE_LOCAL= probe maker --make-room --seed 3 --time-limit 60 --timeout 150
code=$(wait_room maker) || fail "no room code"
program watcher --watch-room "$code" --verbose
PROBE_LOCAL= probe joiner --join-room "$(echo "$code" | tr 'A-Z' 'a-z')" --seed 4 --time-limit 60 --timeout 150
probe rmaker --make-room --relay-only --seed 5 --time-limit 60 --timeout 150
rcode=$(wait_room rmaker) || fail "no room code"
probe rjoiner --join-room "$rcode" --relay-only --seed 6 --time-limit 60 --timeout 150
probe rwatcher --watch-room "$rcode" --relay-only --timeout 150
agree maker joiner lan
agree rmaker rjoiner relay
watched watcher maker lan window
watched rwatcher rmaker relay

echo "-- quick match"
probe quick1 --quick-match --seed 7
sleep 1
probe quick2 --quick-match --seed 8
agree quick1 quick2 lan

echo "-- two programs by room code"
program pmaker --make-room --verbose
wait_room pmaker >/dev/null || fail "the program printed no room code: $(cat "$work/pmaker.err")"
code=$(sed -n 's/^room //p' "$work/pmaker.out")
program pjoiner --join-room "$code" --verbose
for side in pmaker pjoiner; do
  wait_line "$work/$side.out" "^path=" || fail "$side: not connected: $(tail -3 "$work/$side.err")"
  grep -qx "path=lan" "$work/$side.out" || fail "$side: not path=lan: $(cat "$work/$side.out")"
done
echo "programs: $(grep -h "^path=" "$work/pmaker.out" "$work/pjoiner.out" | tr '\n' ' ')"
stop pjoiner
stop pmaker

echo "-- a wrong code, a full room, a stopped lobby"
program wrong --join-room 23456Z
wait_line "$work/wrong.err" "No room has that code." 300 || fail "wrong: said '$(cat "$work/wrong.err")'"
kill -0 "$wrong_pid" 2>/dev/null || fail "wrong: the program ended instead of staying on its title"
stop wrong
echo "wrong: $(grep "No room" "$work/wrong.err")"
program wwatcher --watch-room 23456Z --headless
ends_with wwatcher "No room has that code."
probe full1 --make-room --seed 9 --time-limit 20
code=$(wait_room full1) || fail "no room code"
probe full2 --join-room "$code" --seed 10 --time-limit 20
sleep 3
probe full3 --join-room "$code" --timeout 20
ends_with full3 "That room already has its two players."
wait "$full1_pid" "$full2_pid" 2>/dev/null
kill "$lobby_pid"
wait "$lobby_pid" 2>/dev/null
probe stopped --make-room --timeout 20
ends_with stopped "The lobby cannot be reached."

# Nothing this test started is left running.
sleep 0.5
left=$(pgrep -f "$work" || true)
[ -z "$left" ] || fail "processes left: $left"
[ "$failures" -eq 0 ] && echo "PASS" || { echo "$failures failures"; exit 1; }
