#include "match/match_loop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "match/key_input.h"
#include "match/rules.h"
#include "support/match_harness.h"

namespace vx {
namespace {

using testing::kFrameMs;
using testing::kIntroMs;
using testing::MatchHarness;
using testing::PlayFrameStartMs;
using testing::ShowsSheet;
using Area = HeadlessHost::Area;

bool WasPresented(const HeadlessHost& host, Area area) {
    const auto& shown = host.Presented();
    return std::find(shown.begin(), shown.end(), area) != shown.end();
}

bool Played(const MatchHarness& m, const std::string& wave) {
    const auto names = m.wave.Names();
    return std::find(names.begin(), names.end(), wave) != names.end();
}

constexpr Area kReadyArea{154, 145, 224, 51};
constexpr Area kGoArea{190, 145, 144, 51};

class WholeMatch : public ::testing::Test {
  protected:
    void SetUp() override {
        m.PrepareScreen();
        g.GameMode = 1;
        g.StageNo = 1;
        g.RuleKind = 1;
        g.TimeLeft = 120;
        g.ScreenState = screen_state::kBusy;
    }
    MatchHarness m{7};
    Game& g = m.g();
};

TEST_F(WholeMatch, HundredTwentySecondsAre3600DrawsAndEndWithTimeUpAndTheResultScreen) {
    m.Run();
    // The three intro draws count the clock too.
    EXPECT_EQ(g.FrameCount + 3, 3600u);
    EXPECT_EQ(g.TimeLeft, 0);
    EXPECT_EQ(g.ScreenState, screen_state::kResult);
    EXPECT_EQ(g.MatchRequest, match_request::kOver);
    // Every frame but the last took 34 ms; the last one ran the 600 and 800 ms waits.
    EXPECT_EQ(m.host.NowMs(), kIntroMs + kFrameMs * 3596 + 601 + 801);

    // The ending's sounds and screen, per result, are MatchEnding's (rules_test.cpp).
    EXPECT_TRUE(WasPresented(m.host, {30, 145, 434, 50}));  // "TimeUp"
    EXPECT_TRUE(Played(m, "wave10.wav"));
}

TEST_F(WholeMatch, NoTimeLeftShowsReadyAndGoThenEndsAfterTheFirstFrameAsANilDraw) {
    g.TimeLeft = 0;
    m.Run();
    EXPECT_TRUE(WasPresented(m.host, kReadyArea));
    EXPECT_TRUE(WasPresented(m.host, kGoArea));
    EXPECT_EQ(m.wave.Names().front(), "wave4.wav");
    EXPECT_FALSE(m.wave.calls.front().waitToEnd);
    EXPECT_EQ(g.FrameCount, 1u);
    EXPECT_EQ(g.Scores, (std::array<uint8_t, 2>{0, 0}));
    EXPECT_EQ(m.wave.Names().back(), "wave5.wav");
    EXPECT_TRUE(WasPresented(m.host, {21, 145, 434, 50}));  // "Draw"
    EXPECT_EQ(g.ScreenState, screen_state::kResult);
}

// Records the scores as every frame of play begins.
struct ScoreLog {
    std::vector<std::array<uint8_t, 2>> before;
    void Watch(MatchHarness& m, int frames) {
        for (int k = 0; k < frames; ++k)
            m.host.At(PlayFrameStartMs(k), [this, &m] {
                if (m.g().ScreenState == screen_state::kPlaying) before.push_back(m.g().Scores);
            });
    }
};

TEST_F(WholeMatch, ScoreRuleEndsInTheFrameAScoreReachesTheLimit) {
    for (uint8_t stage : {1, 5}) {
        MatchHarness run(11);
        run.PrepareScreen();
        Game& game = run.g();
        game.GameMode = 1;
        game.StageNo = stage;
        game.RuleKind = 2;
        game.ScoreLimit = 10;
        game.TimeLeft = 90;
        ScoreLog log;
        log.Watch(run, 20000);
        run.EndProgramAt(PlayFrameStartMs(20000));
        run.Run();
        ASSERT_EQ(game.ScreenState, screen_state::kResult) << int(stage);
        ASSERT_EQ(log.before.size(), game.FrameCount);
        const auto& last = log.before.back();
        EXPECT_LT(std::max(last[0], last[1]), 10) << "the frame before the end was undecided";
        EXPECT_GE(std::max(game.Scores[0], game.Scores[1]), 10);
        EXPECT_EQ(game.TimeLeft, 90) << "no clock under the score rule";
        EXPECT_TRUE(WasPresented(run.host, {54, 145, 434, 51}));  // "GameSet"
        const bool p1 = game.Scores[0] >= 10;
        EXPECT_EQ(run.wave.Names().back(), p1 ? "Wave9.wav" : "Wave8.wav");
    }
}

TEST_F(WholeMatch, PIsIgnoredDuringTheIntroAndPausesAfterTheFrameOnceInPlayWithThePointerHidden) {
    for (int64_t t : {0, 150, 600, 1400, 1502}) m.host.At(t, [this] { m.KeyDown(key_code::kP); });
    m.KeyDownAtFrame(40, key_code::kP);
    m.Run();
    EXPECT_EQ(g.ScreenState, screen_state::kPaused);
    EXPECT_EQ(g.MatchRequest, match_request::kPause);
    EXPECT_EQ(g.FrameCount, 41u);
    EXPECT_EQ(m.host.NowMs(), PlayFrameStartMs(41));
    EXPECT_TRUE(m.seq.playing.empty());
    EXPECT_EQ(m.host.Pointer(), MousePointer::Invisible) << "hidden during play; the pause screen shows it";
    EXPECT_TRUE(g.Menu.Enabled(MenuId::MenuPause));
}

TEST_F(WholeMatch, PauseAndResumeContinueExactlyAsAnUninterruptedMatch) {
    // Run A pauses after frame 100, resumes, and pauses again after frame 700; run B
    // pauses only after frame 700. Both must hold the same records, clock and scores.
    MatchHarness b(7);
    b.PrepareScreen();
    b.g().GameMode = 1;
    b.g().RuleKind = 1;
    b.g().TimeLeft = 120;
    b.KeyDownAtFrame(699, key_code::kP);
    b.Run();
    ASSERT_EQ(b.g().FrameCount, 700u);

    m.KeyDownAtFrame(99, key_code::kP);
    m.Run();
    ASSERT_EQ(g.ScreenState, screen_state::kPaused);
    const MatchRecords atPause = g.Saved;
    const auto scores = g.Scores;
    const int16_t timeLeft = g.TimeLeft;
    const uint8_t clockTick = g.ClockTick;

    // Time passes on the pause screen; nothing of the match moves.
    m.host.RunPast(m.host.NowMs() + 5000);
    g.ScreenState = screen_state::kResumeRequested;
    g.MatchRequest = match_request::kNone;
    const int64_t resumedAt = m.host.NowMs();
    m.host.ClearPresented();
    m.host.At(resumedAt, [] {});
    // Frame j after the resume starts at resumedAt + 34 j.
    m.host.At(resumedAt + kFrameMs * 599, [this] { m.KeyDown(key_code::kP); });
    ASSERT_EQ(g.Saved, atPause);
    ASSERT_EQ(g.Scores, scores);
    ASSERT_EQ(g.TimeLeft, timeLeft);
    ASSERT_EQ(g.ClockTick, clockTick);
    m.Run();

    ASSERT_EQ(g.FrameCount, 700u);
    EXPECT_TRUE(g.Saved == b.g().Saved);
    EXPECT_EQ(g.Scores, b.g().Scores);
    EXPECT_EQ(g.TimeLeft, b.g().TimeLeft);
    EXPECT_EQ(g.ClockTick, b.g().ClockTick);
    EXPECT_EQ(g.MainPict, b.g().MainPict);
    // A resumed match shows neither Ready nor Go and says nothing.
    EXPECT_FALSE(WasPresented(m.host, kReadyArea));
    EXPECT_FALSE(WasPresented(m.host, kGoArea));
    const auto names = m.wave.Names();
    EXPECT_EQ(std::count(names.begin(), names.end(), "wave4.wav"), 1);
}

TEST_F(WholeMatch, EscDuringPlayEndsTheMatchPromptly) {
    m.KeyDownAtFrame(50, key_code::kEsc);
    m.Run();
    EXPECT_TRUE(m.host.Ending());
    EXPECT_EQ(g.FrameCount, 50u);  // the frame never ran
    EXPECT_EQ(m.host.NowMs(), PlayFrameStartMs(50));
    EXPECT_EQ(g.ScreenState, screen_state::kPlaying);
    EXPECT_TRUE(m.seq.playing.empty());
}

TEST_F(WholeMatch, EndingTheProgramDuringTheIntroStopsWithinItsWait) {
    m.host.At(700, [this] { m.KeyDown(key_code::kEsc); });
    m.Run();
    EXPECT_EQ(m.host.NowMs(), 700);
    EXPECT_EQ(g.FrameCount, 0u);
    EXPECT_EQ(g.ScreenState, screen_state::kIntro);
}

TEST_F(WholeMatch, MusicSwitchesToPlayAndBackToTheOpeningOnlyWithTheCheckMark) {
    g.TimeLeft = 1;
    m.Run();
    // The end of a match stops the music whatever the check mark; nothing is opened.
    EXPECT_EQ(m.seq.calls, (std::vector<std::string>{"stop"}));

    MatchHarness withMusic(7);
    withMusic.PrepareScreen();
    withMusic.g().Menu.SetChecked(MenuId::MenuMidi, true);
    withMusic.g().TimeLeft = 1;
    withMusic.Run();
    std::vector<std::string> plays;
    for (const std::string& c : withMusic.seq.calls)
        if (c.starts_with("play ")) plays.push_back(c);
    EXPECT_EQ(plays, (std::vector<std::string>{"play bgm1.mid", "play opening.mid"}));
    EXPECT_EQ(withMusic.seq.playing.filename(), "opening.mid");
}

}  // namespace
}  // namespace vx
