// The fixed source rectangles of the match's sprites in the sprite sheet: the puck,
// the burst pictures, the paddle looks (entries 4..7 are the current looks the frame
// draws) and the item capsule icons.
#pragma once

#include "core/match_records.h"

namespace vx {

namespace sprite_entry {
constexpr int kPuck = 0;
constexpr int kBurst1 = 1;
constexpr int kBurst2 = 2;
constexpr int kBurst3 = 3;       // its y is the row of all three burst pictures
constexpr int kPaddleLook0 = 4;  // entries 4..7: current look of paddles 0..3
constexpr int kItemIcon0 = 8;    // entries 8..17: capsule icons
constexpr int kLongFront = 18;
constexpr int kShortBack = 19;
constexpr int kEffectLook = 20;
constexpr int kPanicLook0 = 27;        // 27..30
constexpr int kRandomSpeedLook0 = 31;  // 31..34
}  // namespace sprite_entry

void FillSpriteTable(SpriteTable& sprites);

// The rectangle of a sprite of the sheet layout, as the match records keep it.
SpriteSource SheetSource(const char* name);

}  // namespace vx
