#include "puck/direction_tables.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

// 45° (71, 71) and 58° (53, 85) are checked through the bumper and paddle rebounds.
TEST(DirectionTables, Dir3HoldsCosineAndSineInHundredthsFrom6To84Degrees) {
    EXPECT_EQ(Dir3(0), (DirPair{99, 10}));
    EXPECT_EQ(Dir3(19), (DirPair{45, 89}));
    EXPECT_EQ(Dir3(26), (DirPair{10, 99}));
    // 60° and 30° sit exactly on halves of nothing: cos 60° is 50, sin 30° is 50.
    EXPECT_EQ(Dir3(18), (DirPair{50, 87}));
    EXPECT_EQ(Dir3(8), (DirPair{87, 50}));
}

TEST(DirectionTables, Dir2RunsFromStraightTo58Degrees) {
    EXPECT_EQ(Dir2(0), (DirPair{100, 0}));
    EXPECT_EQ(Dir2(15), (DirPair{87, 50}));
    for (int i = 1; i < 30; ++i) {
        EXPECT_LE(Dir2(i).c, Dir2(i - 1).c) << i;
        EXPECT_GT(Dir2(i).s, Dir2(i - 1).s) << i;
    }
}

TEST(DirectionTables, Sqrt100RoundsAndGivesFiftyForZero) {
    EXPECT_EQ(Sqrt100(0), 50);
    EXPECT_EQ(Sqrt100(1), 100);
    EXPECT_EQ(Sqrt100(2), 141);
    EXPECT_EQ(Sqrt100(3), 173);
    EXPECT_EQ(Sqrt100(4), 200);
    EXPECT_EQ(Sqrt100(5), 224);
    EXPECT_EQ(Sqrt100(23), 480);
    EXPECT_EQ(Sqrt100(24), 490);
}

TEST(DirectionTables, OutOfRangeIndicesGiveZero) {
    EXPECT_EQ(Dir3(-1), (DirPair{}));
    EXPECT_EQ(Dir3(27), (DirPair{}));
    EXPECT_EQ(Dir2(-1), (DirPair{}));
    EXPECT_EQ(Dir2(30), (DirPair{}));
    EXPECT_EQ(Sqrt100(-1), 0);
    EXPECT_EQ(Sqrt100(25), 0);
}

}  // namespace
}  // namespace vx
