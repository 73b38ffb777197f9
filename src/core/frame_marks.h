// FrameMarks: what the last frame of local play drew of each paddle and of the item
// gauge, and whether that is still on the screen untouched, so that the next frame may
// leave it as it is. The match frame keeps them (draw/match_frame.cpp, item_gauge.cpp);
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

// Everything the gauge's drawing may touch: the gauge and three pixels past its end.
constexpr Rect kGaugeArea{117, 293, 400, 308};

struct GaugeMark {
    int steps = -1;       // the steps of 40 the gauge was drawn with
    bool whole = false;   // the whole gauge was drawn for them (not only its spent part)
    bool intact = false;  // the gauge's area still holds what that drawing left
};

struct FrameMarks {
    std::array<PaddleMark, 4> paddles{};
    GaugeMark gauge;
    // BackPict, MainPict, BufPict, Pict and Mask's Writes() when the frame was done: a
    // write in between by anything else leaves no mark intact.
    std::array<uint64_t, 5> writes{};
};

}  // namespace vx
