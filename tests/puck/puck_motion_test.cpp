#include "puck/puck_motion.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "core/game.h"
#include "support/scripted_game.h"

namespace vx {
namespace {

using testing::LivePuck;
using testing::ScriptedGame;

// A puck that lands on (x, y) after its next move.
Puck Arriving(int32_t x, int32_t y, int32_t vx, int32_t vy) {
    Puck p = LivePuck(x - vx, y - vy, vx, vy);
    return p;
}

struct MotionTest : ::testing::Test {
    ScriptedGame t;
    MatchRecords r = t.Setup(1);
    MatchEvents events;
    bool Step(Puck& p) {
        t.g().SimulationFlag = false;
        return StepPuck(t.g(), p, r.paddles, r.obstacles, r.item, events);
    }
};

// --- edges ---

// The edges lie at 61 and 282; a puck of radius 6 arriving at y 67 or 276 touches one.
TEST_F(MotionTest, TheEdgesTurnOnlyAPuckMovingIntoThem) {
    const struct {
        int32_t y, vy, vyAfter;
    } cases[] = {
        {27600, 200, -200}, {27600, -200, -200}, {27599, 200, 200}, {6700, -200, 200}, {6700, 200, 200}};
    for (const auto& c : cases) {
        Puck p = Arriving(25600, c.y, 100, c.vy);
        Step(p);
        EXPECT_EQ(p.vy, c.vyAfter) << c.y << " moving " << c.vy;
    }
}

// --- bursts ---

TEST_F(MotionTest, BurstPuckDriftsAtTwoThirdsNeverScoresNorRebounds) {
    Puck p = LivePuck(44000, 6800, 300, -150);
    SetBurst(p, events);
    EXPECT_EQ(p.state, 10);
    EXPECT_EQ(p.radius, 16);
    EXPECT_EQ(p.vx, 200);
    EXPECT_EQ(p.vy, -100);
    for (int16_t expected = 11; expected <= 18; ++expected) {
        EXPECT_FALSE(Step(p));
        EXPECT_EQ(p.state, expected);
    }
    EXPECT_EQ(p.x, 44000 + 8 * 200);  // past the goal line, past the top edge, untouched
    EXPECT_EQ(p.y, 6800 - 8 * 100);
    EXPECT_EQ(p.vy, -100);
    EXPECT_EQ(t.g().Scores, (std::array<uint8_t, 2>{0, 0}));
}

TEST_F(MotionTest, BurstRoundsItsSpeedAndPictureToEven) {
    Puck p = LivePuck(44650, 7050, 3, -3);  // 3 / 1.5 = 2 exactly; 446.5 - 16 = 430.5 → 430
    SetBurst(p, events);
    EXPECT_EQ(p.vx, 2);
    EXPECT_EQ(p.vy, -2);
    EXPECT_EQ(p.bounds, (Rect{430, 54, 462, 86}));
    Puck q = LivePuck(25600, 17100, 9, 0);  // 9 / 1.5 = 6
    SetBurst(q, events);
    EXPECT_EQ(q.vx, 6);
    EXPECT_EQ(events.count, 2);
    for (const MatchEvent& e : events)
        EXPECT_EQ(e, (MatchEvent{MatchEvent::Kind::kSound, match_sound::kBurst}));
}

// --- goals ---

// A goal when the puck's edge reaches x 446 (player 1 scores) or 66 (player 2 scores).
TEST_F(MotionTest, GoalLinesScoreExactlyAtTheThresholdsAndScoresStopAt255) {
    const struct {
        int32_t x, vx;
        bool goal;
    } cases[] = {{44000, 300, true}, {43999, 300, false}, {7200, -300, true}, {7201, -300, false}};
    for (const auto& c : cases) {
        Puck p = LivePuck(c.x, 17100, c.vx, 0);
        EXPECT_EQ(CheckGoal(t.g(), p, events), c.goal) << c.x;
        EXPECT_EQ(p.state, c.goal ? 10 : 1) << c.x;
    }
    EXPECT_EQ(t.g().Scores, (std::array<uint8_t, 2>{1, 1}));
    t.g().Scores = {254, 255};
    for (int32_t x : {44000, 44000, 7200}) {
        Puck p = LivePuck(x, 17100, x > 25600 ? 300 : -300, 0);
        CheckGoal(t.g(), p, events);
    }
    EXPECT_EQ(t.g().Scores, (std::array<uint8_t, 2>{255, 255}));
}

TEST_F(MotionTest, SimulatedStepCountsNoGoalAndIgnoresPaddles) {
    Puck p = Arriving(44500, 17100, 300, 0);
    t.g().SimulationFlag = true;
    EXPECT_TRUE(StepPuck(t.g(), p, r.paddles, r.obstacles, r.item, events));
    EXPECT_EQ(p.state, 1);
    EXPECT_EQ(p.vx, 300);  // paddle 2 at 435 not met either
    EXPECT_EQ(t.g().Scores, (std::array<uint8_t, 2>{0, 0}));
    EXPECT_EQ(events.count, 0);
}

TEST(CornerPostStage, EndsAreWallsAndPostsScore) {
    ScriptedGame t;
    t.Setup(3);
    MatchEvents events;
    ASSERT_EQ(t.g().CornerPosts.count, 4);
    // A puck edge past x 466 or 46: the end turns it, whichever way it was moving.
    const struct {
        int32_t x, vx, vxAfter;
    } ends[] = {{46000, 300, -300}, {45999, 300, 300}, {5200, -300, 300}, {46000, -300, 300}};
    for (const auto& c : ends) {
        Puck p = LivePuck(c.x, 17100, c.vx, 0);
        EXPECT_FALSE(CheckGoal(t.g(), p, events)) << c.x;
        EXPECT_EQ(p.vx, c.vxAfter) << c.x << " moving " << c.vx;
    }
    EXPECT_EQ(t.g().Scores, (std::array<uint8_t, 2>{0, 0}));

    Puck onPlayer2Post = LivePuck(38100, 8500, 100, -100);
    EXPECT_TRUE(CheckGoal(t.g(), onPlayer2Post, events));
    Puck onPlayer1Post = LivePuck(13100, 25800, -100, 100);
    EXPECT_TRUE(CheckGoal(t.g(), onPlayer1Post, events));
    EXPECT_EQ(t.g().Scores, (std::array<uint8_t, 2>{1, 1}));
}

// --- puck against puck ---

struct ThreePucks : ::testing::Test {
    ScriptedGame t;
    MatchRecords r = t.Setup(5);
    void Place(int slot, int32_t x) { r.pucks.pucks[slot] = LivePuck(x, 17100, 0, 0); }
    void Run() {
        r.obstacles.wallCount = 0;  // the centre block would get in the way of still pucks
        MatchEvents events;
        StepPucks(t.g(), r.pucks, r.paddles, r.obstacles, r.item, events);
    }
    int16_t State(int slot) const { return r.pucks.pucks[slot].state; }
};

// Pucks of radius 6 touch 600 hundredths apart; only the first touching pair bursts.
TEST_F(ThreePucks, TheFirstCollidingPairBurstsAndStopsTheTest) {
    const struct {
        int32_t x0, x1, x2;
        int16_t s0, s1, s2;
    } cases[] = {{25000, 25300, 25600, 10, 10, 1}, {20000, 25000, 25600, 1, 10, 10}};
    for (const auto& c : cases) {
        r = t.Setup(5);
        Place(0, c.x0);
        Place(1, c.x1);
        Place(2, c.x2);
        Run();
        EXPECT_EQ(State(0), c.s0);
        EXPECT_EQ(State(1), c.s1);
        EXPECT_EQ(State(2), c.s2);
    }
}

// --- serving ---

TEST(Serve, TwoFreeSlotsLeaveFromOppositePointsMirrored) {
    ScriptedGame t;
    MatchRecords r = t.Setup(1);
    r.pucks.count = 2;
    // a = +1, b = -1; each serve: direction 13 (45°), speed sign +1, speed 300
    t.random.Queue({0.1f, 0.9f, 0.13f, 0.1f, 0.0f, 0.13f, 0.1f, 0.0f});
    ServePucks(t.g(), r.pucks);
    const Puck& first = r.pucks.pucks[0];
    const Puck& second = r.pucks.pucks[1];
    EXPECT_EQ(Point(first.x, first.y), (Point{25600, 7300}));
    EXPECT_EQ(Point(second.x, second.y), (Point{25600, 26900}));
    EXPECT_EQ(first.vx, -213);
    EXPECT_EQ(first.vy, 213);
    EXPECT_EQ(second.vx, 213);
    EXPECT_EQ(second.vy, -213);
    EXPECT_EQ(first.state, 1);
    EXPECT_EQ(first.bounds, (Rect{250, 67, 262, 79}));
    EXPECT_EQ(r.pucks.pucks[2].state, 0);  // beyond count: never served
}

TEST(Serve, DirectionStaysBetween15And66DegreesAndSpeedIn250To349) {
    ScriptedGame t;
    Puck steep;
    t.random.Queue({0.0f, 0.1f, 0.99f});  // index 0 raised to 3; 300 + 49
    ServePuck(t.g(), steep, {25600, 7300}, {25600, 26900}, 1, 1);
    EXPECT_EQ(steep.vy, 338);  // 349 × 97 / 100, floored
    EXPECT_EQ(steep.vx, 90);   // 349 × 26 / 100
    Puck flat;
    t.random.Queue({0.22f, 0.9f, 0.99f});  // index 22 lowered to 20; 300 - 50
    ServePuck(t.g(), flat, {25600, 7300}, {25600, 26900}, -1, 1);
    EXPECT_EQ(flat.y, 26900);
    EXPECT_EQ(flat.vy, -102);  // 250 × 41 / 100
    EXPECT_EQ(flat.vx, 227);   // 250 × 91 / 100
}

// --- a puck going straight up and down ---

TEST_F(MotionTest, VerticalOnlyPuckGetsASidewaysDriftAfterThreeReversals) {
    Puck p = LivePuck(25600, 17100, 0, 400);
    t.random.SetFallback(0.9f);  // RandomSign: -1
    int reversals = 0;
    int32_t lastVy = p.vy;
    while (p.vx == 0 && reversals < 10) {
        Step(p);
        if ((p.vy > 0) != (lastVy > 0)) ++reversals;
        lastVy = p.vy;
    }
    EXPECT_EQ(reversals, 3);
    EXPECT_EQ(p.vx, -bounce_rule::kDriftSpeed);
    EXPECT_EQ(p.bounceCounter, 0);
}

}  // namespace
}  // namespace vx
