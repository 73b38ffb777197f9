// The replay viewer: jumps land on the very state that playing the replay from its start
// reaches, whichever way they go, and in the window the viewer's keys hold, step, jump
// and speed the replay while the paddle keys do nothing, to the replay's own result.
#include <gtest/gtest.h>

#include <random>

#include "core/match_settings.h"
#include "frontend/key_translator.h"
#include "frontend/keyboard.h"
#include "frontend/replay_viewer.h"
#include "frontend/replay_watch.h"
#include "frontend/sys_data.h"
#include "frontend/title_screen.h"
#include "match/key_input.h"
#include "match/replay_check.h"
#include "match/rules.h"
#include "support/screen_harness.h"

namespace vx {
namespace {

using testing::RealScreenHarness;
using testing::TestGame;

// A recorded match of random keys (fixed seed) on stage, checked through so that its
// header holds the result and final hash the match reaches.
Replay RecordedReplay(uint8_t stage, uint8_t mode, int16_t timeLimit, uint32_t seed) {
    Replay replay;
    replay.seed = 0x5EED0000u + seed;
    replay.gameMode = mode;
    replay.stageNo = stage;
    replay.ruleKind = rule_kind::kTime;
    replay.timeLimit = timeLimit;
    replay.scoreLimit = 10;
    replay.difficulty = 35;
    std::mt19937 keys(seed);
    uint8_t held = 0;
    for (int f = 0; f < timeLimit * 30; ++f) {
        if (keys() % 8 == 0) held = static_cast<uint8_t>(keys() % 16);
        replay.keys.push_back(held);
    }
    const ReplayOutcome out = CheckReplay(replay);
    replay.keys.resize(out.frames);
    replay.complete = out.result != match_result::kUndecided;
    replay.scores = out.scores;
    replay.result = out.result;
    replay.finalHash = out.finalHash;
    return replay;
}

// The state hash after every frame of the replay played from its start (entry 0: set up).
std::vector<uint64_t> HashesFromTheStart(const Replay& replay) {
    std::vector<uint64_t> hashes{MatchStateHash(ReplayStateAt(replay, 0))};
    CheckReplay(replay, [&](uint32_t, uint64_t hash) { hashes.push_back(hash); });
    return hashes;
}

// A game set up as watching the replay does, without a window.
void UseReplaySettings(Game& g, const Replay& replay) {
    g.GameMode = replay.gameMode;
    match_settings::UseForMatch(
        g, {replay.stageNo, replay.ruleKind, replay.timeLimit, replay.scoreLimit, replay.difficulty});
}

TEST(ReplayViewer, JumpsOnEveryStageLandOnTheStatePlayedFromTheStart) {
    std::mt19937 points(28);
    for (uint8_t stage = 1; stage <= kStageCount; ++stage) {
        SCOPED_TRACE("stage " + std::to_string(stage));
        const Replay replay =
            RecordedReplay(stage, stage % 2 == 0 ? game_mode::kVs2P : game_mode::kVsCpu, 120, stage);
        const std::vector<uint64_t> expected = HashesFromTheStart(replay);
        const auto frames = static_cast<uint32_t>(replay.keys.size());
        ASSERT_EQ(expected.size(), frames + 1u);

        TestGame tg;
        Game& g = tg.g();
        UseReplaySettings(g, replay);
        ReplayViewer viewer(replay);
        viewer.BeginMatch(g);
        const auto hashNow = [&] { return MatchStateHash(g, viewer.Records()); };
        EXPECT_EQ(hashNow(), expected[0]);
        // Ten points in a random order: jumps back and on, near and far, from what was
        // played and beyond it.
        for (int i = 0; i < 10; ++i) {
            const uint32_t target = points() % (frames + 1);
            viewer.SeekSilently(g, target);
            ASSERT_EQ(viewer.Frame(), target);
            ASSERT_EQ(g.FrameCount, target);
            EXPECT_EQ(hashNow(), expected[target]) << "jump " << i << " to frame " << target;
            // Back to the half and on to the point again.
            viewer.SeekSilently(g, target / 2);
            EXPECT_EQ(hashNow(), expected[target / 2]);
            viewer.SeekSilently(g, target);
            EXPECT_EQ(hashNow(), expected[target]);
        }
        // Past the end: the frame that decided the match, with its result.
        viewer.SeekSilently(g, frames + 500);
        EXPECT_EQ(viewer.Frame(), frames);
        EXPECT_EQ(hashNow(), replay.finalHash);
        EXPECT_EQ(DecidedResult(g), replay.result);
        EXPECT_EQ(viewer.KeptStates(), frames / replay_view::kSnapshotEvery + 1);
    }
}

TEST(ReplayViewer, StartFrameOfSeconds) {
    EXPECT_EQ(StartFrameOfSeconds("0"), 0u);
    EXPECT_EQ(StartFrameOfSeconds("12"), 360u);
    EXPECT_EQ(StartFrameOfSeconds("0.5"), 15u);
    EXPECT_EQ(StartFrameOfSeconds("1e99999"), std::nullopt);
    for (const char* bad : {"", "-1", "abc", "12s", "1e3", "nan", "inf", " 1"})
        EXPECT_EQ(StartFrameOfSeconds(bad), std::nullopt) << bad;
}

// The window's road with the real pictures: the title, the watched replay through its
// result, and the title again. Returns the milliseconds it took.
struct Watching {
    RealScreenHarness h{3};
    Game& g = h.g();
    int64_t startMs = 0;

    Watching() {
        ApplySettings(g);
        ShowTitle(g, true);
        h.host.Run();
    }
    void Start(const Replay& replay, uint32_t startFrame = 0) {
        ASSERT_EQ(g.ScreenState, screen_state::kTitle);
        startMs = h.host.NowMs();
        WatchReplay(g, replay, startFrame);
    }
    // Runs until the replay plays (its first frame done).
    ReplayViewer& RunUntilPlaying() {
        for (int i = 0; i < 400 && !(g.ScreenState == screen_state::kPlaying && WatchedReplay(g) != nullptr &&
                                     WatchedReplay(g)->Frame() > 0);
             ++i)
            h.host.RunPast(h.host.NowMs() + 20);
        EXPECT_NE(WatchedReplay(g), nullptr);
        return *WatchedReplay(g);
    }
    void Ticks(int count) { h.host.RunPast(h.host.NowMs() + count * testing::kFrameMs); }
    void Key(int code, bool shift = false) {
        OnKeyDown(g, static_cast<int16_t>(code), shift ? 1 : 0);
        OnKeyUp(g, static_cast<int16_t>(code), 0);
    }
    int64_t RunToTheTitle() {
        h.host.Run();
        EXPECT_EQ(g.ScreenState, screen_state::kTitle);
        EXPECT_EQ(WatchedReplay(g), nullptr);
        return h.host.NowMs() - startMs;
    }
};

TEST(ReplayViewer, SpeedsHoldStepsAndJumpsInTheWindowPlayToTheReplaysResult) {
    const Replay replay = RecordedReplay(3, game_mode::kVsCpu, 60, 77);
    const std::vector<uint64_t> expected = HashesFromTheStart(replay);
    const auto frames = static_cast<int64_t>(replay.keys.size());
    constexpr int64_t kTick = testing::kFrameMs;

    Watching plain;
    plain.Start(replay);
    const int64_t plainMs = plain.RunToTheTitle();
    EXPECT_EQ(plain.g.Scores, replay.scores);

    // ×4 from a frame on: the rest takes a quarter of the ticks.
    Watching fast;
    fast.Start(replay);
    ReplayViewer& v = fast.RunUntilPlaying();
    const int64_t before = v.Frame();
    fast.Key(vk::kPlus);
    fast.Key(vk::kPlus);
    fast.Key(vk::kPlus);  // no faster than ×4
    const int64_t rest = frames - before;
    EXPECT_EQ(plainMs - fast.RunToTheTitle(), kTick * (rest - (rest + 3) / 4));
    EXPECT_EQ(fast.g.Scores, replay.scores);

    // ×½: twice the ticks.
    Watching slow;
    slow.Start(replay);
    ReplayViewer& s = slow.RunUntilPlaying();
    const int64_t slowFrom = s.Frame();
    slow.Key(vk::kMinus);
    EXPECT_EQ(slow.RunToTheTitle() - plainMs, kTick * (frames - slowFrom));

    // Held: paddle keys and time change nothing; Shift+→ steps; ← and → jump 5 s and
    // land where playing from the start lands; Home goes back to the start.
    Watching held;
    held.Start(replay);
    ReplayViewer& w = held.RunUntilPlaying();
    held.Ticks(300);
    held.Key(vk::kSpace);
    held.Ticks(1);
    const uint32_t at = w.Frame();
    for (int code : {vk::kA, vk::kZ, vk::kCloseBracket, vk::kOem102}) {
        OnKeyDown(held.g, static_cast<int16_t>(code), 0);
        held.Ticks(5);
    }
    EXPECT_EQ(w.Frame(), at);
    held.Key(vk::kRight, true);
    held.Key(vk::kRight, true);
    held.Ticks(2);
    EXPECT_EQ(w.Frame(), at + 2);
    EXPECT_EQ(MatchStateHash(held.g, w.Records()), expected[at + 2]);
    held.Key(vk::kLeft);
    held.Ticks(1);
    EXPECT_EQ(w.Frame(), at + 2 - replay_view::kJumpFrames);
    EXPECT_EQ(MatchStateHash(held.g, w.Records()), expected[at + 2 - replay_view::kJumpFrames]);
    held.Key(vk::kRight);
    held.Key(vk::kRight);
    held.Ticks(1);
    EXPECT_EQ(w.Frame(), at + 2 + replay_view::kJumpFrames);
    EXPECT_EQ(MatchStateHash(held.g, w.Records()), expected[at + 2 + replay_view::kJumpFrames]);
    held.Key(vk::kHome);
    held.Ticks(1);
    EXPECT_EQ(w.Frame(), 0u);
    EXPECT_EQ(MatchStateHash(held.g, w.Records()), expected[0]);
    held.Key(vk::kSpace);
    held.RunToTheTitle();
    EXPECT_EQ(held.g.Scores, replay.scores);

    // Started past its end: the result at once.
    Watching late;
    late.Start(replay, static_cast<uint32_t>(frames) + 1000);
    EXPECT_EQ(plainMs - late.RunToTheTitle(), kTick * (frames - 1));
    EXPECT_EQ(late.g.Scores, replay.scores);

    // A replay cut short ends without a result.
    Replay cut = replay;
    cut.keys.resize(200);
    Watching shortOne;
    shortOne.Start(cut);
    shortOne.RunToTheTitle();
    EXPECT_TRUE(shortOne.g.KeyLog.mode == MatchKeyLog::Mode::kOff);
}

}  // namespace
}  // namespace vx
