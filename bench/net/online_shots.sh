#!/usr/bin/env bash
# Pictures of online play as a player sees it, from the real program under Xvfb, for a
# look by eye (nothing is compared):
#   - the online dialog in Japanese and in English: a room made (its code shown), a game
#     heard on this network, a code typed to join, quick match waiting, a wrong code and
#     a stopped lobby; the programs and the lobby (server/run.sh on 127.0.0.1) run in a
#     network namespace of their own whose one network (192.0.2.10/24) is a veth pair with
#     both ends inside it, so the games' announcements stay inside it;
#   - a relayed match in play: the namespace tier's routers (netns_topology.sh), the guest
#     behind the NAT that picks a port per destination, so that only the relay gets
#     through; each window's title (which names the path) is written above its picture,
#     as Xvfb has no window manager to draw it.
# Xvfb runs outside the namespaces; the programs reach it by its socket file. Every process
# is stopped by its id, every wait bounded, the namespaces removed at the end. Needs root.
#   bench/net/online_shots.sh OUTPUT_DIR
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
out="${1:?output folder}"
[ "$(id -u)" -eq 0 ] || { echo "online_shots: network namespaces need root"; exit 1; }
mkdir -p "$out"
out="$(cd "$out" && pwd)"
source "$root/tests/net/online/netns_topology.sh"

work="$(mktemp -d)"
chmod 755 "$work"
id="s$$"
ns="vxd$$"  # the dialog's namespace
pids=()
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
  vx_net_down "$id"
  ip netns del "$ns" 2>/dev/null
  if [ -n "${VOLTRAX_SHOTS_KEEP:-}" ]; then echo "output kept in $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM
say() { echo "online_shots: $*"; }

cp -r "$root/build/dat" "$root/build/design" "$root/build/voltrax" "$work/"
rm -f "$work/dat/Sysdata.rnd"
exec 5>"$work/display"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
pids+=("$!")
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
unset QT_QPA_PLATFORM LC_ALL LANGUAGE
export SDL_AUDIODRIVER=dummy

# start NS NAME LANGUAGE ARGS...: the program in namespace NS with folders of its own;
# its pid in NAME_pid, its output in $work/NAME.{out,log}.
start() {
  local where="$1" name="$2" lang="$3" locale=ja_JP.UTF-8
  shift 3
  [ "$lang" = en ] && locale=en_US.UTF-8
  rm -rf "$work/$name"
  mkdir -p "$work/$name/run" "$work/$name/config/voltrax" && chmod 700 "$work/$name/run"
  # The lobby for the dialog comes from the options file: --lobby alone does not reach the
  # dialog's field (only --make-room, --join-room and --quick-match use it).
  printf '[play]\npauseOnFocusLoss=false\n[Online]\nLobby=127.0.0.1:5222\n' >"$work/$name/config/voltrax/voltrax.ini"
  ip netns exec "$where" env LANG="$locale" XDG_RUNTIME_DIR="$work/$name/run" \
    XDG_CONFIG_HOME="$work/$name/config" XDG_DATA_HOME="$work/$name/data" \
    "$work/voltrax" "$@" >"$work/$name.out" 2>"$work/$name.log" &
  pids+=("$!")
  eval "${name}_pid=$!"
}
stop() {
  local p
  p="$(eval echo "\${${1}_pid:-}")"
  [ -n "$p" ] && { kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; }
  return 0
}
# titled_now PID PATTERN: the visible window of process PID whose title matches (bash's
# regular expressions: xdotool's own --name does not match Japanese titles).
titled_now() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
    [[ "$(xdotool getwindowname "$w" 2>/dev/null)" =~ $2 ]] && { echo "$w"; return 0; }
  done
  return 1
}
# window NAME PATTERN: the visible window of NAME's program whose title matches, within 20 s.
window() {
  local p w
  p="$(eval echo "\$${1}_pid")"
  for _ in $(seq 100); do
    w="$(titled_now "$p" "$2")" && { echo "$w"; return 0; }
    sleep 0.2
  done
  say "no window '$2' of $1: $(tail -3 "$work/$1.log")" >&2
  return 1
}
# wait_for FILE PATTERN [TENTHS]: PATTERN shows up in FILE in time (20 s).
wait_for() {
  for _ in $(seq "${3:-200}"); do grep -qs "$2" "$1" && return 0; sleep 0.1; done
  return 1
}
# dialog NAME LANGUAGE X Y: moves NAME's main window to X, Y (apart from the other
# program's, whose dialog would cover it), opens Game > Play online there; prints the dialog.
dialog() {
  local main title='^オンライン対戦$'
  [ "$2" = en ] && title='^Play online$'
  main="$(window "$1" '^VOLTRAX VER')" || return 1
  xdotool windowmove "$main" "$3" "$4"
  xdotool windowfocus --sync "$main"
  sleep 0.5
  xdotool key alt+g
  sleep 0.5
  xdotool key o
  local d
  d="$(window "$1" "$title")" || return 1
  xdotool windowfocus --sync "$d"
  sleep 0.3
  echo "$d"
}
cjk_font=/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf  # the title may be Japanese
picture() { import -window "$1" "$out/$2.png" && say "$2.png"; }
# titled WINDOW... NAME: the windows side by side, each under a line with its title.
titled() {
  local name="${*: -1}" parts=() w i=0
  for w in "${@:1:$#-1}"; do
    import -window "$w" "$work/part$i.png"
    convert "$work/part$i.png" -background '#dcdcdc' -fill black -font "$cjk_font" -pointsize 13 \
      -gravity north -splice 0x22 -annotate +0+4 "window title: $(xdotool getwindowname "$w")" "$work/titled$i.png"
    parts+=("$work/titled$i.png")
    i=$((i + 1))
  done
  convert "${parts[@]}" -background white -splice 8x0 +append "$out/$name.png" && say "$name.png"
}

# battle_shown WINDOW MENU: the top of the match's field picture is in the window.
battle_shown() {
  import -window "$1" "$work/now.png"
  [ "$(compare -metric AE \( "$work/now.png" -crop "512x12+0+$2" +repage \) \( "$work/dat/battle" -crop 512x12+0+0 +repage \) null: 2>&1)" = "0" ]
}
lobby_up() {  # lobby_up NS ADDRESS TAG
  local up=0
  vx_lobby_up "$1" "$2" "$work/lobby-$3" || up=1
  pids+=("$VX_LOBBY_PID")
  return "$up"
}
lobby_down() { vx_lobby_down; }

# The dialog's namespace: loopback for the lobby, and for the games' broadcasts a veth
# pair with both ends inside (what leaves by it is dropped at the other end; the kernel
# hands local listeners a copy).
ip netns add "$ns"
ip -n "$ns" link set lo up
ip -n "$ns" link add v0 type veth peer name v1
ip -n "$ns" addr add 192.0.2.10/24 dev v0
ip -n "$ns" link set v0 up
ip -n "$ns" link set v1 up

dialogs() {
  local lang="$1" da db code
  say "-- the dialog ($lang)"
  lobby_up "$ns" 127.0.0.1 "$lang" || return 1
  start "$ns" maker "$lang" --lobby 127.0.0.1:5222
  da="$(dialog maker "$lang" 0 0)" || return 1
  picture "$da" "dialog-$lang-1-opened-with-lobby"
  xdotool key alt+m
  wait_for "$work/maker.out" "^room " || { say "no room made: $(tail -3 "$work/maker.log")"; return 1; }
  code="$(sed -n 's/^room //p' "$work/maker.out" | head -n1)"
  sleep 1
  picture "$da" "dialog-$lang-2-room-made-code-shown"

  start "$ns" joiner "$lang" --lobby 127.0.0.1:5222
  db="$(dialog joiner "$lang" 640 420)" || return 1
  sleep 2.5  # the maker announces its room once a second
  picture "$db" "dialog-$lang-3-lan-list-room-heard"
  xdotool key alt+r
  xdotool type --delay 80 "$(echo "$code" | tr 'A-Z' 'a-z')"
  sleep 0.5
  picture "$db" "dialog-$lang-4-join-code-typed"
  xdotool key Return
  local mw jw
  for _ in $(seq 100); do
    mw="$(titled_now "$maker_pid" ' — ')"
    jw="$(titled_now "$joiner_pid" ' — ')"
    [ -n "$mw" ] && [ -n "$jw" ] && break
    sleep 0.2
  done
  if [ -n "$mw" ] && [ -n "$jw" ]; then
    sleep 2
    titled "$mw" "$jw" "dialog-$lang-5-joined-host-stage-select-guest-waiting"
  else
    say "the join did not connect: $(tail -3 "$work/joiner.log")"
  fi
  stop joiner
  stop maker

  start "$ns" quick "$lang" --lobby 127.0.0.1:5222
  da="$(dialog quick "$lang" 0 0)" || return 1
  xdotool key alt+q
  sleep 3
  picture "$da" "dialog-$lang-6-quick-match-waiting"
  xdotool key Escape  # gives the quick match up and closes
  sleep 1
  da="$(dialog quick "$lang" 0 0)" || return 1
  xdotool key alt+r
  xdotool type --delay 80 "23456Z"
  xdotool key alt+j
  sleep 4
  picture "$da" "dialog-$lang-7-failure-wrong-code"
  lobby_down
  xdotool key alt+m
  sleep 4
  picture "$da" "dialog-$lang-8-failure-lobby-stopped"
  stop quick
}

relayed() {
  local lang="$1" code hw gw
  say "-- a relayed match ($lang)"
  vx_net_up "$id"
  vx_net_router "$id" a cone
  vx_net_router "$id" b symmetric
  local ha hb
  ha=$(vx_net_home "$id" a 1) hb=$(vx_net_home "$id" b 1)
  lobby_up "$(vx_ns "$id" i)" 203.0.113.1 "relay-$lang" || return 1
  start "$ha" rhost "$lang" --lobby 203.0.113.1:5222 --make-room --verbose
  wait_for "$work/rhost.out" "^room " || { say "no room: $(tail -3 "$work/rhost.log")"; return 1; }
  code="$(sed -n 's/^room //p' "$work/rhost.out" | head -n1)"
  start "$hb" rguest "$lang" --lobby 203.0.113.1:5222 --join-room "$code" --verbose
  wait_for "$work/rhost.out" "^path=" 600 && wait_for "$work/rguest.out" "^path=" 600 ||
    { say "not connected: $(tail -3 "$work/rhost.log") / $(tail -3 "$work/rguest.log")"; return 1; }
  say "paths: $(grep -h '^path=' "$work/rhost.out" "$work/rguest.out" | tr '\n' ' ')"
  hw="$(window rhost ' — ')" gw="$(window rguest ' — ')" || return 1
  xdotool windowmove "$gw" 0 0
  xdotool windowmove "$hw" 640 420
  eval "$(xdotool getwindowgeometry --shell "$hw")"
  local menu=$((HEIGHT - 342))
  xdotool windowfocus --sync "$hw"
  sleep 3  # the host's stage select fades in
  titled "$hw" "relay-$lang-1-host-stage-select"
  # OK on the stage select, again if the first click came during its fade-in.
  for _ in 1 2 3; do
    xdotool mousemove --window "$hw" 424 $((273 + menu)) click 1
    for _ in $(seq 10); do battle_shown "$hw" "$menu" && break 2; sleep 0.5; done
  done
  # Both players steer a little, each from its own window.
  for _ in 1 2 3; do
    xdotool windowfocus --sync "$hw"; xdotool keydown a; sleep 0.5; xdotool keyup a
    xdotool windowfocus --sync "$gw"; xdotool keydown z; sleep 0.5; xdotool keyup z
  done
  titled "$gw" "$hw" "relay-$lang-2-match-in-play-guest-and-host"
  sleep 5
  titled "$gw" "$hw" "relay-$lang-3-match-in-play-later"
  stop rguest
  stop rhost
  lobby_down
  vx_net_down "$id"
}

for lang in ${VOLTRAX_SHOTS_LANGUAGES-ja en}; do dialogs "$lang"; done
for lang in ${VOLTRAX_SHOTS_RELAY_LANGUAGES-en ja}; do relayed "$lang"; done
ls "$out"
