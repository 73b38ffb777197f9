#include "draw/sprite_blit.h"

#include <gtest/gtest.h>

#include "support/files.h"
#include "support/match_harness.h"

namespace vx {
namespace {

using testing::CountDifferingPixels;
using testing::kTableColour;
using testing::MatchHarness;

constexpr uint32_t kRed = 0xC00000;

// A small synthetic sheet: a 4 x 3 red sprite at (10, 20) whose middle column is
// transparent (white in the sheet), everything else white.
void PaintSmallSheet(Game& g) {
    g.Pict.Fill(kWhite);
    for (int y = 20; y < 23; ++y)
        for (int x = 10; x < 14; ++x) g.Pict.SetPixel(x, y, x == 11 ? kWhite : kRed);
    MakeMask(g.Mask, g.Pict, g.Pict.Width(), g.Pict.Height(), kWhite);
}

class SpriteBlit : public ::testing::Test {
  protected:
    void SetUp() override {
        PaintSmallSheet(g);
        testing::PaintTable(g);
        // A patterned back buffer, so that "unchanged" is tested against something.
        for (int y = 0; y < 342; ++y)
            for (int x = 0; x < 512; ++x) g.BackPict.SetPixel(x, y, (x * 31 + y * 7) & 0x7F7F7F);
    }
    MatchHarness m;
    Game& g = m.g();
};

TEST_F(SpriteBlit, DrawSpriteChangesBackAndScreenIdenticallyInItsRectangleOnly) {
    const Surface backBefore = g.BackPict, mainBefore = g.MainPict;
    DrawSprite(g, 100, 50, 4, 3, 10, 20);
    EXPECT_EQ(CountDifferingPixels(g.BackPict, backBefore, 100, 50, 4, 3, true), 0);
    EXPECT_EQ(CountDifferingPixels(g.MainPict, mainBefore, 100, 50, 4, 3, true), 0);
    for (int y = 50; y < 53; ++y)
        for (int x = 100; x < 104; ++x) {
            EXPECT_EQ(g.MainPict.Pixel(x, y), g.BackPict.Pixel(x, y));
            // The transparent column keeps the back buffer's own pixel.
            EXPECT_EQ(g.BackPict.Pixel(x, y), x == 101 ? backBefore.Pixel(x, y) : kRed);
        }
    ASSERT_EQ(m.host.Presented().size(), 1u);
    EXPECT_EQ(m.host.Presented()[0], (HeadlessHost::Area{100, 50, 4, 3}));
}

TEST_F(SpriteBlit, RestoreRectCopiesFromAnotherPlaceOfTheBackgroundStore) {
    g.BufPict.SetPixel(5, 411, kRed);
    RestoreRect(g, 200, 100, 3, 2, 5, 411);
    EXPECT_EQ(g.BackPict.Pixel(200, 100), kRed);
    EXPECT_EQ(g.MainPict.Pixel(200, 100), kRed);
    EXPECT_EQ(g.MainPict.Pixel(201, 101), testing::kGaugeEmptyColour);
    EXPECT_EQ(m.host.Presented().back(), (HeadlessHost::Area{200, 100, 3, 2}));
}

TEST_F(SpriteBlit, ScreenModeDrawsOnTheScreenOnlySoTheNextRestoreRemovesIt) {
    const Surface backBefore = g.BackPict;
    ScreenBlit(g, 30, 40, 4, 3, 10, 20, blit_mode::kScreenSprite);
    EXPECT_EQ(g.BackPict, backBefore);
    EXPECT_EQ(g.MainPict.Pixel(30, 40), kRed);
    EXPECT_EQ(g.MainPict.Pixel(31, 40), kTableColour);  // transparent column
    RestoreRect(g, 30, 40, 4, 3, 30, 40);
    EXPECT_EQ(g.MainPict.Pixel(30, 40), kTableColour);
}

TEST_F(SpriteBlit, PresentModeCopiesBackToScreenBetweenDifferentPlaces) {
    ScreenBlit(g, 300, 200, 2, 2, 7, 9, blit_mode::kPresent);
    EXPECT_EQ(g.MainPict.Pixel(300, 200), g.BackPict.Pixel(7, 9));
    EXPECT_EQ(g.MainPict.Pixel(301, 201), g.BackPict.Pixel(8, 10));
    EXPECT_EQ(m.host.Presented().back(), (HeadlessHost::Area{300, 200, 2, 2}));
}

TEST_F(SpriteBlit, AnyOtherModeDrawsNothingAndPresentsNothing) {
    const Surface mainBefore = g.MainPict, backBefore = g.BackPict;
    ScreenBlit(g, 30, 40, 4, 3, 10, 20, 1);
    ScreenBlit(g, 30, 40, 4, 3, 10, 20, 2);
    EXPECT_EQ(g.MainPict, mainBefore);
    EXPECT_EQ(g.BackPict, backBefore);
    EXPECT_TRUE(m.host.Presented().empty());
}

}  // namespace
}  // namespace vx
