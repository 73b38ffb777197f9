#include "match/rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "puck/items.h"
#include "stage/match_setup.h"
#include "support/match_harness.h"

namespace vx {
namespace {

using testing::kTableColour;
using testing::MatchHarness;
using testing::ShowsSheet;

// The time rule compares the scores once the clock is out, whatever the limit; the score
// rule ends at or past the limit, player 1 first, whatever the clock.
TEST(MatchResult, EachRuleDecidesFromTheScoresAndItsOwnLimit) {
    const struct {
        uint8_t rule;
        int16_t timeLeft;
        uint8_t score1, score2;
        int16_t result;
    } cases[] = {
        {1, 1, 12, 3, match_result::kUndecided}, {1, 0, 12, 3, match_result::kPlayer1},
        {1, 0, 3, 3, match_result::kDraw},       {1, 0, 0, 0, match_result::kDraw},
        {1, 0, 2, 3, match_result::kPlayer2},    {2, 0, 9, 9, match_result::kUndecided},
        {2, 0, 9, 11, match_result::kPlayer2},   {2, 0, 10, 10, match_result::kPlayer1},
    };
    testing::TestGame tg;
    Game& g = tg.g();
    g.ScoreLimit = 10;
    for (const auto& c : cases) {
        g.RuleKind = c.rule;
        g.TimeLeft = c.timeLeft;
        g.Scores = {c.score1, c.score2};
        EXPECT_EQ(DecidedResult(g), c.result) << int(c.rule) << ": " << int(c.score1) << "-" << int(c.score2);
    }
}

// The coded table, the buttons and a stage-1 match in play with its commands on.
void StartOfPlay(MatchHarness& m, MatchRecords& r) {
    Game& g = m.g();
    m.PrepareScreen();
    SpareRects spare{};
    SetupMatch(g, r.pucks, r.paddles, r.obstacles, r.sprites, r.item, spare, 1);
    g.ScreenState = screen_state::kPlaying;
    g.Menu.SetEnabled(MenuId::MenuPause, true);
    m.seq.PlayLooping("bgm1.mid");
    m.host.SetMousePointer(MousePointer::Invisible);
}

class MatchEnd : public ::testing::Test {
  protected:
    void SetUp() override { StartOfPlay(m, r); }
    MatchHarness m;
    Game& g = m.g();
    MatchRecords r;
};

// Each ending: its message sound (TimeUp waits for its end, GameSet does not and waits
// longer), its jingle, then the result screen with the last frame frozen without the
// message, the three result buttons in their normal look and the match commands off.
TEST(MatchEnding, EachEndingPlaysItsSoundsAndLeavesTheResultScreen) {
    const struct {
        uint8_t mode, rule, score1, score2;
        const char *message, *jingle;
        bool messageWaits;
        int64_t tookMs;
    } cases[] = {
        {1, 1, 1, 4, "wave10.wav", "Wave8.wav", true, 601 + 801},     // the computer ahead: a loss
        {1, 1, 5, 2, "wave10.wav", "Wave9.wav", true, 601 + 801},     // a win
        {2, 1, 3, 3, "wave10.wav", "wave5.wav", true, 601 + 801},     // a draw
        {2, 2, 10, 7, "wave11.wav", "Wave6.wav", false, 1201 + 801},  // player 1 reaches 10
        {2, 2, 9, 11, "wave11.wav", "wave7.wav", false, 1201 + 801},  // player 2 past 10
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.jingle);
        MatchHarness m;
        Game& g = m.g();
        MatchRecords r;
        StartOfPlay(m, r);
        g.GameMode = c.mode;
        g.RuleKind = c.rule;
        g.ScoreLimit = 10;
        g.TimeLeft = 0;
        g.Scores = {c.score1, c.score2};
        EXPECT_TRUE(CheckMatchEnd(g, r));
        m.host.Run();
        EXPECT_EQ(m.wave.Names(), (std::vector<std::string>{c.message, c.jingle}));
        EXPECT_EQ(m.wave.calls[0].waitToEnd, c.messageWaits);
        EXPECT_EQ(m.host.NowMs(), c.tookMs);
        EXPECT_EQ(g.ScreenState, screen_state::kResult);
        EXPECT_EQ(g.MatchRequest, match_request::kOver);
        EXPECT_FALSE(g.Menu.Enabled(MenuId::MenuPause));
        EXPECT_FALSE(g.Menu.Enabled(MenuId::MenuRePlay));
        EXPECT_TRUE(m.seq.playing.empty());
        EXPECT_EQ(m.host.Pointer(), MousePointer::Normal);
        EXPECT_EQ(g.MainPict.Pixel(40, 250), kTableColour) << "no message left between the buttons";
        EXPECT_EQ(g.BufPict.Pixel(40, 250), kTableColour);
        EXPECT_TRUE(ShowsSheet(g.MainPict, 192, 119, 80, 593));  // RETRY
        EXPECT_TRUE(ShowsSheet(g.MainPict, 112, 156, 0, 621));   // STAGE SELECT
        EXPECT_TRUE(ShowsSheet(g.MainPict, 177, 192, 65, 649));  // OPENING
    }
}

// A Blind effect still running stays black in the frozen picture; a Blind capsule still
// on the table (with an owner left over from an earlier effect) hides nothing.
TEST_F(MatchEnd, OnlyARunningBlindStaysBlackInTheFrozenPicture) {
    for (uint8_t phase : {item_phase::kEffect, item_phase::kCapsuleWaiting}) {
        testing::PaintTable(g);
        g.ScreenState = screen_state::kPlaying;
        g.RuleKind = 1;
        g.TimeLeft = 0;
        r.item.kind = item_kind::kBlind;
        r.item.phase = phase;
        r.item.timer = 100;
        r.item.owner = -1;
        EXPECT_TRUE(CheckMatchEnd(g, r));
        m.host.Run();
        const bool running = phase == item_phase::kEffect;
        EXPECT_EQ(g.BufPict.Pixel(100, 100), running ? kBlack : kTableColour) << int(phase);
        EXPECT_EQ(g.MainPict.Pixel(100, 100), running ? kBlack : kTableColour) << int(phase);
        EXPECT_EQ(g.BufPict.Pixel(400, 100), kTableColour);
    }
}

TEST_F(MatchEnd, EndingTheProgramDuringTheMessagesStopsAtOnce) {
    g.RuleKind = 1;
    g.TimeLeft = 0;
    m.host.At(300, [&] { m.host.EndProgram(); });
    EXPECT_TRUE(CheckMatchEnd(g, r));
    m.host.Run();
    EXPECT_EQ(m.host.NowMs(), 300);
    EXPECT_FALSE(g.flow.Busy()) << "the rest of the ending was dropped";
    EXPECT_EQ(g.ScreenState, screen_state::kBusy);
    EXPECT_EQ(m.wave.calls.size(), 1u);
}

}  // namespace
}  // namespace vx
