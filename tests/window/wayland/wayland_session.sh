# Sourced by the Wayland tier after xvfb_session.sh (which makes $work, the private program
# copy and the Xvfb display the reference pictures come from): weston on its headless
# back-end, the game on Qt's wayland platform, screenshots, and finding the 512 x 342
# picture in a screenshot of a whole output. Every process started here is stopped by
# its id on exit. A compositor that cannot start skips the test (exit 77) with the reason.

wayland_pids=()
wayland_cleanup() {
  local pid
  for pid in "${wayland_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${wayland_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
}
trap 'wayland_cleanup; cleanup' EXIT
skip() { echo "SKIP: $*"; exit 77; }

# start_weston NAME SCALE WIDTH HEIGHT: weston (an output of WIDTH x HEIGHT logical pixels, times
# SCALE device pixels) with its desktop shell, pixman rendering and
# the screenshooter open to clients (--debug); on its headless back-end, or on the one
# WESTON_BACKEND names (x11-backend.so: a window of the test's X display, taking its keys
# and pointer). Sets weston_runtime to its runtime folder.
start_weston() {
  local name="$1" scale="$2" width="$3" height="$4"
  command -v weston >/dev/null || skip "weston is not installed"
  weston_runtime="$work/weston-$name"
  mkdir -p "$weston_runtime" && chmod 700 "$weston_runtime"
  # No panel: nothing on the desktop a stray click could start (its corner starts a terminal).
  printf '[shell]\npanel-position=none\nlocking=false\n' >"$work/weston.ini"
  XDG_RUNTIME_DIR="$weston_runtime" weston --backend="${WESTON_BACKEND:-headless-backend.so}" --use-pixman \
    --socket="$name" --width="$width" --height="$height" --scale="$scale" --idle-time=0 --debug \
    --config="$work/weston.ini" >"$work/weston-$name.log" 2>&1 &
  wayland_pids+=($!)
  wait_until 10 test -S "$weston_runtime/$name" ||
    { cat "$work/weston-$name.log" >&2; skip "weston opened no socket in 10 s"; }
}

# start_wayland_game RUNTIME DISPLAY LOG ARGS...: the game on Qt's wayland platform, with
# options of its own: in full screen (WAYLAND_WINDOWED unset), so the picture's place
# follows from the output's size alone, or in a window. Sets wayland_game_pid.
start_wayland_game() {
  local runtime="$1" display="$2" log="$3"
  shift 3
  mkdir -p "$work/wayland-config/voltrax"
  if [ -z "${WAYLAND_WINDOWED:-}" ]; then
    printf '[window]\nfullScreen=true\n' >"$work/wayland-config/voltrax/voltrax.ini"
  else
    printf '[window]\nfullScreen=false\n' >"$work/wayland-config/voltrax/voltrax.ini"
  fi
  XDG_CONFIG_HOME="$work/wayland-config" XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY="$display" QT_QPA_PLATFORM=wayland \
    "$work/voltrax" "$@" >"$log" 2>&1 &
  wayland_game_pid=$!
  wayland_pids+=("$wayland_game_pid")
}

# weston_shot NAME OUT: a screenshot of weston NAME's whole output into $work/OUT.png.
weston_shot() {
  local dir="$work/shooter-$1"
  mkdir -p "$dir"
  rm -f "$dir"/*.png
  (cd "$dir" && XDG_RUNTIME_DIR="$work/weston-$1" WAYLAND_DISPLAY="$1" weston-screenshooter >/dev/null 2>&1) ||
    fail "weston-screenshooter failed"
  mv "$(ls "$dir"/*.png | head -n1)" "$work/$2.png"
}

# x_picture NAME: the picture of the game's X window (xvfb_session.sh) cut out of a fresh
# shot: the reference the Wayland pictures are held to.
x_picture() { shot "$1"; convert "$work/$1.png" -crop "512x342+0+$menu" +repage "$work/$1.png"; }

# full_screen_place SHOT SCALE: "X Y" of the picture's top left in a shot of the game in
# full screen: centred on the output.
full_screen_place() {
  local w h
  read -r w h < <(identify -format '%w %h\n' "$work/$1.png")
  echo "$(( (w - 512 * $2) / 2 )) $(( (h - 342 * $2) / 2 ))"
}

# picture_place SHOT SCALE: "X Y" of the picture's top left in a shot of a window that
# fills the output: centred across, and below the menu bar centred in what is left.
# The first black pixel down the middle column ends the menu bar.
picture_place() {
  local shot="$work/$1.png" scale="$2" w h top
  read -r w h < <(identify -format '%w %h\n' "$shot")
  top="$(convert "$shot" -crop "1x${h}+$(( w / 2 ))+0" +repage -depth 8 txt:- |
    awk -F'[,: ]+' '/#000000/ { print $2; exit }')"
  [ -n "$top" ] || fail "$1: no black border below the menu bar"
  echo "$(( (w - 512 * scale) / 2 )) $(( top + (h - top - 342 * scale) / 2 ))"
}

# crop_picture SHOT SCALE X Y OUT: the picture cut out of a shot and brought to 512 x 342
# by taking one device pixel of each block (no smoothing).
crop_picture() {
  convert "$work/$1.png" -crop "$(( 512 * $2 ))x$(( 342 * $2 ))+$3+$4" +repage -sample 512x342! "$work/$5.png"
}

# Pixels that differ between two of the test's pictures.
same_picture() { [ "$(pixels_differ "$work/$1.png" "$work/$2.png")" = "0" ]; }

# On a failure the pictures taken so far are kept in VOLTRAX_SHOTS, when given.
fail() {
  echo "FAIL: $*" >&2
  cat "$work/log" >&2 2>/dev/null || true
  if [ -n "${VOLTRAX_SHOTS:-}" ]; then mkdir -p "$VOLTRAX_SHOTS/failed" && cp "$work"/*.png "$VOLTRAX_SHOTS/failed/" 2>/dev/null; fi
  exit 1
}

# The waits below take pictures from a SOURCE: a function that writes the picture it sees
# now to $work/<its argument>.png.

# differs_from SOURCE NAME BEFORE: takes SOURCE's picture as NAME; it differs from BEFORE.
differs_from() { "$1" "$2" && ! same_picture "$2" "$3"; }
# same_as SOURCE NAME REFERENCE: takes SOURCE's picture as NAME; it equals REFERENCE.
same_as() { "$1" "$2" && same_picture "$2" "$3"; }

# play_begun SOURCE NAME: one try of wait_for_play; takes SOURCE's picture as NAME and counts
# how many pictures in a row differed from the one before.
play_begun() {
  "$1" "$2" || return 1
  if [ "$(compare -metric AE \( "$work/$2.png" -crop 512x12+0+0 +repage \) \( "$work/dat/battle" -crop 512x12+0+0 +repage \) null: 2>&1 || true)" != "0" ]; then
    play_changes=0  # not yet the field: the fade from the screen before changes every frame
    rm -f "$work/$2-before.png"
    return 1
  fi
  if [ -f "$work/$2-before.png" ] && ! same_picture "$2" "$2-before"; then
    play_changes=$(( play_changes + 1 ))
  else
    play_changes=0
  fi
  mv "$work/$2.png" "$work/$2-before.png"
  [ "$play_changes" -ge 4 ]
}
# wait_for_play SECONDS SOURCE NAME: waits until the match SOURCE shows is being played, past
# its intro: four pictures in a row of the field (the match's panel fully shown: the fade
# into it is over) each differ from the one before. The intro changes the picture three
# times ("Ready", "Go!", the clean table), with still stretches between, and takes no pause
# or key; only frames of play change it a fourth time running. The last picture is kept as
# NAME.
wait_for_play() {
  local limit="$1"
  shift
  play_changes=0
  rm -f "$work/$2-before.png"
  wait_until "$limit" play_begun "$@" || return 1
  mv "$work/$2-before.png" "$work/$2.png"
}

# stands_still SOURCE NAME: one try of wait_until_still_for_a_second; takes SOURCE's picture
# as NAME; true once it equals every picture taken over at least 1.1 s before it.
stands_still() {
  local now="${EPOCHREALTIME/./}"
  "$1" "$2" || return 1
  if [ -f "$work/$2-since.png" ] && same_picture "$2" "$2-since"; then
    (( now - still_since_us >= 1100000 ))
    return
  fi
  cp "$work/$2.png" "$work/$2-since.png"
  still_since_us="$now"
  return 1
}
# wait_until_still_for_a_second SECONDS SOURCE NAME: waits until SOURCE's picture stays the
# same for more than a second: a running match changes at least its clock in that time, so
# this is a paused match (or a screen at rest). The last picture is kept as NAME.
wait_until_still_for_a_second() {
  local limit="$1"
  shift
  rm -f "$work/$2-since.png"
  wait_until "$limit" stands_still "$@"
}

# same_result A B: two results agree: the same scores, clock, paddles and pucks. The band
# across the middle of the field (rows 115 to 224) is left out: it holds the end's words
# ("TIME UP", "YOU LOSE") or the result's buttons, one after the other over the same last
# frame, and a busy machine's polls may see a different one of them last on each side.
same_result() {
  local part
  for part in 512x115+0+0 512x117+0+225; do
    [ "$(compare -metric AE \( "$work/$1.png" -crop "$part" +repage \) \( "$work/$2.png" -crop "$part" +repage \) null: 2>&1 || true)" = "0" ] ||
      return 1
  done
}
# Where the replays are watched from (--start-at): 40 s of match time in, so that the last
# 20 s of play are drawn and the result is reached within 25 s. Every compositor and Xvfb
# start at the same frame, so their results agree as the whole match's would.
replay_start=40

# replay_result SOURCE: polls SOURCE 0.2 s apart (at most 1200 times, within 240 s) until it
# shows the title again after a replay, and keeps as $work/SOURCE-result.png the last
# picture that agreed with the poll's before it (same_result) before that: the match's end.
# Its last frame stands for about 3 s under "TIME UP", "YOU LOSE" and the buttons, long
# enough for two polls of a slow screenshot; goal pauses before it are overwritten by it,
# and the fades to the title change every frame. The title to look for is
# $work/x-title.png. False when it never got there.
replay_result() {
  local src="$1" started polls=0
  started=$(date +%s)
  rm -f "$work/$src-result.png" "$work/$src-was.png"
  while [ $(( $(date +%s) - started )) -lt 240 ] && [ $(( polls += 1 )) -le 1200 ]; do
    sleep 0.2
    "$src" "$src-now" 2>/dev/null || continue
    if same_picture "$src-now" x-title; then
      [ -f "$work/$src-result.png" ] && return 0
    elif [ -f "$work/$src-was.png" ] && same_result "$src-now" "$src-was"; then
      cp "$work/$src-now.png" "$work/$src-result.png"
      [ -f "$work/$src-now-full.png" ] && cp "$work/$src-now-full.png" "$work/$src-result-full.png"
    fi
    mv "$work/$src-now.png" "$work/$src-was.png"
  done
  echo "$src: $(( polls - 1 )) polls in $(( $(date +%s) - started )) s, the last picture kept as $src-was.png" >&2
  return 1
}
# replay_results SOURCE...: replay_result of every source at once, each in a process of its
# own, so that one source's slow screenshots never space out another's polls.
# A poller that failed stops the others (not yet waited for, so their ids are still theirs).
replay_results() {
  local src other
  local -A polling=()
  for src in "$@"; do
    replay_result "$src" &
    polling[$src]=$!
  done
  for src in "$@"; do
    wait "${polling[$src]}" && { unset "polling[$src]"; continue; }
    unset "polling[$src]"
    for other in "${!polling[@]}"; do kill "${polling[$other]}" 2>/dev/null || true; wait "${polling[$other]}" 2>/dev/null || true; done
    fail "$src: the replay never reached its result and the title in 240 s"
  done
}
