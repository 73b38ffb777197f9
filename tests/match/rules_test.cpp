#include "match/rules.h"

#include <gtest/gtest.h>

#include "draw/menu_buttons.h"
#include "puck/items.h"
#include "stage/match_setup.h"
#include "support/match_harness.h"

namespace vx {
namespace {

using testing::kTableColour;
using testing::MatchHarness;
using testing::ShowsSheet;

TEST(MatchResult, TimeRuleComparesScoresAndIgnoresTheLimit) {
    testing::TestGame tg;
    Game& g = tg.g();
    g.RuleKind = 1;
    g.ScoreLimit = 10;
    g.TimeLeft = 1;
    g.Scores = {12, 3};
    EXPECT_EQ(DecidedResult(g), match_result::kUndecided);
    g.TimeLeft = 0;
    EXPECT_EQ(DecidedResult(g), match_result::kPlayer1);
    g.Scores = {3, 3};
    EXPECT_EQ(DecidedResult(g), match_result::kDraw);
    g.Scores = {0, 0};
    EXPECT_EQ(DecidedResult(g), match_result::kDraw);
    g.Scores = {2, 3};
    EXPECT_EQ(DecidedResult(g), match_result::kPlayer2);
}

TEST(MatchResult, ScoreRuleEndsAtOrPastTheLimitPlayerOneFirst) {
    testing::TestGame tg;
    Game& g = tg.g();
    g.RuleKind = 2;
    g.ScoreLimit = 10;
    g.TimeLeft = 0;  // the clock plays no part
    g.Scores = {9, 9};
    EXPECT_EQ(DecidedResult(g), match_result::kUndecided);
    g.Scores = {9, 11};  // two goals in one frame carried it past
    EXPECT_EQ(DecidedResult(g), match_result::kPlayer2);
    g.Scores = {10, 10};
    EXPECT_EQ(DecidedResult(g), match_result::kPlayer1);
}

class MatchEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::PaintCodedSheet(g);
        testing::PaintTable(g);
        for (uint8_t n = 1; n <= kMenuButtonCount; ++n) InitMenuButton(g, n);
        SpareRects spare{};
        SetupMatch(g, r.pucks, r.paddles, r.obstacles, r.sprites, r.item, spare, 1);
        g.ScreenState = screen_state::kPlaying;
        g.Menu.SetEnabled(MenuId::MenuPause, true);
        m.host.SetTimer1Enabled(true);
        m.host.SetMousePointer(MousePointer::Invisible);
    }
    MatchHarness m;
    Game& g = m.g();
    MatchRecords r;
};

TEST_F(MatchEnd, UndecidedFrameChangesNothing) {
    g.RuleKind = 1;
    g.TimeLeft = 5;
    EXPECT_TRUE(CheckMatchEnd(g, r));
    EXPECT_EQ(g.ScreenState, screen_state::kPlaying);
    EXPECT_EQ(m.host.NowMs(), 0);
    EXPECT_TRUE(m.wave.calls.empty());
}

TEST_F(MatchEnd, TimeUpAgainstTheComputerWithPlayerTwoAheadIsALoss) {
    g.GameMode = 1;
    g.RuleKind = 1;
    g.TimeLeft = 0;
    g.Scores = {1, 4};
    EXPECT_TRUE(CheckMatchEnd(g, r));
    EXPECT_EQ(m.wave.Names(), (std::vector<std::string>{"wave10.wav", "Wave8.wav"}));
    EXPECT_TRUE(m.wave.calls[0].waitToEnd);
    EXPECT_TRUE(m.wave.calls[1].waitToEnd);
    EXPECT_EQ(g.ScreenState, screen_state::kResult);
    EXPECT_EQ(g.MatchRequest, match_request::kOver);
    EXPECT_FALSE(g.Menu.Enabled(MenuId::MenuPause));
    EXPECT_FALSE(g.Menu.Enabled(MenuId::MenuRePlay));
    EXPECT_FALSE(m.host.Timer1Enabled());
    EXPECT_EQ(m.host.Pointer(), MousePointer::Normal);
    EXPECT_EQ(m.host.NowMs(), 601 + 801);
    // The three result buttons in their normal look.
    EXPECT_TRUE(ShowsSheet(g.MainPict, 192, 119, 80, 593));
    EXPECT_TRUE(ShowsSheet(g.MainPict, 112, 156, 0, 621));
    EXPECT_TRUE(ShowsSheet(g.MainPict, 177, 192, 65, 649));
    EXPECT_EQ(g.Scores[1], 4);
}

TEST_F(MatchEnd, TheResultPictureIsTheLastFrameFrozenWithoutItsMessage) {
    g.GameMode = 2;
    g.RuleKind = 1;
    g.TimeLeft = 0;
    g.Scores = {3, 3};
    EXPECT_TRUE(CheckMatchEnd(g, r));
    EXPECT_EQ(m.wave.Names(), (std::vector<std::string>{"wave10.wav", "wave5.wav"}));
    // Nothing of "TimeUp" or "Draw" is left between the buttons.
    EXPECT_EQ(g.MainPict.Pixel(40, 250), kTableColour);
    EXPECT_EQ(g.BufPict.Pixel(40, 250), kTableColour);
}

TEST_F(MatchEnd, GameSetStartsItsSoundWithoutWaitingAndWaitsLonger) {
    g.GameMode = 2;
    g.RuleKind = 2;
    g.ScoreLimit = 10;
    g.Scores = {10, 7};
    EXPECT_TRUE(CheckMatchEnd(g, r));
    EXPECT_EQ(m.wave.Names(), (std::vector<std::string>{"wave11.wav", "Wave6.wav"}));
    EXPECT_FALSE(m.wave.calls[0].waitToEnd);
    EXPECT_EQ(m.host.NowMs(), 1201 + 801);
    EXPECT_TRUE(g.Menu.Enabled(MenuId::MenuRePlay) == false);
    EXPECT_EQ(g.ScreenState, screen_state::kResult);
}

TEST_F(MatchEnd, ARunningBlindStaysBlackInTheFrozenPicture) {
    g.GameMode = 2;
    g.RuleKind = 1;
    g.TimeLeft = 0;
    r.item.kind = item_kind::kBlind;
    r.item.phase = item_phase::kEffect;
    r.item.timer = 100;
    r.item.owner = -1;
    EXPECT_TRUE(CheckMatchEnd(g, r));
    EXPECT_EQ(g.BufPict.Pixel(100, 100), kBlack);
    EXPECT_EQ(g.MainPict.Pixel(100, 100), kBlack);
    EXPECT_EQ(g.BufPict.Pixel(400, 100), kTableColour);
}

TEST_F(MatchEnd, ABlindCapsuleStillOnTheTableHidesNothing) {
    g.RuleKind = 1;
    g.TimeLeft = 0;
    r.item.kind = item_kind::kBlind;
    r.item.phase = item_phase::kCapsuleWaiting;
    r.item.timer = 100;
    r.item.owner = -1;  // left over from an earlier effect
    EXPECT_TRUE(CheckMatchEnd(g, r));
    EXPECT_EQ(g.BufPict.Pixel(100, 100), kTableColour);
}

TEST_F(MatchEnd, EndingTheProgramDuringTheMessagesStopsAtOnce) {
    g.RuleKind = 1;
    g.TimeLeft = 0;
    m.host.At(300, [&] { m.host.EndProgram(); });
    EXPECT_FALSE(CheckMatchEnd(g, r));
    EXPECT_EQ(m.host.NowMs(), 300);
    EXPECT_EQ(g.ScreenState, screen_state::kBusy);
    EXPECT_EQ(m.wave.calls.size(), 1u);
}

}  // namespace
}  // namespace vx
