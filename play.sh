#!/usr/bin/env bash
# Installs what is missing, builds into build/ and starts the game.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$root/scripts/common.sh"
voltrax_install_missing "${VOLTRAX_PLAY_PACKAGES[@]}"
voltrax_build "$root" voltrax
exec "$root/build/voltrax" "$@"
