// The item panel drawn from an item's start and end: the icons beside the players, the
// name strip, Blind's black side, and the gauge.
#include "draw/item_panel.h"

#include <gtest/gtest.h>

#include "core/game.h"
#include "core/stage_tables.h"
#include "draw/item_gauge.h"
#include "platform/surface.h"
#include "support/files.h"
#include "support/match_harness.h"

namespace vx {
namespace {

using testing::CountColour;
using testing::kTableColour;
using testing::ShowsSheet;

// Which sides show a kind's icon while it runs, and that its end leaves the table again;
// Blind's side is black on the screen only, and its end shows the table kept behind it.
TEST(ItemPanel, AStartShowsTheKindsIconsAndStripAndItsEndClearsThem) {
    const struct {
        uint8_t kind;
        int16_t owner;
        bool left, right;
    } cases[] = {{item_kind::kLengthUp, -1, true, false},   {item_kind::kBackBoost, 1, false, true},
                 {item_kind::kPanic, 1, true, true},        {item_kind::kRandomSpeed, -1, true, true},
                 {item_kind::kDouble, -1, true, true},      {item_kind::kBlind, 1, false, true},
                 {item_kind::kShiftChange, -1, true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.kind));
        testing::MatchHarness m;
        Game& g = m.g();
        testing::PaintCodedSheet(g);
        testing::PaintTable(g);
        g.BlindAreas[0] = table::kBlindArea1;
        g.BlindAreas[2] = table::kBlindArea2;
        DrawItemStarted(g, c.kind, c.owner);
        const int icon = 32 * (c.kind - 1) + 2;
        EXPECT_EQ(ShowsSheet(g.MainPict, 77, 293, icon, 428), c.left);
        EXPECT_EQ(ShowsSheet(g.MainPict, 410, 293, icon, 428), c.right);
        EXPECT_TRUE(ShowsSheet(g.MainPict, 175, 323, 0, 15 * (c.kind - 1) + 458));
        const Rect& a = g.BlindAreas[static_cast<size_t>(c.owner + 1)];
        const int w = a.right - a.left, h = a.bottom - a.top;
        if (c.kind == item_kind::kBlind) {
            EXPECT_EQ(CountColour(g.MainPict, a.left, a.top, w, h, kBlack), w * h);
            EXPECT_EQ(CountColour(g.BackPict, a.left, a.top, w, h, kTableColour), w * h);
        }
        DrawItemEnded(g, c.kind, c.owner, true);
        for (int x : {77, 410, 175}) EXPECT_EQ(g.MainPict.Pixel(x, x == 175 ? 323 : 293), kTableColour) << x;
        EXPECT_EQ(CountColour(g.MainPict, a.left, a.top, w, h, kTableColour), w * h);
    }
}

TEST(ItemPanel, TheGaugeShowsTheTimeLeftInSevenPixelSteps) {
    testing::MatchHarness m;
    Game& g = m.g();
    testing::PaintCodedSheet(g);
    testing::PaintTable(g);
    PuckSet pucks;
    pucks.count = 1;
    pucks.pucks[0].bounds = {100, 100, 112, 112};  // above the gauge
    DrawItemGauge(g, 300, pucks);                  // n = 20: 140 pixels full
    EXPECT_TRUE(ShowsSheet(g.MainPict, 117 + 139, 293, 139, 411));
    EXPECT_EQ(g.MainPict.Pixel(117 + 140, 293), kTableColour);
    DrawItemGauge(g, 600, pucks);
    EXPECT_TRUE(ShowsSheet(g.MainPict, 117 + 279, 293, 279, 411));
}

// After a rollback, a jump in a replay or a watcher's catching up, the panel is painted
// again from the item's state: it must show what the frames had drawn, with the table (not
// the empty gauge) under the gauge when no effect runs and over a running gauge's spent steps.
TEST(ItemPanel, ARepaintShowsWhatTheFramesDrew) {
    PuckSet pucks;
    pucks.count = 1;
    pucks.pucks[0].bounds = {100, 100, 112, 112};  // above the gauge: the gauge is drawn whole
    for (const int16_t timer : {-1, 0, 14, 15, 300, 599, 600}) {
        for (const bool running : {false, true}) {
            SCOPED_TRACE(::testing::Message() << "timer " << timer << (running ? " running" : " no effect"));
            testing::MatchHarness m;
            Game& g = m.g();
            testing::PaintCodedSheet(g);
            testing::PaintTable(g);
            ItemRecord item;
            if (running) {
                item.phase = item_phase::kEffect;
                item.kind = item_kind::kLengthUp;
                item.owner = -1;
                item.timer = timer;
                DrawItemStarted(g, item.kind, item.owner);
                if (timer >= 0) DrawItemGauge(g, timer, pucks);
            }
            const Surface drawn = g.MainPict;
            const Box places[] = {
                {77, 293, 28, 28}, {410, 293, 28, 28}, {175, 323, 162, 16}, {117, 293, 280, 15}};
            for (const Box& b : places) BitBlt(g.MainPict, b.x, b.y, b.w, b.h, nullptr, 0, 0, BlitOp::kBlack);
            RepaintItemPanel(g, item);
            for (const Box& b : places)
                EXPECT_EQ(testing::CountDifferingPixels(drawn, g.MainPict, b.x, b.y, b.w, b.h), 0)
                    << b.x << "," << b.y;
        }
    }
}

}  // namespace
}  // namespace vx
