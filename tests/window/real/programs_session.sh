# Sourced after xvfb_session.sh by the real-window tests that run several programs on one
# display (host, guest, watchers): each side started with its own folders and language,
# shots of one window, and waits on what a window shows. The sourcing script sets $lang
# (en or ja) and $menu once it knows the windows' size.

# start SIDE ARGS...: the program as SIDE with its own lock, options and replays folder,
# in $lang; sets SIDE_pid; its output goes to $work/SIDE.out and $work/SIDE.log.
start() {
  local side="$1"; shift
  mkdir -p "$work/$side/run" "$work/$side/config/voltrax" && chmod 700 "$work/$side/run"
  # Keys go to one window at a time, so the others must not pause when they lose the focus.
  printf '[play]\npauseOnFocusLoss=false\n' >"$work/$side/config/voltrax/voltrax.ini"
  local locale=C.UTF-8; [ "$lang" = ja ] && locale=ja_JP.UTF-8
  LC_ALL="$locale" LANG="$locale" LANGUAGE="$lang" XDG_RUNTIME_DIR="$work/$side/run" XDG_CONFIG_HOME="$work/$side/config" \
    XDG_DATA_HOME="$work/$side/data" "$work/voltrax" "$@" >>"$work/$side.out" 2>"$work/$side.log" &
  eval "${side}_pid=$!"
}
shot() { import -window "$1" "$work/$2.png"; }
# area_diff SHOT_A SHOT_B X Y W H: pixels that differ between two shots in an area of the picture.
area_diff() {
  local crop="${5}x${6}+${3}+$(($4 + menu))" n
  n="$(compare -metric AE \( "$work/$1.png" -crop "$crop" +repage \) \( "$work/$2.png" -crop "$crop" +repage \) null: 2>&1 || true)"
  echo "${n%% *}"
}
# Pixels that differ between two shots in the field (the table under the panel).
field_diff() { area_diff "$1" "$2" 66 61 380 200; }
# window_shows WID SHOT REF X Y W H: takes SHOT of window WID; true when its area equals REF's.
window_shows() { shot "$1" "$2" && [ "$(differ "${@:2}")" = "0" ]; }
# window_still WID SHOT: two shots 0.5 s apart, SHOT-a and SHOT (kept), show the same field
# (the network line's figures below it change on their own).
window_still() { shot "$1" "$2-a" && sleep 0.5 && shot "$1" "$2" && [ "$(field_diff "$2-a" "$2")" = "0" ]; }
# playing WID: three shots a quarter second apart, each field unlike the one before: the
# match runs (the intro's Ready and Go stand still for longer than that).
playing() {
  shot "$1" play_a && sleep 0.25 && shot "$1" play_b && sleep 0.25 && shot "$1" play_c &&
    [ "$(field_diff play_a play_b)" -gt 0 ] && [ "$(field_diff play_b play_c)" -gt 0 ]
}
# match_runs WID: the battle picture is on WID, then play goes on in it.
match_runs() {
  wait_until 20 window_shows "$1" match_shown "$work/dat/battle" 0 0 512 12 || fail "no match in window $1"
  wait_until 10 playing "$1" || fail "the match in window $1 does not play"
}
# on_title WID SHOT: takes SHOT; the floor of the title picture shows, below the buttons and
# any message box.
on_title() {
  shot "$1" "$2" && [ "$(compare -metric AE \( "$work/$2.png" -crop "300x30+0+$((menu + 305))" +repage \) \
    \( "$work/dat/OP" -crop 300x30+0+305 +repage \) null: 2>&1 || true)" = "0" ]
}
ended() { ! kill -0 "$1" 2>/dev/null; }
