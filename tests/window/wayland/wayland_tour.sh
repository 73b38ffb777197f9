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
  # The compositor hears of the move before the press, and of the release before the
  # pointer leaves (the pauses are the input's timing, as a hand would make it).
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
    tour_picture "$1-a" && sleep 0.7 && tour_picture "$1-b" &&
      [ "$(pixels_differ "$work/$name-$1-a-pict.png" "$work/$name-$1-b-pict.png")" = "0" ]
  }
  # output_changed SHOT BEFORE: takes SHOT of the whole output; it differs from BEFORE.
  output_changed() { tour_shot "$1" && [ "$(pixels_differ "$work/$name-$1.png" "$work/$name-$2.png")" != "0" ]; }
  # output_still SHOT: two shots of the whole output 0.5 s apart, the second kept as SHOT, agree.
  output_still() {
    tour_shot "$1-a" && sleep 0.5 && tour_shot "$1" &&
      [ "$(pixels_differ "$work/$name-$1-a.png" "$work/$name-$1.png")" = "0" ]
  }
  # settled SHOT BEFORE: the output changed from BEFORE and stands still again, as SHOT.
  settled() { wait_until 5 output_changed "$1" "$2" && wait_until 5 output_still "$1"; }
  # picture_shows SHOT REF X Y W H: the game's picture in a fresh shot has REF's area.
  picture_shows() {
    tour_picture "$1" || return 1
    convert "$work/$name-$1-pict.png" -crop "$5x$6+$3+$4" +repage "$work/a.png"
    convert "$2" -crop "$5x$6+$3+$4" +repage "$work/b.png"
    [ "$(pixels_differ "$work/a.png" "$work/b.png")" = "0" ]
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
  # (The pauses let the compositor see the pointer leave and enter, as a hand would.)
  xdotool mousemove $(( ox + 1000 )) $(( oy + 800 )); sleep 0.3
  park; sleep 0.3

  # 1P VS 2P, the first stage, then both players' keys: player 2's are found by their
  # place on the keyboard (key codes 35 and 61, "]" and "/" on a US layout).
  # The first click may only give the window the focus: click until the stage select shows.
  left_title() { tour_picture select && [ "$(pixels_differ "$work/$name-select-pict.png" "$work/x-title.png")" != "0" ]; }
  for _ in 1 2 3; do
    tour_click 255 220
    wait_until 2 left_title && break
  done
  wait_until 5 picture_shows select "$work/dat/stagec" 0 0 512 10 || fail "$name: 1P VS 2P did not open the stage select"
  tour_click 424 273
  # steer KEY BACK STRIP (the holds are the input's timing): holds KEY until the paddles in the strip at x STRIP move, at most
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
  wait_until 15 picture_shows play "$work/dat/battle" 0 0 512 12 || fail "$name: the match did not start"
  steer a z 70
  steer z a 70
  steer bracketright slash 428  # player 2's keys by their place: key codes 35 and 61
  steer slash bracketright 428
  xdotool key p
  wait_until 5 still paused || fail "$name: P did not pause the match"
  echo "$name: 1P VS 2P started with the mouse; A, Z and the keys at the places of ] and / steer; P pauses"

  # The about box takes the focus: the match pauses by itself and stays paused after it.
  xdotool key r
  resumed() { tour_picture resumed && [ "$(pixels_differ "$work/$name-resumed-pict.png" "$work/$name-paused-b-pict.png")" != "0" ]; }
  wait_until 5 resumed || fail "$name: R did not resume the match"
  xdotool key alt+h
  tour_shot no-menu
  wait_until 5 output_changed help-menu no-menu || fail "$name: Alt+H opened no menu"
  xdotool key v
  settled about help-menu || fail "$name: no about box"
  tour_click 5 335  # the main window again: the about box closes
  wait_until 5 still focus-lost || fail "$name: losing the focus to the about box did not pause the match"
  echo "$name: the about box shows and losing the focus pauses the match"

  # Full screen: no menu bar, the picture at the largest whole multiple; Alt and F10 show it.
  xdotool key F11
  full_screen() {
    tour_shot full && ! menu_bar_shown full &&
      "$find_picture" "$work/$name-full.png" "$work/$name-focus-lost-b-pict.png" >/dev/null
  }
  wait_until 5 full_screen || fail "$name: the paused match is not on the full screen without the menu bar"
  bar_shown() { tour_shot "$1" && menu_bar_shown "$1"; }
  xdotool keydown alt
  wait_until 3 bar_shown full-alt || { xdotool keyup alt; fail "$name: holding Alt did not show the menu bar in full screen"; }
  xdotool keyup alt; sleep 0.3  # the input's timing: the release reaches the program before F10
  xdotool key F10
  wait_until 3 bar_shown full-f10 || fail "$name: F10 did not show the menu bar in full screen"
  xdotool key Escape Escape; sleep 0.3  # the input's timing: the menu bar lets go before F11
  xdotool key F11
  windowed() { tour_shot windowed && menu_bar_shown windowed; }
  wait_until 5 windowed || fail "$name: F11 did not leave full screen"
  wait_until 5 output_still windowed || fail "$name: the window does not settle after full screen"
  echo "$name: full screen hides the menu bar; Alt and F10 show it"

  # The menus and the help window.
  xdotool key alt+g
  settled menu-game windowed || fail "$name: Alt+G opened no menu"
  xdotool key Escape Escape
  wait_until 5 output_changed menu-closed menu-game || fail "$name: Esc did not close the menu"
  wait_until 5 output_still menu-closed || fail "$name: the window does not settle after the menu"
  xdotool key alt+h
  settled help-menu2 menu-closed || fail "$name: Alt+H opened no menu"
  xdotool key h
  settled help help-menu2 || fail "$name: no help window"
  xdotool key alt+x  # the help window's 終了(&X)
  wait_until 5 output_changed help-closed help || fail "$name: Alt+X did not close the help window"
  tour_click 5 335  # a compositor need not give the focus back to the main window: a click does

  # Stop the paused match, then the replay file dialog and the network dialog.
  xdotool key s
  on_title() { tour_picture stopped && [ "$(pixels_differ "$work/$name-stopped-pict.png" "$work/x-title.png")" = "0" ]; }
  wait_until 10 on_title || fail "$name: S did not stop the paused match to the title"
  # Each dialog is a window of its own over the title: the output differs while it is open.
  # (If no dialog opened, the output goes back to the title and never changes again.)
  for dialog in w:replay-dialog n:net-dialog; do
    wait_until 5 output_still title-again || fail "$name: the title does not settle"
    xdotool key alt+g
    settled game-menu title-again || fail "$name: Alt+G opened no menu"
    xdotool key "${dialog%%:*}"
    settled "${dialog#*:}" game-menu || fail "$name: nothing happened after ゲーム > ${dialog%%:*}"
    xdotool key Escape
    wait_until 5 output_changed "${dialog#*:}-gone" "${dialog#*:}" || true
    tour_click 5 335
    wait_until 5 output_changed "${dialog#*:}-closed" "${dialog#*:}" ||
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
