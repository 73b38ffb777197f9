// Button images: DrawButton draws one entry of MenuButtons.
#pragma once

#include <cstdint>

#include "core/match_records.h"

namespace vx {

struct Game;

// Draws button number (1..29) into BackPict over its clean background; with present = 1
// also copies it to MainPict and refreshes. The image is right - left by bottom - top.
void DrawButton(Game& g, int16_t number, uint8_t present);

}  // namespace vx
