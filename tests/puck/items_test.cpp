#include "puck/items.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/game.h"
#include "stage/match_setup.h"
#include "support/test_game.h"

namespace vx {
namespace {

class Items : public ::testing::Test {
  protected:
    void SetUp() override {
        g.GameMode = 2;
        SpareRects spare{};
        SetupMatch(g, r.pucks, r.paddles, r.obstacles, r.sprites, r.item, spare, 1);
    }
    // A frame's item step; its events in events.
    void Step() {
        events = MatchEvents{};
        StepItem(g, r.item, r.pucks, r.paddles, r.sprites, events);
    }
    // The one item event of the last step.
    MatchEvent ItemEvent(MatchEvent::Kind kind, uint8_t itemKind, int16_t owner, bool undone = false) const {
        MatchEvent e{kind};
        e.itemKind = itemKind;
        e.owner = owner;
        e.undone = undone;
        return e;
    }
    // A moving capsule of kind centred at pixel (cx, cy), still.
    void MovingCapsule(uint8_t kind, int cx, int cy) {
        r.item.kind = kind;
        r.item.phase = item_phase::kCapsuleMoving;
        r.item.x = cx * 100;
        r.item.y = cy * 100;
        r.item.vx = 0;
        r.item.vy = 0;
    }
    // Runs frames until the item phase differs from `phase`; returns how many it took.
    int FramesUntilPhaseLeaves(uint8_t phase, int limit) {
        for (int n = 1; n <= limit; ++n) {
            Step();
            if (r.item.phase != phase) return n;
        }
        return -1;
    }
    testing::TestGame t;
    Game& g = t.g();
    MatchRecords r;
    MatchEvents events;
};

TEST_F(Items, ACapsuleNobodyStrikesIsGoneInThe151stFrame) {
    ASSERT_GT(FramesUntilPhaseLeaves(item_phase::kNone, 100000), 0);
    ASSERT_EQ(r.item.phase, item_phase::kCapsuleWaiting);
    EXPECT_EQ(r.item.bounds, (Rect{240, 155, 272, 187}));
    EXPECT_NE(r.item.kind, 0);
    EXPECT_EQ(FramesUntilPhaseLeaves(item_phase::kCapsuleWaiting, 1000), 151);
    EXPECT_EQ(r.item.kind, 0);
}

TEST_F(Items, PlacedKindsComeFromTheStagesListAndAThirdHideBehindTheQuestionMark) {
    int placed = 0, hidden = 0;
    while (placed < 600) {
        r.item.phase = item_phase::kNone;
        Step();
        if (r.item.phase != item_phase::kCapsuleWaiting) continue;
        ++placed;
        const auto end = r.item.allowed.begin() + r.item.allowedCount;
        EXPECT_NE(std::find(r.item.allowed.begin(), end, r.item.kind), end);
        if (r.item.icon == r.sprites[17])
            ++hidden;
        else
            EXPECT_EQ(r.item.icon, r.sprites[r.item.kind + 7]);
    }
    EXPECT_NEAR(hidden / 600.0, 1.0 / 3.0, 0.08);
}

TEST_F(Items, AnEffectLastsExactly300FramesAfterTheAward) {
    MovingCapsule(item_kind::kLostForward, 80, 100);  // left end: player 2 receives it
    Step();
    ASSERT_EQ(r.item.phase, item_phase::kEffect);
    EXPECT_EQ(r.item.owner, 1);
    EXPECT_EQ(r.item.timer, 600);
    EXPECT_EQ(r.paddles[3].kind, 0);
    EXPECT_EQ(FramesUntilPhaseLeaves(item_phase::kEffect, 1000), 301);
    EXPECT_EQ(r.paddles[3].kind, 2);
}

// A capsule reaching the left end goes to player 2 (owner 1), the right end to player 1
// (owner -1), one touching both back paddles to player 2. Every capsule here is hidden
// behind the question mark: the award names the true kind and the receiver.
TEST_F(Items, ACapsuleGoesToThePlayerAttackingItsEndAndShowsItsTrueIcon) {
    const struct {
        uint8_t kind;
        int cx, cy;
        bool touchesBoth;
        int owner, paddle, paddleKind, paddleSign;
    } cases[] = {{item_kind::kBackBoost, 80, 100, false, 1, 2, 2, 1},
                 {item_kind::kBackBoost, 432, 100, false, -1, 0, 2, 1},
                 {item_kind::kLengthDown, 432, 100, false, -1, 2, 1, 1},
                 {item_kind::kShiftChange, 256, 171, true, 1, 3, 2, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << int(c.kind) << " at " << c.cx);
        SetUp();
        if (c.touchesBoth) {
            r.paddles[0].bounds = {250, 160, 260, 180};
            r.paddles[2].bounds = {252, 160, 262, 180};
        }
        MovingCapsule(c.kind, c.cx, c.cy);
        r.item.icon = r.sprites[17];
        Step();
        EXPECT_EQ(r.item.owner, c.owner);
        EXPECT_EQ(r.paddles[c.paddle].kind, c.paddleKind);
        EXPECT_EQ(r.paddles[c.paddle].directionSign, c.paddleSign);
        const int otherBack = c.owner == 1 ? 0 : 2;
        EXPECT_EQ(r.paddles[otherBack].kind, 1) << "a back paddle's usual speed";
        EXPECT_EQ(r.paddles[otherBack].directionSign, 1);
        ASSERT_EQ(events.count, 1);
        EXPECT_EQ(events.list[0],
                  ItemEvent(MatchEvent::Kind::kItemStarted, c.kind, static_cast<int16_t>(c.owner)));
        if (c.kind == item_kind::kBackBoost && c.owner == -1) {
            EXPECT_EQ(r.sprites[4], r.sprites[20]);
        }
    }
}

TEST_F(Items, RestorePaddleCentresTheDefaultLengthOnThePaddlesYOfThatMoment) {
    ApplyItem(g, r.pucks, r.paddles, r.sprites, item_kind::kLengthUp, -1, true);
    r.paddles[1].y = 100;
    ApplyItem(g, r.pucks, r.paddles, r.sprites, item_kind::kLengthUp, -1, false);
    EXPECT_EQ(r.paddles[1].bounds, (Rect{184, 81, 194, 119}));
    EXPECT_EQ(r.paddles[1].halfLength, 19);
    EXPECT_EQ(r.sprites[5], (SpriteSource{20, 0, 10, 38}));
}

// Double's end waits for a frame with a free slot; a puck left in slot 1 moves to slot 0.
TEST_F(Items, DoubleEndsOnlyInAFrameWithAFreeSlotKeepingTheLastPuck) {
    for (int freeSlot : {-1, 0, 1}) {
        SCOPED_TRACE(freeSlot);
        SetUp();
        MovingCapsule(item_kind::kDouble, 80, 100);
        Step();
        ASSERT_EQ(r.pucks.count, 2);
        r.pucks.pucks[0].state = r.pucks.pucks[1].state = puck_state::kInPlay;
        r.pucks.pucks[0].x = 999;
        r.pucks.pucks[1].x = 12345;
        if (freeSlot >= 0) r.pucks.pucks[static_cast<size_t>(freeSlot)].state = puck_state::kFree;
        r.item.timer = 0;
        Step();
        ASSERT_EQ(events.count, 1) << "the name strip goes at once";
        EXPECT_EQ(events.list[0],
                  ItemEvent(MatchEvent::Kind::kItemEnded, item_kind::kDouble, 1, freeSlot >= 0));
        if (freeSlot < 0) {
            EXPECT_EQ(r.item.phase, item_phase::kEffect) << "put off while both pucks play";
            EXPECT_EQ(r.pucks.count, 2);
            continue;
        }
        EXPECT_EQ(r.item.phase, item_phase::kNone);
        EXPECT_EQ(r.pucks.count, 1);
        EXPECT_EQ(r.pucks.pucks[0].x, freeSlot == 0 ? 12345 : 999);
        EXPECT_EQ(r.pucks.pucks[0].state, puck_state::kInPlay);
        EXPECT_EQ(r.pucks.pucks[1].state, puck_state::kFree);
    }
}

}  // namespace
}  // namespace vx
