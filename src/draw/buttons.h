// Button images: the record of one entry of MenuButtons (a screen rectangle and where
// its image lies in the sprite sheet) and DrawButton, which draws one entry.
#pragma once

#include <cstdint>

#include "stage/geometry.h"

namespace vx {

struct Game;

struct MenuButton {
    Rect rect;           // on MainPict, inclusive; hit tests use it as stored
    int32_t sheetX = 0;  // image (and its mask) in Pict / Mask
    int32_t sheetY = 0;
    uint8_t sheetOffset = 0;  // added to sheetX when drawing
    bool operator==(const MenuButton&) const = default;
};

constexpr int kMenuButtonCount = 29;

// Draws button number (1..29) into BackPict over its clean background; with present = 1
// also copies it to MainPict and refreshes. The image is right - left by bottom - top.
void DrawButton(Game& g, int16_t number, uint8_t present);

}  // namespace vx
