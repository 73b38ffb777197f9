# Sourced by the Wayland tier: the game played as a player would on a compositor that runs
# as a window of the test's Xvfb display (its X11 back-end), so that xdotool's real key
# codes and pointer reach the game through the compositor, as a keyboard and mouse would.
# Needs xvfb_session.sh and wayland_session.sh, $work/x-title.png (the title under X11)
# and $find_picture (voltrax_find_picture).

# wayland_tour NAME SHOOT PID: the compositor already runs and shows the game (process
# PID), windowed, on an 800 x 600 output in a window of the X screen; SHOOT OUT writes a
# screenshot of the whole output to $work/OUT.png. Screenshots of every step are kept as
# $work/NAME-<step>.png, and with VOLTRAX_SHOTS=dir the main ones there. Ends with Esc
# ending the program.
wayland_tour() {
  local name="$1" shoot="$2" pid="$3" place="" px py
  tour_shot() { "$shoot" "$name-$1"; }
  # The picture cut out of a fresh screenshot.
  tour_picture() { tour_shot "$1" && convert "$work/$name-$1.png" -crop "512x342+$px+$py" +repage "$work/$name-$1-pict.png"; }
  # Clicks, then parks the pointer in the output's corner, out of every picture taken.
  # Output coordinates on the X screen: the compositor's window (800 x 600) sits where the
  # X server put it.
  local ox oy
  read -r ox oy < <(LC_ALL=C xwininfo -root -children | awk '/ 800x600\+/ { split($NF, a, "+"); print a[2], a[3]; exit }')
  [ -n "$ox" ] || fail "$name: the compositor's window is not on the X screen"
  park() { xdotool mousemove $(( ox + 799 )) $(( oy + 599 )); }
  # The compositor hears of the move before the press.
  tour_click() {
    xdotool mousemove $(( ox + px + $1 )) $(( oy + py + $2 ))
    sleep 0.2
    xdotool click 1
    sleep 0.1
    park
  }
  tour_strip() { convert "$work/$name-$1-pict.png" -crop "14x300+$2+40" +repage "$work/$name-$1-strip$2.png"; }
  moved() { [ "$(pixels_differ "$work/$name-$1-strip$3.png" "$work/$name-$2-strip$3.png")" != "0" ]; }
  still() { # two pictures a moment apart are the same: nothing moves
    tour_picture "$1-a"; sleep 0.7; tour_picture "$1-b"
    [ "$(pixels_differ "$work/$name-$1-a-pict.png" "$work/$name-$1-b-pict.png")" = "0" ]
  }
  menu_bar_shown() { # the top row of the output is not black: the menu bar is there
    [ "$(convert "$work/$name-$1.png" -crop 200x1+300+2 +repage -format '%[fx:maxima.r+maxima.g+maxima.b]' info:)" != "0" ]
  }

  for _ in $(seq 40); do
    sleep 0.25
    tour_shot title || continue
    place="$("$find_picture" "$work/$name-title.png" "$work/x-title.png")" && break
  done
  [ -n "$place" ] || fail "$name: the title is not on screen"
  read -r px py <<<"$place"
  # Into the compositor's window from outside, so that it takes the pointer (and the keys
  # go to the X window under the pointer: the compositor's).
  xdotool mousemove $(( ox + 1000 )) $(( oy + 800 )); sleep 0.3
  park; sleep 0.3

  # 1P VS 2P, the first stage, then both players' keys: player 2's are found by their
  # place on the keyboard (key codes 35 and 61, "]" and "/" on a US layout).
  # The first click may only give the window the focus: click until the stage select shows.
  for _ in 1 2 3; do
    tour_click 255 220
    sleep 1.5
    tour_picture select
    [ "$(pixels_differ "$work/$name-select-pict.png" "$work/x-title.png")" != "0" ] && break
  done
  tour_click 424 273
  # steer KEY BACK STRIP: holds KEY until the paddles in the strip at x STRIP move, at most
  # five tries (the intro may still run under load); between tries BACK moves them away
  # from a limit they may have reached.
  steer() {
    local tries
    for tries in 1 2 3 4 5; do
      tour_picture "$1-before"
      xdotool keydown "$1"; sleep 0.4; xdotool keyup "$1"
      tour_picture "$1-moved"
      tour_strip "$1-before" "$3"; tour_strip "$1-moved" "$3"
      moved "$1-before" "$1-moved" "$3" && return 0
      xdotool keydown "$2"; sleep 0.6; xdotool keyup "$2"
    done
    fail "$name: $1 moved no paddle in the strip at x $3"
  }
  sleep 3
  steer a z 70
  steer z a 70
  steer bracketright slash 428  # player 2's keys by their place: key codes 35 and 61
  steer slash bracketright 428
  xdotool key p; sleep 0.5
  still paused || fail "$name: P did not pause the match"
  echo "$name: 1P VS 2P started with the mouse; A, Z and the keys at the places of ] and / steer; P pauses"

  # The about box takes the focus: the match pauses by itself and stays paused after it.
  xdotool key r; sleep 0.5
  xdotool key alt+h; sleep 0.5; xdotool key v; sleep 2
  tour_shot about
  tour_click 5 335  # the main window again: the about box closes
  sleep 0.8
  still focus-lost || fail "$name: losing the focus to the about box did not pause the match"
  echo "$name: the about box shows and losing the focus pauses the match"

  # Full screen: no menu bar, the picture at the largest whole multiple; Alt and F10 show it.
  xdotool key F11; sleep 1
  tour_shot full
  menu_bar_shown full && fail "$name: full screen still shows the menu bar"
  "$find_picture" "$work/$name-full.png" "$work/$name-focus-lost-b-pict.png" >/dev/null ||
    fail "$name: the paused match is not on the full screen"
  xdotool keydown alt; sleep 0.6
  tour_shot full-alt
  xdotool keyup alt; sleep 0.3
  menu_bar_shown full-alt || fail "$name: holding Alt did not show the menu bar in full screen"
  xdotool key F10; sleep 0.6
  tour_shot full-f10
  menu_bar_shown full-f10 || fail "$name: F10 did not show the menu bar in full screen"
  xdotool key Escape Escape; sleep 0.3
  xdotool key F11; sleep 1
  echo "$name: full screen hides the menu bar; Alt and F10 show it"

  # The menus and the help window.
  xdotool key alt+g; sleep 0.6
  tour_shot menu-game
  xdotool key Escape Escape; sleep 0.3
  xdotool key alt+h; sleep 0.4; xdotool key h; sleep 1.5
  tour_shot help
  xdotool key alt+x; sleep 0.8  # the help window's 終了(&X)
  tour_click 5 335  # a compositor need not give the focus back to the main window: a click does
  sleep 0.5

  # Stop the paused match, then the replay file dialog and the network dialog.
  xdotool key s; sleep 2.5
  tour_picture stopped
  [ "$(pixels_differ "$work/$name-stopped-pict.png" "$work/x-title.png")" = "0" ] ||
    fail "$name: S did not stop the paused match to the title"
  # Each dialog is a window of its own over the title: the output differs while it is open.
  for dialog in w:replay-dialog n:net-dialog; do
    xdotool key alt+g; sleep 0.4; xdotool key "${dialog%%:*}"; sleep 1.5
    tour_shot "${dialog#*:}"
    xdotool key Escape; sleep 0.6
    tour_click 5 335; sleep 0.5
    tour_shot "${dialog#*:}-closed"
    [ "$(pixels_differ "$work/$name-${dialog#*:}.png" "$work/$name-${dialog#*:}-closed.png")" != "0" ] ||
      fail "$name: ゲーム > ${dialog%%:*} opened no dialog"
  done
  echo "$name: the menus, the help window, the replay file dialog and the network dialog open"

  xdotool key Escape
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && fail "$name: Esc did not end the program"
  if [ -n "${VOLTRAX_SHOTS:-}" ]; then
    mkdir -p "$VOLTRAX_SHOTS"
    for s in title a-moved about full full-alt full-f10 menu-game help replay-dialog net-dialog; do
      cp "$work/$name-$s.png" "$VOLTRAX_SHOTS/${name}_tour_$s.png"
    done
  fi
}
