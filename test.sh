#!/usr/bin/env bash
# Installs what is missing, builds into build/ and runs every test headless.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$root/scripts/common.sh"
start=$(date +%s)
voltrax_install_missing "${VOLTRAX_PLAY_PACKAGES[@]}" "${VOLTRAX_TEST_PACKAGES[@]}"
voltrax_build "$root"
export QT_QPA_PLATFORM=offscreen
export SDL_AUDIODRIVER=dummy
# The tunes rendered once for the tests stay with the build, not in the user's cache.
export XDG_CACHE_HOME="$root/build/test-cache"
cd "$root/build"
ctest --output-on-failure --parallel "$(nproc)" --timeout 600
echo "test.sh: done in $(( $(date +%s) - start )) s"
