// MainPict's key events: the match keys set KeyFlags, the command keys run the same
// commands as the menu (pause, resume, stop) or end the program. While a replay is
// watched its viewer takes the keys first (frontend/replay_watch.h). shift: not 0 when
// Shift was held.
#pragma once

#include <cstdint>

namespace vx {

struct Game;

void OnKeyDown(Game& g, int16_t keyCode, int16_t shift);
void OnKeyUp(Game& g, int16_t keyCode, int16_t shift);

}  // namespace vx
