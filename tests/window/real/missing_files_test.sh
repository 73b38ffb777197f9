#!/usr/bin/env bash
# The built program on the offscreen platform with a run-time file taken away: it ends
# by itself with a non-zero status and names the file on standard error (no dialog
# waits for a click where nobody can see it). From a folder whose path holds blanks
# and Japanese characters, with every file there, it starts and keeps running.
set -euo pipefail
program_dir="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export XDG_RUNTIME_DIR="$work/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

fresh_copy() {
  rm -rf "$1" && mkdir -p "$1"
  cp -r "$program_dir/dat" "$program_dir/design" "$program_dir/voltrax" "$1/"
  rm -f "$1/dat/Sysdata.rnd"
}

folder="$work/my games/ボルトラックス テスト"
for missing in dat/OP design/Pict.bmp design/LinePict.bmp design/St3.bmp design/Mas.bmp; do
  fresh_copy "$folder"
  rm "$folder/$missing"
  set +e
  timeout 20 "$folder/voltrax" >"$work/out" 2>"$work/err"
  status=$?
  set -e
  [ "$status" -ne 124 ] || fail "$missing: the program hung instead of ending"
  [ "$status" -ne 0 ] || fail "$missing: exit status 0"
  grep -qF "$missing" "$work/err" || fail "$missing: not named on standard error: $(cat "$work/err")"
  grep -qF "ボルトラックス テスト" "$work/err" || fail "$missing: the message lost the folder's name"
  echo "ok: without $missing the program ends with status $status: $(grep -F "$missing" "$work/err" | head -n1)"
done

fresh_copy "$folder"
set +e
timeout 4 "$folder/voltrax" >"$work/out" 2>"$work/err"
status=$?
set -e
[ "$status" -eq 124 ] || fail "with every file there the program ended by itself (status $status): $(cat "$work/err")"
! grep -q "cannot" "$work/err" || fail "complaints from a complete folder: $(cat "$work/err")"
echo "ok: from \"$folder\" the program starts and runs"
