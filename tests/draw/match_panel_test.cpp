#include "draw/match_panel.h"

#include <gtest/gtest.h>

#include "support/match_harness.h"

namespace vx {
namespace {

using testing::kTableColour;
using testing::MatchHarness;
using testing::ShowsSheet;

constexpr int SmallDigit(int d) {
    return 40 + 23 * d;
}
constexpr int LargeDigit(int d) {
    return 40 + 28 * d;
}

class MatchPanel : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::PaintCodedSheet(g);
        testing::PaintTable(g);
    }
    MatchHarness m;
    Game& g = m.g();
};

TEST_F(MatchPanel, ScoreFromNineToTenWidensThePresentedAreaFrom23To70) {
    g.Scores = {9, 0};
    DrawScore(g, 0);
    EXPECT_EQ(m.host.Presented().back(), (HeadlessHost::Area{93, 22, 23, 24}));
    EXPECT_TRUE(ShowsSheet(g.MainPict, 93, 22, SmallDigit(9), 0));

    g.Scores = {10, 0};
    DrawScore(g, 0);
    EXPECT_EQ(m.host.Presented().back(), (HeadlessHost::Area{81, 22, 70, 24}));
    EXPECT_TRUE(ShowsSheet(g.MainPict, 81, 22, SmallDigit(1), 0));
    EXPECT_TRUE(ShowsSheet(g.MainPict, 106, 22, SmallDigit(0), 0));
}

TEST_F(MatchPanel, PlayerTwosScoreSitsThreeHundredFourPixelsFurtherRight) {
    g.Scores = {0, 37};
    DrawScore(g, 1);
    EXPECT_EQ(m.host.Presented().back(), (HeadlessHost::Area{385, 22, 70, 24}));
    EXPECT_TRUE(ShowsSheet(g.MainPict, 385, 22, SmallDigit(3), 0));
    EXPECT_TRUE(ShowsSheet(g.MainPict, 410, 22, SmallDigit(7), 0));
}

TEST_F(MatchPanel, HeaderZeroesTheScoresAndDrawsBothAsASingleZero) {
    g.Scores = {7, 12};
    DrawMatchHeader(g);
    EXPECT_EQ(g.Scores[0], 0);
    EXPECT_EQ(g.Scores[1], 0);
    EXPECT_TRUE(ShowsSheet(g.MainPict, 93, 22, SmallDigit(0), 0));
    EXPECT_TRUE(ShowsSheet(g.MainPict, 397, 22, SmallDigit(0), 0));
}

TEST_F(MatchPanel, SecondMarkIsTheComputerAgainstTheComputerAndPlayerTwoOtherwise) {
    g.GameMode = 1;
    DrawMatchHeader(g);
    EXPECT_TRUE(ShowsSheet(g.MainPict, 140, 34, 242, 545));
    EXPECT_TRUE(ShowsSheet(g.MainPict, 359, 34, 228, 545));
    g.GameMode = 2;
    DrawMatchHeader(g);
    EXPECT_TRUE(ShowsSheet(g.MainPict, 359, 34, 255, 545));
}

TEST_F(MatchPanel, HeaderKeepsThePanelStripWithBothMarksInLMask) {
    DrawMatchHeader(g);
    EXPECT_TRUE(ShowsSheet(g.LMask, 140 - 56, 34, 242, 545));
    EXPECT_TRUE(ShowsSheet(g.LMask, 359 - 56, 34, 228, 545));
    EXPECT_EQ(g.LMask.Pixel(0, 0), kTableColour);
}

TEST_F(MatchPanel, ClockOfNinetyAndOfHundredTwenty) {
    g.RuleKind = 1;
    g.TimeLeft = 90;
    DrawMatchHeader(g);
    EXPECT_TRUE(ShowsSheet(g.MainPict, 265, 14, LargeDigit(9), 25));
    EXPECT_TRUE(ShowsSheet(g.MainPict, 295, 14, LargeDigit(0), 25));

    testing::PaintTable(g);
    g.TimeLeft = 120;
    DrawMatchHeader(g);
    EXPECT_TRUE(ShowsSheet(g.MainPict, 247, 14, LargeDigit(1), 25));
    EXPECT_TRUE(ShowsSheet(g.MainPict, 277, 14, LargeDigit(2), 25));
    EXPECT_TRUE(ShowsSheet(g.MainPict, 307, 14, LargeDigit(0), 25));
}

TEST_F(MatchPanel, ScoreRuleShowsTheLabelAndOnlyTheOfferedLimits) {
    g.RuleKind = 2;
    g.ScoreLimit = 30;
    DrawMatchHeader(g);
    EXPECT_TRUE(ShowsSheet(g.MainPict, 267, 14, 320, 25));
    EXPECT_TRUE(ShowsSheet(g.MainPict, 323, 4, 255, 532));

    testing::PaintTable(g);
    g.ScoreLimit = 20;
    DrawMatchHeader(g);
    EXPECT_EQ(testing::CountColour(g.MainPict, 323, 4, 27, 10, kTableColour), 27 * 10);
}

}  // namespace
}  // namespace vx
