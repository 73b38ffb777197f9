// The match panel above the table: both scores, the side marks and either the clock
// or the score limit.
#pragma once

#include <cstdint>

namespace vx {

struct Game;

// Redraws player p's score (p = 0 player 1, 1 player 2).
void DrawScore(Game& g, int16_t p);

}  // namespace vx
