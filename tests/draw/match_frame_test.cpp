#include "draw/match_frame.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "draw/match_panel.h"
#include "match/match_events_output.h"
#include "match/rules.h"
#include "puck/items.h"
#include "puck/puck_motion.h"
#include "stage/match_setup.h"
#include "support/match_harness.h"

namespace vx {
namespace {

using testing::CountColour;
using testing::kTableColour;
using testing::MatchHarness;
using testing::ShowsSheet;

constexpr int LargeDigit(int d) {
    return 40 + 28 * d;
}

class MatchFrame : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::PaintCodedSheet(g);
        testing::PaintTable(g);
        g.GameMode = 2;
        SpareRects spare{};
        SetupMatch(g, r.pucks, r.paddles, r.obstacles, r.sprites, r.item, spare, 1);
    }
    // A frame's clock count and its drawing.
    void Draw() {
        CountFrameClock(g);
        DrawFrame(g, r.pucks, r.paddles, r.item, r.sprites);
    }
    void Erase() { EraseFrame(g, r.pucks, r.paddles, r.item, r.sprites); }
    void PutPuck(int slot, int16_t state, int cx, int cy, int radius) {
        Puck& p = r.pucks.pucks[static_cast<size_t>(slot)];
        p.state = state;
        p.radius = radius;
        p.x = cx * 100;
        p.y = cy * 100;
        p.bounds = {cx - radius, cy - radius, cx + radius, cy + radius};
    }
    MatchHarness m;
    Game& g = m.g();
    MatchRecords r;
};

// How often the clock counts is pinned by the whole-match tests (3,600 frames in 120 s,
// none under the score rule); here where its digits go.
TEST_F(MatchFrame, TheClockDrawsTwoDigitsThenOneCentredDigitAndTheOldDigitsAreGone) {
    g.RuleKind = 1;
    g.TimeLeft = 100;
    g.ClockTick = 1;
    Draw();
    EXPECT_TRUE(ShowsSheet(g.MainPict, 265, 14, LargeDigit(9), 25));
    EXPECT_TRUE(ShowsSheet(g.MainPict, 295, 14, LargeDigit(9), 25));
    g.TimeLeft = 10;
    g.ClockTick = 1;
    DrawClockDigit(g, 265, 1);
    Draw();
    EXPECT_EQ(g.TimeLeft, 9);
    EXPECT_TRUE(ShowsSheet(g.MainPict, 280, 14, LargeDigit(9), 25));
    EXPECT_EQ(g.MainPict.Pixel(265, 14), kTableColour);
}

TEST_F(MatchFrame, APuckAtTheEndOfItsBurstIsFreedWithoutALastPicture) {
    PutPuck(0, puck_state::kBurstDone, 200, 150, 16);
    FreeFinishedBursts(r.pucks);
    Draw();
    EXPECT_EQ(r.pucks.pucks[0].state, puck_state::kFree);
    EXPECT_EQ(r.pucks.pucks[0].prevBounds, r.pucks.pucks[0].bounds);
    EXPECT_EQ(g.MainPict.Pixel(200, 150), kTableColour);
}

TEST_F(MatchFrame, AnyPuckTouchingTheTopWallMakesTheEraseRedrawBothScores) {
    r.pucks.count = 3;
    PutPuck(2, puck_state::kInPlay, 256, 67, 6);  // top at 61
    r.pucks.pucks[2].prevBounds = r.pucks.pucks[2].bounds;
    m.host.ClearPresented();
    Erase();
    const auto& shown = m.host.Presented();
    EXPECT_NE(std::find(shown.begin(), shown.end(), HeadlessHost::Area{93, 22, 23, 24}), shown.end());
    EXPECT_NE(std::find(shown.begin(), shown.end(), HeadlessHost::Area{397, 22, 23, 24}), shown.end());
}

TEST_F(MatchFrame, AnAbsentPaddleIsErasedButNotDrawn) {
    Draw();
    ASSERT_TRUE(ShowsSheet(g.MainPict, 184, 171, 20, 19));  // front paddle 1's look
    r.paddles[1].kind = 0;
    r.paddles[1].prevBounds = r.paddles[1].bounds;
    Erase();
    Draw();
    EXPECT_EQ(g.MainPict.Pixel(184, 171), kTableColour);
}

TEST_F(MatchFrame, BlindKeepsItsAreaBlackOnScreenWhileTheBackBufferKeepsTheTableUntilItEnds) {
    r.item.kind = item_kind::kBlind;
    r.item.phase = item_phase::kEffect;
    r.item.timer = 300;
    r.item.owner = 1;
    PutPuck(0, puck_state::kInPlay, 390, 150, 6);
    const Rect area = g.BlindAreas[2];
    const int w = area.right - area.left, h = area.bottom - area.top;
    for (int frame = 0; frame < 3; ++frame) {
        Erase();
        Draw();
        EXPECT_EQ(CountColour(g.MainPict, area.left, area.top, w, h, kBlack), w * h);
        // Neither paddle 2 nor the puck was drawn into the hidden area.
        EXPECT_EQ(CountColour(g.BackPict, area.left, area.top, w, h, kTableColour), w * h);
    }
    // Player 1's side and player 2's front paddle stay visible.
    EXPECT_TRUE(ShowsSheet(g.MainPict, 72, 171, 0, 37));
    EXPECT_TRUE(ShowsSheet(g.MainPict, 318, 171, 20, 19));
    r.item.timer = 0;
    MatchEvents events;
    StepItem(g, r.item, r.pucks, r.paddles, r.sprites, events);
    OutputMatchEvents(g, events, event_output::kAll);
    EXPECT_EQ(r.item.phase, item_phase::kNone);
    EXPECT_EQ(g.MainPict.Pixel(400, 100), kTableColour) << "the end shows the back buffer again";
}

}  // namespace
}  // namespace vx
