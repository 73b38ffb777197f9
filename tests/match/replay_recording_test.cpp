// Replays written by the match loop itself: at the result, on a stop from the pause
// screen; a pause in the middle changes nothing in them, and watching one feeds its
// keys to the loop while the paddle keys do nothing.
#include <gtest/gtest.h>

#include "frontend/menu_commands.h"
#include "match/key_input.h"
#include "match/match_sequences.h"
#include "match/replay_check.h"
#include "match/replay_recorder.h"
#include "support/match_harness.h"

namespace vx {
namespace {

using testing::MatchHarness;
using testing::TempFolder;

constexpr int kPauseFrame = 700;

void ScriptKeys(MatchHarness& m) {
    for (int k = 0; k < 1800; k += 45) {
        m.KeyDownAtFrame(k, key_code::kA);
        m.KeyUpAtFrame(k + 12, key_code::kA);
        m.KeyDownAtFrame(k + 20, key_code::kZ);
        m.KeyUpAtFrame(k + 31, key_code::kZ);
    }
}

// A 60-second match on stage 4 against the CPU, its replay written to folder.
Replay PlayAndRead(MatchHarness& m, const std::filesystem::path& folder, bool pauseInTheMiddle) {
    m.PrepareScreen();
    Game& g = m.g();
    g.ReplayFolder = folder;
    g.GameMode = 1;
    g.StageNo = 4;
    g.RuleKind = 1;
    g.TimeLeft = 60;
    ScriptKeys(m);
    if (pauseInTheMiddle) m.KeyDownAtFrame(kPauseFrame, key_code::kP);
    m.Run();
    if (pauseInTheMiddle) {
        EXPECT_EQ(g.ScreenState, screen_state::kPaused);
        ShowPauseScreen(g);
        m.KeyDown(key_code::kA);  // held during the pause: ignored
        ResumePausedMatch(g);
        m.host.Run();
    }
    EXPECT_EQ(g.ScreenState, screen_state::kResult);
    Replay r;
    std::string error;
    EXPECT_TRUE(ReadReplayFile(g.KeyLog.lastWritten, r, error)) << error;
    return r;
}

TEST(ReplayRecording, APauseInTheMiddleChangesNothingInTheReplay) {
    TempFolder a, b;
    MatchHarness plain(7), paused(7);
    Replay ra = PlayAndRead(plain, a.Path(), false);
    Replay rb = PlayAndRead(paused, b.Path(), true);
    EXPECT_TRUE(ra.complete);
    EXPECT_EQ(ra.keys.size(), 60u * 30 - 3);
    rb.date = ra.date;
    EXPECT_EQ(ra, rb);
    const ReplayOutcome out = CheckReplay(ra);
    EXPECT_TRUE(out.agrees) << DescribeOutcome(out);
    EXPECT_EQ(out.scores, plain.g().Scores);
}

TEST(ReplayRecording, WatchingFeedsTheRecordedKeysAndIgnoresThePaddleKeys) {
    TempFolder folder;
    MatchHarness recorded(11);
    const Replay replay = PlayAndRead(recorded, folder.Path(), false);

    MatchHarness watch(99);
    watch.PrepareScreen();
    Game& g = watch.g();
    g.ReplayFolder = folder.Path();
    g.GameMode = 1;
    g.StageNo = 4;
    g.RuleKind = 1;
    g.TimeLeft = 60;
    g.KeyLog.mode = MatchKeyLog::Mode::kWatching;
    g.KeyLog.keys = replay.keys;
    g.KeyLog.seed = replay.seed;
    for (int k = 0; k < 1800; k += 7) watch.KeyDownAtFrame(k, k % 2 ? key_code::kA : key_code::kZ);
    watch.Run();
    EXPECT_EQ(g.ScreenState, screen_state::kResult);
    EXPECT_EQ(g.Scores, recorded.g().Scores);
    EXPECT_EQ(g.FrameCount, replay.keys.size());
    EXPECT_EQ(g.KeyLog.lastWritten, std::filesystem::path()) << "watching wrote a replay";
}

TEST(ReplayRecording, AWatchedReplayThatRunsOutEndsTheMatchLoop) {
    MatchHarness m(5);
    m.PrepareScreen();
    Game& g = m.g();
    g.KeyLog.mode = MatchKeyLog::Mode::kWatching;
    g.KeyLog.keys.assign(100, 1);
    m.Run();
    EXPECT_TRUE(g.KeyLog.ranOut);
    EXPECT_EQ(g.FrameCount, 100u);
    EXPECT_EQ(g.ScreenState, screen_state::kBusy);
}

}  // namespace
}  // namespace vx
