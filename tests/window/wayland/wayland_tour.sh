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
  # The picture cut out of a fresh screenshot, as $work/NAME-STEP-pict.png.
  tour_picture() { tour_shot "$1" && convert "$work/$name-$1.png" -crop "512x342+$px+$py" +repage "$work/$name-$1-pict.png"; }
  # The sources for the waits of wayland_session.sh: the game's picture alone, and the whole
  # output, each as $work/OUT.png.
  game_picture() { "$shoot" "$1-full" && convert "$work/$1-full.png" -crop "512x342+$px+$py" +repage "$work/$1.png"; }
  whole_output() { "$shoot" "$1"; }
  # Clicks, then parks the pointer in the output's corner, out of every picture taken.
  # Output coordinates on the X screen: the compositor's window (800 x 600) sits where the
  # X server put it.
  # The compositor maps it a moment after its Wayland socket opens.
  local ox="" oy=""
  compositor_window() {
    read -r ox oy < <(LC_ALL=C xwininfo -root -children | awk '/ 800x600\+/ { split($NF, a, "+"); print a[2], a[3]; exit }') &&
      [ -n "$ox" ]
  }
  wait_until 10 compositor_window || fail "$name: the compositor's window is not on the X screen after 10 s"
  park() { xdotool mousemove $(( ox + 799 )) $(( oy + 599 )); }
  # The input's timing, as a hand makes it: the compositor hears of the move before the
  # press, and of the release before the pointer leaves.
  tour_click() {
    xdotool mousemove $(( ox + px + $1 )) $(( oy + py + $2 ))
    sleep 0.2
    xdotool click 1
    sleep 0.1
    park
  }
  tour_strip() { convert "$work/$name-$1-pict.png" -crop "14x300+$2+40" +repage "$work/$name-$1-strip$2.png"; }
  moved() { [ "$(pixels_differ "$work/$name-$1-strip$3.png" "$work/$name-$2-strip$3.png")" != "0" ]; }
  menu_bar_shown() { # the top row of the output is not black: the menu bar is there
    [ "$(convert "$work/$name-$1.png" -crop 200x1+300+2 +repage -format '%[fx:maxima.r+maxima.g+maxima.b]' info:)" != "0" ]
  }
  bar_shown() { tour_shot "$1" && menu_bar_shown "$1"; }
  bar_hidden() { tour_shot "$1" && ! menu_bar_shown "$1"; }
  # picture_area SHOT REF X Y W H: the game's picture in a fresh shot has REF's area.
  picture_area() {
    tour_picture "$1" || return 1
    convert "$work/$name-$1-pict.png" -crop "$5x$6+$3+$4" +repage "$work/$name-area-a.png"
    convert "$2" -crop "$5x$6+$3+$4" +repage "$work/$name-area-b.png"
    [ "$(pixels_differ "$work/$name-area-a.png" "$work/$name-area-b.png")" = "0" ]
  }
  # shows_title SHOT: the game's picture in a fresh shot is the title.
  shows_title() { tour_picture "$1" && [ "$(pixels_differ "$work/$name-$1-pict.png" "$work/x-title.png")" = "0" ]; }
  # game_menu_open SHOT REF: the ゲーム menu lies over the top left corner of the game's
  # picture in a fresh shot, which showed REF's there (the menu drops from the menu bar
  # just above the picture, whatever the window's place).
  game_menu_open() { ! picture_area "$1" "$2" 0 0 80 80; }
  # press_until KEY CHECK [ARGS...]: KEY until CHECK ARGS holds, at most 3 times 5 s: a
  # compositor may hand the keyboard back to the window a moment late (after the click that
  # activated it, or after a menu, a window or the bar Alt showed has gone).
  press_until() {
    local key="$1" try
    shift
    for try in 1 2 3; do
      xdotool key "$key"
      wait_until 5 "$@" && return 0
    done
    return 1
  }
  # open_game_menu SHOT REF: Alt+G until the ゲーム menu shows.
  open_game_menu() { press_until alt+g game_menu_open "$1" "$2"; }
  # menu_highlighted SHOT REST: in a fresh shot, the menu bar's strip above the left part of
  # the picture (where ヘルプ lies on every compositor here) differs from shot REST's: an
  # item is highlighted, its menu open. The strip lies outside the picture, so a running
  # match does not change it. bar_bottom is the menu bar's lowest row.
  bar_strip() { convert "$work/$name-$1.png" -crop "350x14+$px+$(( bar_bottom - 14 ))" +repage "$work/$name-$1-strip.png"; }
  menu_highlighted() { tour_shot "$1" && bar_strip "$1" && ! same_picture "$name-$1-strip" "$name-$2-strip"; }
  # open_help_menu SHOT: Alt+H until the ヘルプ menu shows.
  open_help_menu() {
    tour_shot "$1-rest" && bar_strip "$1-rest"
    press_until alt+h menu_highlighted "$1" "$1-rest"
  }
  # covered SHOT MENU: a window of the program's own lies over the game's picture (the
  # picture is not the title), and the output is no longer MENU's (the menu that opened it).
  covered() {
    tour_picture "$1" && [ "$(pixels_differ "$work/$name-$1-pict.png" "$work/x-title.png")" != "0" ] &&
      ! same_picture "$name-$1" "$name-$2"
  }

  found_title() { tour_shot title && place="$("$find_picture" "$work/$name-title.png" "$work/x-title.png")"; }
  wait_until 15 found_title || fail "$name: the title is not on screen after 15 s"
  read -r px py <<<"$place"
  # The menu bar's lowest row: the last row that is not black in the picture's column 100
  # above the picture (the window's menu bar lies right above it, or at the top of a window
  # that fills the output, with black between).
  local bar_bottom
  bar_bottom="$(convert "$work/$name-title.png" -crop "1x${py}+$(( px + 100 ))+0" +repage -depth 8 txt:- |
    awk -F'[,: ]+' '!/^#/ && !/#000000/ { y = $2 } END { print y }')"
  [ -n "$bar_bottom" ] && [ "$bar_bottom" -ge 14 ] || fail "$name: no menu bar above the title"
  # Into the compositor's window from outside, so that it takes the pointer (and the keys
  # go to the X window under the pointer: the compositor's). The pauses are the input's
  # timing: the compositor sees the pointer come in, then move.
  xdotool mousemove $(( ox + 1000 )) $(( oy + 800 )); sleep 0.3
  park; sleep 0.3

  # 1P VS 2P, the first stage, then both players' keys: player 2's are found by their
  # place on the keyboard (key codes 35 and 61, "]" and "/" on a US layout).
  # The first click may only give the window the focus: click until the title goes.
  left_title() { tour_picture select && [ "$(pixels_differ "$work/$name-select-pict.png" "$work/x-title.png")" != "0" ]; }
  for _ in 1 2 3; do
    tour_click 255 220
    wait_until 5 left_title && break
  done
  wait_until 10 picture_area select "$work/dat/stagec" 0 0 512 10 ||
    fail "$name: 1P VS 2P did not show the stage select in 10 s"
  # OK is clicked again (at most 3 times 5 s) until the match's field shows: a click while
  # the stage select fades in is not yet the screen's.
  local started=""
  for _ in 1 2 3; do
    tour_click 424 273
    wait_until 5 picture_area field "$work/dat/battle" 0 0 512 12 && { started=1; break; }
  done
  [ -n "$started" ] || fail "$name: OK on the stage select did not start the match"
  wait_for_play 20 game_picture "$name-playing" || fail "$name: the match was not being played 20 s after it showed"
  # steer KEY BACK STRIP: holds KEY until the paddles in the strip at x STRIP move, at most
  # five tries; between tries BACK moves them away from a limit they may have reached.
  # The holds are the input's timing: long enough to move a paddle.
  # The item Blind paints one side's field black for 10 s (the puck and that side's back
  # paddle are not drawn there meanwhile), so a paddle under it cannot be seen to move: each
  # try first waits until the strip's side shows (at most 20 s), and a try that ends under
  # Blind is tried again.
  side_blind() { # SHOT STRIP: the strip's rows of the field are all black
    [ "$(convert "$work/$name-$1-pict.png" -crop "14x220+$2+61" +repage -format '%[fx:maxima.r+maxima.g+maxima.b]' info:)" = "0" ]
  }
  side_shown() { tour_picture "$1" && ! side_blind "$1" "$2"; }
  steer() {
    local tries
    for tries in 1 2 3 4 5; do
      wait_until 20 side_shown "$1-before" "$3" || fail "$name: the field at x $3 stayed black for 20 s"
      xdotool keydown "$1"; sleep 0.4; xdotool keyup "$1"
      tour_picture "$1-moved"
      tour_strip "$1-before" "$3"; tour_strip "$1-moved" "$3"
      moved "$1-before" "$1-moved" "$3" && ! side_blind "$1-moved" "$3" && return 0
      xdotool keydown "$2"; sleep 0.6; xdotool keyup "$2"
    done
    local whole="the match moved meanwhile"
    same_picture "$name-$1-before-pict" "$name-$1-moved-pict" && whole="the whole picture stood still"
    fail "$name: $1 moved no paddle in the strip at x $3 ($whole)"
  }
  steer a z 70
  steer z a 70
  steer bracketright slash 428  # player 2's keys by their place: key codes 35 and 61
  steer slash bracketright 428
  xdotool key p
  wait_until_still_for_a_second 10 game_picture "$name-paused" ||
    fail "$name: P did not pause the match (it never stood still for a second)"
  echo "$name: 1P VS 2P started with the mouse; A, Z and the keys at the places of ] and / steer; P pauses"

  # The about box takes the focus: the match pauses by itself and stays paused after it.
  xdotool key r
  wait_until 10 differs_from game_picture "$name-resumed" "$name-paused" || fail "$name: R did not resume the match"
  open_help_menu help-menu || fail "$name: Alt+H opened no menu over the running match"
  xdotool key v
  # The box types its text a character at a time (about 2 s, longer on a busy machine),
  # and the compositor may place it over the game's picture: once the whole output has
  # stood still for a second, the box has typed its text and the match behind it is paused.
  wait_until_still_for_a_second 20 whole_output "$name-about" ||
    fail "$name: the about box did not take the focus and pause the match (the output never stood still for a second)"
  tour_click 5 335  # the main window again: the about box closes
  wait_until 10 differs_from whole_output "$name-about-closed" "$name-about" || fail "$name: a click on the main window left the about box open"
  wait_until_still_for_a_second 10 game_picture "$name-focus-lost" ||
    fail "$name: the match did not stay paused after the about box"
  echo "$name: the about box shows and losing the focus pauses the match"

  # Full screen: no menu bar, the picture at the largest whole multiple; Alt and F10 show it.
  xdotool key F11
  full_screen() {
    bar_hidden full && "$find_picture" "$work/$name-full.png" "$work/$name-focus-lost.png" >/dev/null
  }
  wait_until 10 full_screen || fail "$name: F11 did not show the paused match on the full screen without the menu bar"
  xdotool keydown alt
  wait_until 10 bar_shown full-alt || { xdotool keyup alt; fail "$name: holding Alt did not show the menu bar in full screen"; }
  xdotool keyup alt
  wait_until 10 bar_hidden full-released || fail "$name: letting go of Alt did not hide the menu bar in full screen"
  press_until F10 bar_shown full-f10 || fail "$name: F10 did not show the menu bar in full screen"
  xdotool key Escape Escape
  # The menu closed and the bar let go: the output is again what holding Alt showed.
  wait_until 10 same_as whole_output "$name-full-escaped" "$name-full-alt" || fail "$name: Esc did not close the menu F10 opened"
  xdotool key F11
  windowed() { bar_shown windowed && tour_picture windowed && same_picture "$name-windowed-pict" "$name-focus-lost"; }
  wait_until 10 windowed || fail "$name: F11 did not bring back the window with its menu bar and the paused match"
  echo "$name: full screen hides the menu bar; Alt and F10 show it"

  # The menus and the help window.
  open_game_menu menu-game "$work/$name-focus-lost.png" || fail "$name: Alt+G opened no menu"
  xdotool key Escape Escape
  wait_until 10 same_as whole_output "$name-menu-closed" "$name-windowed" || fail "$name: Esc did not close the menu"
  open_help_menu help-menu2 || fail "$name: Alt+H opened no menu over the paused match"
  xdotool key h
  help_shown() { tour_shot help && ! same_picture "$name-help" "$name-help-menu2" && ! same_picture "$name-help" "$name-menu-closed"; }
  wait_until 10 help_shown || fail "$name: Alt+H, H showed no help window"
  wait_until_still_for_a_second 10 whole_output "$name-help" || fail "$name: the help window does not come to rest"
  xdotool key alt+x  # the help window's 終了(&X)
  wait_until 10 same_as game_picture "$name-help-closed" "$name-focus-lost" ||
    fail "$name: Alt+X did not close the help window"
  tour_click 5 335  # a compositor need not give the focus back to the main window: a click does

  # Stop the paused match, then the replay file dialog and the network dialog.
  xdotool key s
  wait_until 10 shows_title stopped || fail "$name: S did not stop the paused match to the title"
  # Each dialog is a window of its own over the title: while it is open, the game's
  # picture is no longer the title; once it is closed, the title shows again.
  for dialog in w:replay-dialog n:net-dialog; do
    open_game_menu "menu-${dialog#*:}" "$work/x-title.png" || fail "$name: Alt+G opened no menu on the title"
    xdotool key "${dialog%%:*}"
    wait_until 10 covered "${dialog#*:}" "menu-${dialog#*:}" || fail "$name: ゲーム > ${dialog%%:*} opened no dialog"
    xdotool key Escape
    wait_until 10 shows_title "${dialog#*:}-closed" || fail "$name: Esc did not close the dialog of ゲーム > ${dialog%%:*}"
    tour_click 5 335
  done
  echo "$name: the menus, the help window, the replay file dialog and the network dialog open"

  xdotool key Escape
  gone() { ! kill -0 "$pid" 2>/dev/null; }
  wait_until 10 gone || fail "$name: Esc did not end the program in 10 s"
  if [ -n "${VOLTRAX_SHOTS:-}" ]; then
    mkdir -p "$VOLTRAX_SHOTS"
    for s in title a-moved about full full-alt full-f10 menu-game help replay-dialog net-dialog; do
      cp "$work/$name-$s.png" "$VOLTRAX_SHOTS/${name}_tour_$s.png"
    done
  fi
}
