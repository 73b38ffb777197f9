// The wait rule every fixed wait of the game uses: note the clock in FrameStart, then
// let the window process events until the clock reads more than the wait later.
#pragma once

#include <cstdint>

namespace vx {

struct Game;

// False when the program is ending; the caller then returns at once.
bool WaitMs(Game& g, int32_t waitMs);
// Lets the window process pending events once; false when the program is ending.
bool LetEventsRun(Game& g);

}  // namespace vx
