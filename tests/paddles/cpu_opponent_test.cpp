#include "paddles/cpu_opponent.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/game.h"
#include "stage/match_setup.h"
#include "support/scripted_game.h"
#include "support/test_game.h"

namespace vx {
namespace {

using testing::LivePuck;

struct CpuTest : ::testing::Test {
    testing::ScriptedGame t;
    MatchRecords r = t.Setup(1);
    void Turn(uint8_t difficulty = 35) {
        CpuTurn(t.g(), r.pucks, r.paddles, r.obstacles, difficulty, r.sprites, r.item);
    }
    void Put(int slot, int32_t x, int32_t y, int32_t vx, int32_t vy) {
        r.pucks.pucks[slot] = LivePuck(x, y, vx, vy);
        if (r.pucks.count <= slot) r.pucks.count = static_cast<uint8_t>(slot + 1);
    }
};

// Bursting pucks and a puck exactly on the front paddle's edge line are in no list: the
// paddles walk back to the centre (171) 8 pixels a frame and no random number is drawn.
TEST_F(CpuTest, WithNoCountingPuckThePaddlesWalkBackToCentreWithoutDrawing) {
    const struct {
        int32_t x;
        int16_t state;
    } cases[] = {{40000, 12}, {31800, 1}};
    for (const auto& c : cases) {
        r = t.Setup(1);
        r.paddles[2].y = 211;
        r.paddles[3].y = 131;
        Put(0, c.x, 10000, 100, 0);
        r.pucks.pucks[0].state = c.state;
        std::vector<int32_t> ys;
        for (int frame = 0; frame < 7; ++frame) {
            Turn();
            ys.push_back(r.paddles[2].y);
        }
        EXPECT_EQ(ys, (std::vector<int32_t>{203, 195, 187, 179, 171, 171, 171})) << c.x;
        EXPECT_EQ(r.paddles[3].y, 171) << c.x;
    }
    EXPECT_EQ(t.random.Draws(), 0);
}

// The back paddle (centre 171, half length 37) moves up 8 when the predicted y leaves its
// span at the top edge, unless the draw (0..99) is at or below the difficulty.
TEST_F(CpuTest, BackPaddleMovesWhenThePredictionLeavesItsSpanAndTheDrawBeatsTheDifficulty) {
    const struct {
        int32_t y;
        float draw;
        int32_t after;
    } cases[] = {
        {13450, 0.99f, 163}, {13550, 0.99f, 171}, {10000, 35.5f / 99, 171}, {10000, 36.5f / 99, 163}};
    for (const auto& c : cases) {
        r = t.Setup(1);
        Put(0, 40000, c.y, 100, 0);
        t.random.SetFallback(c.draw);
        Turn(35);
        EXPECT_EQ(r.paddles[2].y, c.after) << c.y << " draw " << c.draw;
    }
}

TEST_F(CpuTest, IncomingPuckOutranksAnApproachingOne) {
    t.random.SetFallback(0.99f);
    Put(0, 28000, 10000, 100, 0);  // approaching, far above the front paddle: would move
    Put(1, 40000, 17100, 100, 0);  // incoming, inside the back paddle's span: no move
    Turn();
    EXPECT_EQ(r.paddles[2].y, 171);
    EXPECT_EQ(r.paddles[3].y, 171);
    EXPECT_EQ(t.random.Draws(), 1);
}

TEST_F(CpuTest, FurthestRightIncomingPuckDecides) {
    t.random.SetFallback(0.99f);
    Put(0, 35000, 10000, 100, 0);
    Put(1, 38000, 25000, 100, 0);
    Turn();
    EXPECT_EQ(r.paddles[2].y, 179);  // follows slot 1 down
    Puck result;
    PuckList both;
    both.Add(0);
    both.Add(1);
    EXPECT_EQ(LookAheadPucks(t.g(), both, r.pucks, r.obstacles, result, r.paddles, r.sprites, r.item), 250);
    EXPECT_EQ(result.x, 38300);
}

TEST_F(CpuTest, OutgoingPuckInTheUpperHalfDrivesTheFrontPaddleTo211) {
    t.random.SetFallback(0.99f);
    Put(0, 40000, 17100, -100, 0);  // predicted 171: upper rule
    for (int frame = 0; frame < 8; ++frame) Turn();
    EXPECT_EQ(r.paddles[3].y, 211);
    EXPECT_EQ(r.paddles[2].y, 131);
}

TEST_F(CpuTest, LookAheadLeavesEveryLivePuckUnchanged) {
    t.random.SetFallback(0.99f);
    Put(0, 40000, 6800, 400, -300);  // will meet the top edge in the look-ahead
    Put(1, 30000, 20000, 200, 100);
    const PuckSet before = r.pucks;
    Turn();
    EXPECT_EQ(r.pucks, before);
    EXPECT_EQ(t.g().SimulationFlag, true);  // until the next real step clears it
}

}  // namespace
}  // namespace vx
