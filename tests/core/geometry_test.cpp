#include "core/geometry.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(Geometry, PointInRectIncludesEveryEdgeAndEmptyRectsHoldNothing) {
    const Rect r{10, 20, 30, 40};
    for (Point p : {Point{10, 20}, Point{30, 40}, Point{10, 40}, Point{30, 20}, Point{20, 30}})
        EXPECT_EQ(PointInRect(r, p), true) << p.x << "," << p.y;
    for (Point p : {Point{9, 30}, Point{31, 30}, Point{20, 19}, Point{20, 41}})
        EXPECT_EQ(PointInRect(r, p), false);
    const Rect inverted{30, 40, 10, 20};
    EXPECT_EQ(PointInRect(inverted, Point{20, 30}), false);
}

TEST(Geometry, RectsOverlapIsACornerTest) {
    const Rect a{0, 10, 30, 20}, b{10, 0, 20, 30};
    EXPECT_EQ(RectsOverlap(a, b), false) << "a plus sign has no corner inside the other";
    EXPECT_EQ(RectsOverlap(a, a), true);
    EXPECT_EQ(RectsOverlap(Rect{0, 0, 10, 10}, Rect{10, 0, 20, 10}), true) << "edge contact";
    EXPECT_EQ(RectsOverlap(Rect{0, 0, 10, 10}, Rect{10, 10, 20, 20}), true) << "corner contact";
    EXPECT_EQ(RectsOverlap(Rect{0, 0, 10, 10}, Rect{11, 0, 20, 10}), false);
    EXPECT_EQ(RectsOverlap(Rect{0, 0, 100, 100}, Rect{40, 40, 60, 60}), true) << "b inside a";
    EXPECT_EQ(RectsOverlap(Rect{40, 40, 60, 60}, Rect{0, 0, 100, 100}), true) << "a inside b";
}

// Halves to even are worked through in the speed rules (424.5, 211.5) and the mouse (155.5).
TEST(Arithmetic, HundredthsFloorTowardMinusInfinity) {
    EXPECT_EQ(FloorDiv100(25699), 256);
    EXPECT_EQ(FloorDiv100(-1), -1);
    EXPECT_EQ(FloorDiv100(-100), -1);
    EXPECT_EQ(FloorDiv100(-101), -2);
}

}  // namespace
}  // namespace vx
