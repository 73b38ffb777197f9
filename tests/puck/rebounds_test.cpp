#include "puck/rebounds.h"

#include <gtest/gtest.h>

#include "core/game.h"
#include "support/scripted_game.h"

namespace vx {
namespace {

using testing::LivePuck;
using testing::ScriptedGame;

Puck Moving(int32_t vx, int32_t vy) {
    return LivePuck(25600, 17100, vx, vy);
}

ItemRecord WithKind(uint8_t kind) {
    ItemRecord item;
    item.kind = kind;
    return item;
}

// --- shared rules ---

TEST(RandomSign, PlusOneBelowFourTenthsAndReseedsFirst) {
    ScriptedGame t;
    t.random.Queue({0.0f, 0.39f, 0.4f, 0.99f});
    EXPECT_EQ(RandomSign(t.g()), 1);
    EXPECT_EQ(RandomSign(t.g()), 1);
    EXPECT_EQ(RandomSign(t.g()), -1);
    EXPECT_EQ(RandomSign(t.g()), -1);
    EXPECT_EQ(t.random.Reseeds(), 4);
}

// A kick multiplies the puck's speed (from the square-root table, indexed by s2) by the
// rate, halves to even, and keeps it between the floor 200 and the limit 500 (540 under
// Panic). Every value worked out by hand.
TEST(SpeedRules, KicksFollowTheRateTableRoundHalvesToEvenAndStayInsideTheLimits) {
    const ItemRecord none, panic = WithKind(item_kind::kPanic);
    const struct {
        int32_t vx, vy, rate;
        const ItemRecord* item;
        int32_t speed;
    } kicks[] = {
        {0, 0, 150, &none, 200},    {100, 0, 150, &none, 200},   {200, 0, 150, &none, 300},
        {0, -300, 150, &none, 450}, {347, 0, 150, &none, 500},  // s2 = 12: 519 is over the limit
        {200, 0, 180, &none, 360},  {300, 400, 150, &none, 500}, {300, 400, 150, &panic, 540},
        {283, 0, 150, &none, 424},  // s2 = 8: 1.5 x 283 = 424.5 goes to the even 424
        {142, 0, 150, &none, 212},  // s2 = 2: 1.5 x 141 = 211.5 goes to 212
    };
    for (const auto& k : kicks)
        EXPECT_EQ(KickSpeed(Moving(k.vx, k.vy), k.rate, *k.item), k.speed)
            << k.vx << ", " << k.vy << " x" << k.rate;
    const struct {
        int32_t in;
        const ItemRecord* item;
        int32_t out;
    } clamps[] = {{-5, &none, 200},  {201, &none, 201},  {499, &none, 499},
                  {520, &none, 500}, {520, &panic, 520}, {900, &panic, 540}};
    for (const auto& c : clamps) EXPECT_EQ(ClampSpeed(c.in, *c.item), c.out) << c.in;
}

TEST(Reflect, MirrorsInFlatAndDiagonalLines) {
    Puck p = Moving(120, -250);
    Reflect(p, 0);
    EXPECT_EQ(p.vx, 120);
    EXPECT_EQ(p.vy, 250);
    p = Moving(120, -250);
    Reflect(p, 100);
    EXPECT_EQ(p.vx, -250);
    EXPECT_EQ(p.vy, 120);
}

TEST(Reflect, FloorsRatherThanTruncates) {
    Puck p = Moving(-100, 0);
    Reflect(p, 33);  // exact result (-80.36, -59.52)
    EXPECT_EQ(p.vx, -81);
    EXPECT_EQ(p.vy, -60);
}

TEST(Within, IncludesTheBoundaryAndSurvivesTableWideDistances) {
    EXPECT_EQ(Within({0, 0}, {600, 0}, 600), true);
    EXPECT_EQ(Within({0, 0}, {360, 480}, 600), true);
    EXPECT_EQ(Within({0, 0}, {361, 480}, 600), false);
    EXPECT_EQ(Within({0, 0}, {51200, 34200}, 600), false);
}

// --- walls ---

Wall MakeWall(Rect b, int16_t facing, int16_t kind) {
    Wall w;
    w.bounds = b;
    w.facing = facing;
    w.kind = kind;
    ComputeWallLine(w);
    return w;
}

TEST(SegmentRebound, StraightFacesTurnOnlyPucksMovingIntoThem) {
    const Wall floorFace = MakeWall({106, 89, 146, 95}, 1, 10);
    Puck down = LivePuck(12600, 8900, 150, 300);
    SegmentRebound(down, floorFace);
    EXPECT_EQ(down.vy, -300);
    Puck up = LivePuck(12600, 8900, 150, -300);
    SegmentRebound(up, floorFace);
    EXPECT_EQ(up.vy, -300);

    const Wall sideFace = MakeWall({60, 113, 66, 230}, -1, -10);
    Puck left = LivePuck(6800, 15000, -300, 100);
    SegmentRebound(left, sideFace);
    EXPECT_EQ(left.vx, 300);
    Puck right = LivePuck(6800, 15000, 300, 100);
    SegmentRebound(right, sideFace);
    EXPECT_EQ(right.vx, 300);
}

TEST(SegmentRebound, SlopedFaceReflectsOnlyWhenCloseAndMovingIn) {
    const Wall slope = MakeWall({76, 61, 136, 81}, -1, -1);  // y = 0.33x + 35.66, facing down
    ASSERT_EQ(slope.slope, 33);
    Puck rising = LivePuck(10000, 7200, 0, -300);  // 3 pixels below the line
    SegmentRebound(rising, slope);
    EXPECT_GT(rising.vy, 0);
    EXPECT_NE(rising.vx, 0);

    Puck falling = LivePuck(10000, 7200, 0, 300);
    SegmentRebound(falling, slope);
    EXPECT_EQ(falling.vy, 300);

    Puck far = LivePuck(10000, 7700, 0, -300);  // 8 pixels below: further than the radius
    SegmentRebound(far, slope);
    EXPECT_EQ(far.vy, -300);
}

// --- bumpers ---

TEST(BumperRebound, PlacesThePuckOnTheContactCircleAndKicksIt) {
    ScriptedGame t;
    Bumper top{18900, 6900, 1, 8};
    Puck p = LivePuck(18900, 8200, 0, -300);
    // direction index 13 (45°), then a +1 sign for c; the vertical sign comes from the bumper
    t.random.Queue({0.13f, 0.1f});
    BumperRebound(t.g(), p, top, ItemRecord{});
    EXPECT_EQ(p.x, 14 * 71 + 18900);
    EXPECT_EQ(p.y, 14 * 71 + 6900);
    EXPECT_EQ(p.vx, 213);
    EXPECT_EQ(p.vy, 213);
    EXPECT_EQ(t.random.Draws(), 2);
}

TEST(BumperRebound, MiddleBumpersPickTheVerticalSideAtRandom) {
    ScriptedGame t;
    Bumper middle{25600, 11900, 0, 8};
    Puck p = LivePuck(25600, 10600, 0, 300);
    t.random.Queue({0.13f, 0.9f, 0.9f});
    BumperRebound(t.g(), p, middle, ItemRecord{});
    EXPECT_EQ(p.vx, -213);
    EXPECT_EQ(p.vy, -213);
    EXPECT_EQ(p.y, 11900 - 14 * 71);
}

// --- paddles ---

Paddle RightBack() {
    Paddle p{171, 435, 37, paddle_kind::kFixed300, {430, 134, 440, 208}, {}, 1};
    return p;
}

TEST(PaddleRebound, CentreHitLeavesStraightAndEndHitAt58Degrees) {
    ScriptedGame t;
    MatchEvents events;
    Puck centre = LivePuck(42950, 17150, 300, 40);
    PaddleRebound(t.g(), centre, RightBack(), ItemRecord{}, events);
    EXPECT_EQ(centre.vx, -300);
    EXPECT_EQ(centre.vy, 0);
    EXPECT_EQ(centre.x, 42650);  // moved once more by the new velocity

    Puck end = LivePuck(42950, 21350, 300, 0);  // 42 pixels below the centre
    PaddleRebound(t.g(), end, RightBack(), ItemRecord{}, events);
    EXPECT_EQ(end.vx, -159);  // 300 × cos 58°
    EXPECT_EQ(end.vy, 255);   // 300 × sin 58°, downward on the lower half

    Puck upper = LivePuck(42950, 12950, 300, 0);
    PaddleRebound(t.g(), upper, RightBack(), ItemRecord{}, events);
    EXPECT_EQ(upper.vy, -255);
    EXPECT_EQ(events.count, 3);
    for (const MatchEvent& e : events) EXPECT_EQ(e.sound, match_sound::kPaddleHit);
}

TEST(PaddleRebound, BackPaddleReturnsSlowAndFastAlikeAt300) {
    ScriptedGame t;
    MatchEvents events;
    Puck slow = LivePuck(42950, 17150, 50, 0);
    Puck fast = LivePuck(42950, 17150, 500, 0);
    PaddleRebound(t.g(), slow, RightBack(), ItemRecord{}, events);
    PaddleRebound(t.g(), fast, RightBack(), ItemRecord{}, events);
    EXPECT_EQ(slow.vx, -300);
    EXPECT_EQ(fast.vx, -300);
}

TEST(PaddleRebound, FrontPaddleKicksAStandingPuckAtTheFloorSpeed) {
    ScriptedGame t;
    MatchEvents events;
    Paddle front{171, 323, 19, paddle_kind::kKick150, {318, 152, 328, 190}, {}, 1};
    Puck p = LivePuck(31700, 17150, 0, 0);
    PaddleRebound(t.g(), p, front, ItemRecord{}, events);
    EXPECT_EQ(p.vx, -200);
}

TEST(PaddleRebound, CentreLineWithoutSidewaysSpeedLeavesTowardTheOpponent) {
    ScriptedGame t;
    MatchEvents events;
    // Near the paddle's end: a puck straddling the middle of its line meets no corner.
    Puck onRight = LivePuck(43550, 21150, 0, 300);
    PaddleRebound(t.g(), onRight, RightBack(), ItemRecord{}, events);
    EXPECT_LT(onRight.vx, 0);

    Paddle leftBack{171, 77, 37, paddle_kind::kFixed300, {72, 134, 82, 208}, {}, 1};
    Puck onLeft = LivePuck(7750, 21150, 0, 300);
    PaddleRebound(t.g(), onLeft, leftBack, ItemRecord{}, events);
    EXPECT_GT(onLeft.vx, 0);

    Puck moving = LivePuck(43550, 21150, -120, 0);  // on the line, moving: turns back
    PaddleRebound(t.g(), moving, RightBack(), ItemRecord{}, events);
    EXPECT_GT(moving.vx, 0);
}

TEST(PaddleRebound, RandomKindDrawsASpeedFrom200To499) {
    ScriptedGame t;
    MatchEvents events;
    Paddle random = RightBack();
    random.kind = paddle_kind::kRandom;
    t.random.Queue({0.99999f});
    Puck p = LivePuck(42950, 17150, 300, 0);
    PaddleRebound(t.g(), p, random, ItemRecord{}, events);
    EXPECT_EQ(p.vx, -(200 + 10000 % 300));
}

TEST(PaddleRebound, AbsentOrMissedPaddleChangesNothing) {
    ScriptedGame t;
    MatchEvents events;
    Paddle absent = RightBack();
    absent.kind = paddle_kind::kAbsent;
    Puck p = LivePuck(42950, 17150, 300, 0);
    const Puck before = p;
    PaddleRebound(t.g(), p, absent, ItemRecord{}, events);
    EXPECT_EQ(p, before);
    Puck far = LivePuck(40000, 17150, 300, 0);
    const Puck farBefore = far;
    PaddleRebound(t.g(), far, RightBack(), ItemRecord{}, events);
    EXPECT_EQ(far, farBefore);
    EXPECT_EQ(events.count, 0);
}

}  // namespace
}  // namespace vx
