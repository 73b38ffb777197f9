#include "draw/buttons.h"

#include <gtest/gtest.h>

#include "draw/menu_buttons.h"
#include "support/match_harness.h"

namespace vx {
namespace {

using testing::kTableColour;
using testing::MatchHarness;
using testing::ShowsSheet;

class Buttons : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::PaintCodedSheet(g);
        testing::PaintTable(g);
        for (uint8_t n = 1; n <= kMenuButtonCount; ++n) InitMenuButton(g, n);
    }
    MatchHarness m;
    Game& g = m.g();
};

TEST_F(Buttons, DrawnWithOffsetOnePixelSmallerThanTheHitRectangleAndPresented) {
    DrawButton(g, button::kRetry, 1);
    // RETRY: image from (0 + 80, 593), 136 x 28 at (192, 119).
    EXPECT_TRUE(ShowsSheet(g.MainPict, 192, 119, 80, 593));
    EXPECT_TRUE(ShowsSheet(g.MainPict, 327, 146, 80 + 135, 593 + 27));
    EXPECT_EQ(g.MainPict.Pixel(328, 147), kTableColour);
    EXPECT_EQ(m.host.Presented().back(), (HeadlessHost::Area{192, 119, 136, 28}));
    EXPECT_EQ(m.host.RefreshCount(), 1u);
}

TEST_F(Buttons, WithoutPresentOnlyTheBackBufferChanges) {
    const Surface mainBefore = g.MainPict;
    DrawButton(g, button::kOpening, 0);
    EXPECT_EQ(g.MainPict, mainBefore);
    EXPECT_TRUE(ShowsSheet(g.BackPict, 177, 192, 65, 649));
    EXPECT_TRUE(m.host.Presented().empty());
}

TEST_F(Buttons, ANewLookReplacesTheOldOneCompletely) {
    // Make the hover look partly transparent: whatever it leaves uncovered must be table.
    for (int x = 296; x < 296 + 296; ++x) g.Mask.SetPixel(x, 621, kWhite);
    g.Pict.SetPixel(296, 621, kWhite);
    DrawButton(g, button::kStageSelect, 1);
    DrawButton(g, button::kStageSelectHover, 1);
    EXPECT_EQ(g.MainPict.Pixel(112, 156), kTableColour);
    EXPECT_TRUE(ShowsSheet(g.MainPict, 112, 157, 296, 622));
}

TEST_F(Buttons, ARectanglePastTheRightEdgeIsDrawnClippedAndKeptAsStored) {
    DrawButton(g, button::kReturn, 1);
    EXPECT_TRUE(ShowsSheet(g.MainPict, 511, 296, 161, 186));
    EXPECT_EQ(g.MenuButtons[button::kReturn].rect.right, 549);
}

}  // namespace
}  // namespace vx
