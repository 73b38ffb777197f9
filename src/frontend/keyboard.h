// MainPict's key events: the match keys set KeyFlags, the command keys run the same
// commands as the menu (pause, resume, stop) or end the program.
#pragma once

#include <cstdint>

namespace vx {

struct Game;

void MainPict_KeyDown(Game& g, int16_t keyCode, int16_t shift);
void MainPict_KeyUp(Game& g, int16_t keyCode, int16_t shift);

}  // namespace vx
