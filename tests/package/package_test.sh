#!/usr/bin/env bash
# The Debian package as a player gets it: builds it with CPack, checks its file list and
# Depends line, validates the desktop entry, the AppStream entry and the manual page,
# then unpacks it with dpkg-deb -x and runs the unpacked /usr/games/voltrax under Xvfb:
# the title shows from /usr/lib/voltrax/, and an option changed in the menu is saved in
# $XDG_CONFIG_HOME/voltrax/ because the program folder is not the player's to write.
set -euo pipefail
build="$1"
work="$(mktemp -d)"
chmod 755 "$work"
cleanup() {
  [ -n "${game_pid:-}" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --build "$build" --target package >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; }
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
deb="$build/package/voltrax_${version}_amd64.deb"
[ -f "$deb" ] || fail "no $deb"

# The file list: the program folder, the command, the desktop files, nothing else at the top.
dpkg-deb -c "$deb" | awk '{ $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }' >"$work/files"
for f in usr/lib/voltrax/voltrax usr/lib/voltrax/libvoltrax-online.so usr/lib/voltrax/dat/OP usr/lib/voltrax/dat/opening.mid \
  usr/lib/voltrax/dat/wave1.wav usr/lib/voltrax/design/Pict.bmp "usr/lib/voltrax/read me.txt" "usr/lib/voltrax/read me.en.txt" \
  usr/games/voltrax usr/share/applications/voltrax.desktop \
  usr/share/metainfo/io.github.voltrax.Voltrax.metainfo.xml usr/share/man/man6/voltrax.6.gz \
  usr/share/doc/voltrax/copyright usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/voltrax.png; do
  grep -qxF "./$f" "$work/files" || fail "package lacks /$f"
done
stray="$(grep -vE '^\./$|^\./usr/$|^\./usr/lib/$|^\./usr/lib/voltrax/|^\./usr/games/|^\./usr/share/' "$work/files" || true)"
[ -z "$stray" ] || fail "files outside /usr/lib/voltrax, /usr/games, /usr/share: $stray"
! grep -qiE 'sysdata\.rnd$|^\./usr/(bin|local)/' "$work/files" || fail "a developer's options or a bin/ command in the package"

# Depends: the shared libraries found by dpkg-shlibdeps plus the SoundFont and the font.
depends="$(dpkg-deb -f "$deb" Depends)"
for p in libc6 libqt6widgets6 libsdl2-2.0-0 libfluidsynth3 libenet7 timgm6mb-soundfont fonts-ipafont-gothic fonts-dejavu-core; do
  grep -qE "(^|, )$p( |,|$)" <<<"$depends" || fail "Depends lacks $p: $depends"
done

dpkg-deb -x "$deb" "$work/root"
r="$work/root"
desktop-file-validate "$r/usr/share/applications/voltrax.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net --explain "$r/usr/share/metainfo/io.github.voltrax.Voltrax.metainfo.xml" ||
  fail "appstreamcli validate"

# --help, --version and a wrong option, from the installed command.
"$r/usr/games/voltrax" --version >"$work/version" || fail "--version exit status"
[ "$(cat "$work/version")" = "voltrax $version" ] || fail "--version printed $(cat "$work/version")"
"$r/usr/games/voltrax" --help >"$work/help" || fail "--help exit status"
status=0
"$r/usr/games/voltrax" --no-such-option >/dev/null 2>"$work/err" || status=$?
[ "$status" -eq 2 ] && [ "$(wc -l <"$work/err")" -eq 1 ] || fail "wrong option: status $status, $(cat "$work/err")"

# The manual page renders without warnings and describes every option --help lists.
MANWIDTH=80 man --warnings -l "$r/usr/share/man/man6/voltrax.6.gz" >"$work/man" 2>"$work/man.err"
[ ! -s "$work/man.err" ] || fail "man page warnings: $(cat "$work/man.err")"
for option in $(grep -oE -- '--[a-z][a-z-]*' "$work/help" | sort -u); do
  grep -qF -- "$option" "$work/man" || fail "the manual page does not describe $option"
done

# The unpacked program under Xvfb, as a player who cannot write to /usr/lib/voltrax.
# root may write anywhere, so a root run plays the game as nobody.
chmod -R a-w "$r/usr/lib/voltrax"
as_player=()
if [ "$(id -u)" -eq 0 ]; then as_player=(setpriv --reuid=nobody --regid=nogroup --clear-groups); fi
mkdir -p "$work/home" "$work/run" && chmod 700 "$work/run"
[ "$(id -u)" -ne 0 ] || chown nobody:nogroup "$work/home" "$work/run"
exec 5>"$work/display"
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
display=":$(head -n1 "$work/display")"
env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" \
  XDG_RUNTIME_DIR="$work/run" DISPLAY="$display" SDL_AUDIODRIVER=dummy \
  "${as_player[@]}" "$r/usr/games/voltrax" >"$work/log" 2>&1 &
game_pid=$!
export DISPLAY="$display"
wid="$(timeout 20 xdotool search --sync --name '^VOLTRAX VER 2.1$' | head -n1)" || fail "no window: $(cat "$work/log")"
sleep 1
eval "$(xdotool getwindowgeometry --shell "$wid")"
import -window "$wid" "$work/title.png"
convert "$work/title.png" -crop "512x150+0+$((HEIGHT - 342))" +repage "$work/a.png"
convert "$r/usr/lib/voltrax/dat/OP" -crop 512x150+0+0 +repage "$work/b.png"
[ "$(compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1 || true)" = "0" ] || fail "title not shown"
[ -z "${VOLTRAX_PACKAGE_SHOT:-}" ] || cp "$work/title.png" "$VOLTRAX_PACKAGE_SHOT"

# Options > Difficulty > Hard saves the options at once.
xdotool windowfocus --sync "$wid"
xdotool key alt+o; sleep 0.5
xdotool key l; sleep 0.5
xdotool key d; sleep 0.5
[ -s "$work/home/config/voltrax/Sysdata.rnd" ] || fail "options not saved in the user's folder: $(cat "$work/log")"
xdotool key Escape
for _ in $(seq 50); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
status=0
wait "$game_pid" || status=$?
game_pid=""
[ "$status" -eq 0 ] || fail "exit status $status after Esc"
echo "package: $(basename "$deb") checked"
