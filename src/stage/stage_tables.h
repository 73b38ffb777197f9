// The stage layouts as data: walls (bounds, facing, kind), corner posts and bumpers
// of each stage. Setup, the line drawings and the tests all read these tables, so the
// picture and the physics cannot disagree.
#pragma once

#include <cstdint>
#include <span>

#include "core/geometry.h"

namespace vx {

struct WallSpec {
    Rect bounds;
    int16_t facing;
    int16_t kind;
};

struct BumperSpec {
    int32_t cx;  // hundredths
    int32_t cy;
    int16_t verticalSign;
};

constexpr uint8_t kBumperRadius = 8;

std::span<const WallSpec> StageWalls(int stage);      // empty for stages 1 and 4
std::span<const BumperSpec> StageBumpers(int stage);  // only stage 4 has any
std::span<const Rect> StageCornerPosts(int stage);    // only stage 3 has any
const char* StageName(int stage);                     // "NORMAL" ... "TRIPLE"

}  // namespace vx
