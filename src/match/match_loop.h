// RunMatch: plays one match, or the rest of a paused one.
#pragma once

#include <cstdint>

namespace vx {

struct Game;

void RunMatch(Game& g, uint8_t& gameMode, uint8_t& stageNo);

}  // namespace vx
