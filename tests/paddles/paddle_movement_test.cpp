#include "paddles/paddle_movement.h"

#include <gtest/gtest.h>

#include <array>

#include "core/game.h"
#include "support/scripted_game.h"

namespace vx {
namespace {

struct PaddleTest : ::testing::Test {
    testing::ScriptedGame t;
    MatchRecords r = t.Setup(1, 2);
    Paddles& p = r.paddles;
    void Hold(bool a, bool z) {
        t.g().KeyFlags[0] = static_cast<bool>(a);
        t.g().KeyFlags[1] = static_cast<bool>(z);
    }
    void Frame() { MovePaddlesFromKeys(t.g().KeyFlags, p); }
};

// Which paddles each held key set moves, over a few frames: 8 pixels a frame, the front
// paddle of a side mirrored against its back paddle, down to the bottom limit.
TEST_F(PaddleTest, HeldKeysMoveTheirSidesPaddles) {
    const struct {
        std::array<bool, 4> keys;  // A, Z, key 226, key 221
        int frames;
        int32_t y0, y1, y2, y3;
    } cases[] = {
        {{true, false, false, false}, 1, 163, 179, 171, 171},  // A: player 1 up
        {{true, false, false, false}, 8, 107, 235, 171, 171},
        {{true, false, false, false}, 20, 99, 243, 171, 171},  // to the top limit
        {{true, true, false, false}, 2, 171, 171, 171, 171},   // A and Z together: nothing
        {{false, true, false, false}, 20, 243, 99, 171, 171},  // Z to the bottom limit
        {{false, false, false, true}, 1, 171, 171, 163, 179},  // 221: player 2 up
        {{false, false, true, false}, 2, 171, 171, 187, 155},  // 226: player 2 down
    };
    for (const auto& c : cases) {
        r = t.Setup(1, 2);
        for (size_t k = 0; k < 4; ++k) t.g().KeyFlags[k] = static_cast<bool>(c.keys[k]);
        for (int i = 0; i < c.frames; ++i) Frame();
        EXPECT_EQ((std::array<int32_t, 4>{p[0].y, p[1].y, p[2].y, p[3].y}),
                  (std::array<int32_t, 4>{c.y0, c.y1, c.y2, c.y3}));
    }
    EXPECT_EQ(p[2].bounds.bottom, 187 + 37);
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
