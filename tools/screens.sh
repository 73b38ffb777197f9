#!/usr/bin/env bash
# Writes every screen the tests walk through as a PNG into build/screens/ and a
# contact sheet build/screens.png: title and its button looks, stage select for each
# stage in both modes, the waiting screen, Ready, play, each stage's table, a Blind
# frame, the pause screen and every result.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$root/build/screens"
rm -rf "$out" && mkdir -p "$out"
VOLTRAX_SCREEN_DIR="$out" "$root/build/tests/voltrax_game_tests" \
  --gtest_filter='*Road*:*ScreenGallery*:*ResultGallery*' >/dev/null
for f in "$out"/*.bmp; do convert "$f" "${f%.bmp}.png" && rm "$f"; done
montage "$out"/*.png -tile 6x -geometry 256x171+3+3 -label '%t' "$root/build/screens.png" 2>/dev/null ||
  montage "$out"/*.png -tile 6x -geometry 256x171+3+3 "$root/build/screens.png"
echo "screens in $out, contact sheet build/screens.png"
