#!/usr/bin/env bash
# same_pictures.sh DIR_A DIR_B: compares the pixels (not the file bytes, which carry
# ImageMagick's timestamps) of every PNG of DIR_A with its namesake in DIR_B.
set -euo pipefail
a="$1"; b="$2"; differ=0; n=0
for f in "$a"/*.png; do
  n=$((n + 1))
  g="$b/$(basename "$f")"
  if [ ! -f "$g" ] || [ "$(convert "$f" rgba:- | md5sum)" != "$(convert "$g" rgba:- | md5sum)" ]; then
    echo "differs: $(basename "$f")"; differ=$((differ + 1))
  fi
done
echo "$n pictures, $differ differ"
[ "$differ" -eq 0 ]
