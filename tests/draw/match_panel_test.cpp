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

class MatchPanel : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::PaintCodedSheet(g);
        testing::PaintTable(g);
    }
    MatchHarness m;
    Game& g = m.g();
};

// One digit sits at the middle of its place; from 10 on two digits fill the wider area.
TEST_F(MatchPanel, ScoresDrawOneOrTwoDigitsAndPresentTheirArea) {
    const struct {
        int player, score;
        HeadlessHost::Area presented;
        int firstX, firstDigit, secondX, secondDigit;
    } cases[] = {
        {0, 9, {93, 22, 23, 24}, 93, 9, -1, 0},
        {0, 10, {81, 22, 70, 24}, 81, 1, 106, 0},
        {1, 37, {385, 22, 70, 24}, 385, 3, 410, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.score);
        g.Scores = {0, 0};
        g.Scores[static_cast<size_t>(c.player)] = static_cast<uint8_t>(c.score);
        DrawScore(g, c.player);
        EXPECT_EQ(m.host.Presented().back(), c.presented);
        EXPECT_TRUE(ShowsSheet(g.MainPict, c.firstX, 22, SmallDigit(c.firstDigit), 0));
        if (c.secondX >= 0) {
            EXPECT_TRUE(ShowsSheet(g.MainPict, c.secondX, 22, SmallDigit(c.secondDigit), 0));
        }
    }
}

TEST_F(MatchPanel, HeaderZeroesTheScoresAndDrawsBothAsASingleZero) {
    g.Scores = {7, 12};
    DrawMatchHeader(g);
    EXPECT_EQ(g.Scores[0], 0);
    EXPECT_EQ(g.Scores[1], 0);
    EXPECT_TRUE(ShowsSheet(g.MainPict, 93, 22, SmallDigit(0), 0));
    EXPECT_TRUE(ShowsSheet(g.MainPict, 397, 22, SmallDigit(0), 0));
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
