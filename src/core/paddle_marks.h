// PaddleMarks: what the last frame of local play drew of each paddle, and whether that
// is still on the screen untouched. The match frame keeps them (draw/match_frame.cpp);
// every change presented on MainPict clears the marks it covers (draw/sprite_blit.cpp).
#pragma once

#include <array>
#include <cstdint>

#include "core/geometry.h"

namespace vx {

struct PaddleMark {
    Rect restored;  // the block restored from BufPict for the paddle
    Rect drawn;     // where its look was drawn over it
    int32_t lookX = 0, lookY = 0;
    bool intact = false;  // both blocks still hold what the frame left there
};

struct PaddleMarks {
    std::array<PaddleMark, 4> paddles{};
    // BackPict, MainPict, BufPict, Pict and Mask's Writes() when the frame was done: a
    // write in between by anything else leaves no mark intact.
    std::array<uint64_t, 5> writes{};
};

}  // namespace vx
