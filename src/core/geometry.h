// Rectangles and points in MainPict pixels, the corner-test overlap every collision
// uses, and the fixed coordinates of the table.
#pragma once

#include <cstdint>

#include "core/arith.h"

namespace vx {

// All four edges are inside. Drawn and erased as (left, top, right - left, bottom - top).
struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool operator==(const Rect&) const = default;
};

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const Point&) const = default;
};

void MakeRect(Rect& r, int32_t a, int32_t b, int32_t c, int32_t d);
// Takes y before x: MakePoint(p, 14, 247) gives x 247, y 14.
void MakePoint(Point& p, int32_t a, int32_t b);
bool PointInRect(const Rect& r, const Point& p);
// True when one of the eight corners lies in the other rectangle. Two rectangles
// crossing like a plus sign do not overlap; the game's decisions rely on that.
bool RectsOverlap(const Rect& a, const Rect& b);
// For drawing, not the game's decisions: the pixel blocks [left, right) x [top, bottom)
// share at least one pixel.
constexpr bool BlocksMeet(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

namespace table {
constexpr int32_t kFieldTop = 61;
constexpr int32_t kFieldBottom = 282;
constexpr int32_t kCentreY = 171;
constexpr int32_t kCentreX = 256;
constexpr int32_t kBackLine1 = 77;      // player 1 back paddle
constexpr int32_t kFrontLine1 = 189;    // player 1 front paddle
constexpr int32_t kFrontLine2 = 323;    // player 2 front paddle
constexpr int32_t kBackLine2 = 435;     // player 2 back paddle
constexpr Point kServeA{25600, 7300};   // hundredths
constexpr Point kServeB{25600, 26900};  // hundredths
constexpr Rect kBlindArea1{66, 61, 174, 281};
constexpr Rect kBlindArea2{338, 61, 446, 281};
constexpr Point kClockAt{247, 14};
constexpr int32_t kClockWidth = 100;
constexpr int32_t kClockHeight = 31;
}  // namespace table

// The game's picture: every screen, and the window's picture at scale 1.
constexpr int32_t kScreenWidth = 512;
constexpr int32_t kScreenHeight = 342;

}  // namespace vx
