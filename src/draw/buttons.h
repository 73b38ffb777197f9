// Button images: DrawButton draws one entry of MenuButtons.
#pragma once

#include <cstdint>
#include <span>

#include "core/match_records.h"
#include "draw/menu_buttons.h"

namespace vx {

struct Game;

// Draws button number (1..24) into BackPict over its clean background; with present = 1
// also copies it to MainPict and refreshes. The image is right - left by bottom - top.
void DrawButton(Game& g, int16_t number, uint8_t present);

// Draws and presents every button of a screen in its normal look, except the one whose
// normal entry is `active`, which shows `look` (0: all normal).
void DrawButtonLooks(Game& g, std::span<const ButtonLooks> buttons, int16_t active, ButtonLook look);

}  // namespace vx
