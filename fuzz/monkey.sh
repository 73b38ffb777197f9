#!/usr/bin/env bash
# The long monkey run: the main window under random input for a few minutes (180 s by
# default, or the first argument in seconds; a second argument replays a seed).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cmake --build "$root/build" --target voltrax_qt_tests >/dev/null
export VOLTRAX_MONKEY_SECONDS="${1:-180}"
# A random seed unless one is given to replay; the run prints the seed it used.
export VOLTRAX_MONKEY_SEED="${2:-$(od -An -N4 -tu4 /dev/urandom | tr -d " ")}"
QT_QPA_PLATFORM=offscreen "$root/build/tests/window/qt/voltrax_qt_tests" --gtest_filter='Monkey.*'
