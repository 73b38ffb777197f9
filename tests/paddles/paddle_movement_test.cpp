#include "paddles/paddle_movement.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/game.h"
#include "support/scripted_game.h"

namespace vx {
namespace {

struct PaddleTest : ::testing::Test {
    testing::ScriptedGame t;
    MatchRecords r = t.Setup(1, 2);
    Paddles& p = r.paddles;
    void Hold(bool a, bool z) {
        t.g().KeyFlags[0] = ToBool16(a);
        t.g().KeyFlags[1] = ToBool16(z);
    }
    void Frame() { MovePaddlesFromKeys(t.g(), p); }
};

TEST_F(PaddleTest, HoldingAMovesBackUpToItsLimitAndFrontDownMirrored) {
    Hold(true, false);
    std::vector<int32_t> back, front;
    for (int frame = 0; frame < 11; ++frame) {
        Frame();
        back.push_back(p[0].y);
        front.push_back(p[1].y);
    }
    EXPECT_EQ(back, (std::vector<int32_t>{163, 155, 147, 139, 131, 123, 115, 107, 99, 99, 99}));
    EXPECT_EQ(front, (std::vector<int32_t>{179, 187, 195, 203, 211, 219, 227, 235, 243, 243, 243}));
    EXPECT_EQ(p[0].bounds, (Rect{72, 62, 82, 136}));
    EXPECT_EQ(p[2].y, 171);  // the other side stays
}

TEST_F(PaddleTest, AAndZTogetherMoveNothingUntilZIsReleased) {
    Hold(true, true);
    Frame();
    Frame();
    EXPECT_EQ(p[0].y, 171);
    EXPECT_EQ(p[1].y, 171);
    Hold(true, false);
    Frame();
    EXPECT_EQ(p[0].y, 163);
}

TEST_F(PaddleTest, HoldingZGoesDownToTheBottomLimit) {
    Hold(false, true);
    for (int frame = 0; frame < 20; ++frame) Frame();
    EXPECT_EQ(p[0].y, 243);
    EXPECT_EQ(p[0].bounds.bottom, 280);
    EXPECT_EQ(p[1].y, 99);
}

TEST_F(PaddleTest, PlayerTwoKeysMoveTheRightSide) {
    t.g().KeyFlags[3] = kTrue;  // key 221: up
    Frame();
    EXPECT_EQ(p[2].y, 163);
    EXPECT_EQ(p[3].y, 179);
    t.g().KeyFlags[3] = kFalse;
    t.g().KeyFlags[2] = kTrue;  // key 226: down
    Frame();
    Frame();
    EXPECT_EQ(p[2].y, 179);
}

TEST_F(PaddleTest, ReversedSignMovesTheOtherWayAndUsesTheOtherLimit) {
    p[2].directionSign = -1;
    MovePaddles(move_code::kPlayer2Up, p);
    EXPECT_EQ(p[2].y, 179);  // "up" now goes down
    EXPECT_EQ(p[3].y, 179);  // each paddle follows its own sign
    p[2].y = 237;            // 237 + 45 = 282: still allowed
    MovePaddles(move_code::kPlayer2Up, p);
    EXPECT_EQ(p[2].y, 245);
    MovePaddles(move_code::kPlayer2Up, p);  // 245 + 45 > 282
    EXPECT_EQ(p[2].y, 245);
    p[2].y = 100;  // near the top, "up" is still free under the reversed rule
    MovePaddles(move_code::kPlayer2Up, p);
    EXPECT_EQ(p[2].y, 108);
}

TEST_F(PaddleTest, ShortenedBackPaddleStopsAtTheSameHeights) {
    p[0].halfLength = 19;
    MovePaddles(move_code::kPlayer1Up, p);
    for (int i = 0; i < 20; ++i) MovePaddles(move_code::kPlayer1Up, p);
    EXPECT_EQ(p[0].y, 99);
    EXPECT_EQ(p[0].bounds.top, 80);
}

TEST_F(PaddleTest, FirstMoveNarrowsBoundsAndEveryCallCopiesThemToPrevious) {
    EXPECT_EQ(p[0].bounds, (Rect{71, 134, 83, 208}));
    MovePaddles(move_code::kPlayer1Up, p);
    EXPECT_EQ(p[0].bounds, (Rect{72, 126, 82, 200}));
    EXPECT_EQ(p[1].bounds, (Rect{184, 160, 194, 198}));
    EXPECT_EQ(p[0].prevBounds, p[0].bounds);
    EXPECT_EQ(p[2].prevBounds, p[2].bounds);

    p[0].bounds.top = 1;  // as an item effect would change it
    MovePaddles(99, p);   // no such code: nothing moves, previous bounds still copied
    EXPECT_EQ(p[0].y, 163);
    EXPECT_EQ(p[0].prevBounds.top, 1);
}

}  // namespace
}  // namespace vx
