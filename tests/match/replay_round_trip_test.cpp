// Every recorded match plays back from its file to the same state at every frame: all
// stages, both modes, both rules, every item held in force once, several seeds.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "core/game.h"
#include "match/match_loop.h"
#include "match/match_state.h"
#include "match/replay_check.h"
#include "match/replay_recorder.h"
#include "match/rules.h"
#include "support/headless_match.h"
#include "support/test_game.h"

namespace vx {
namespace {

using testing::TempFolder;

struct Config {
    uint8_t stage, mode, rule, item;
    uint64_t seed;
    int maxFrames;  // the recording stops here (an incomplete replay) unless the match ended
};

struct Recording {
    Replay replay;
    std::vector<uint64_t> hashes;
};

// Plays a match the way the match loop records it: keys taken before the frame, the
// state hash noted after it, the file written at the end.
Recording Record(const Config& c, const std::filesystem::path& folder) {
    MixingRandom random(c.seed, [] { return uint64_t{77}; });
    testing::TestGame t(random);
    Game& g = t.g();
    g.ReplayFolder = folder;
    g.GameMode = c.mode;
    g.StageNo = c.stage;
    g.RuleKind = c.rule;
    g.TimeLeft = 60;
    g.ScoreLimit = 10;
    g.Difficulty = c.seed % 2 ? 10 : 65;
    MatchRecords r;
    SetUpMatchState(g, r, c.stage, DrawMatchSeed(g));
    BeginMatchLog(g);
    if (c.rule == rule_kind::kTime)
        for (int i = 0; i < kIntroClockCounts; ++i) CountClock(g, g.TimeLeft);
    testing::HoldItemInForce(c.item, r);

    std::mt19937 keys(static_cast<uint32_t>(c.seed));
    Recording out;
    int16_t result = 0;
    for (int f = 0; f < c.maxFrames && result == 0; ++f) {
        if (f % 5 == 0)
            for (bool& k : g.KeyFlags) k = keys() % 3 == 0 ? true : false;
        TakeFrameKeys(g);
        StepMatchFrame(g, r, c.mode);
        NoteFrameDone(g, r);
        out.hashes.push_back(MatchStateHash(g, r));
        result = DecidedResult(g);
    }
    FinishReplay(g, result);
    std::string error;
    EXPECT_TRUE(ReadReplayFile(g.KeyLog.lastWritten, out.replay, error)) << error;
    return out;
}

TEST(ReplayRoundTrip, EveryRecordedMatchReplaysToTheSameStateAtEveryFrame) {
    TempFolder folder;
    std::vector<Config> configs;
    for (uint8_t stage = 1; stage <= kStageCount; ++stage)
        for (uint8_t mode = 1; mode <= 2; ++mode) {
            for (uint8_t item = 0; item <= 9; ++item)
                for (uint64_t seed : {3u, 1234567u})
                    configs.push_back({stage, mode, uint8_t(1 + (item + seed) % 2), item, seed + stage, 150});
            configs.push_back({stage, mode, rule_kind::kTime, 0, 99u + stage, 100000});  // to time up
        }
    ASSERT_GE(configs.size(), 200u);
    int complete = 0;
    for (const Config& c : configs) {
        const Recording rec = Record(c, folder.Path());
        const std::string what = "stage " + std::to_string(c.stage) + " mode " + std::to_string(c.mode) +
                                 " item " + std::to_string(c.item) + " seed " + std::to_string(c.seed);
        ASSERT_EQ(rec.replay.keys.size(), rec.hashes.size()) << what;
        size_t mismatches = 0;
        const ReplayOutcome out = CheckReplay(
            rec.replay, [&](uint32_t frame, uint64_t hash) { mismatches += hash != rec.hashes[frame - 1]; },
            [&](Game&, MatchRecords& r) { testing::HoldItemInForce(c.item, r); });
        EXPECT_EQ(mismatches, 0u) << what;
        EXPECT_TRUE(out.agrees) << what << ": " << DescribeOutcome(out);
        complete += rec.replay.complete;
    }
    EXPECT_GE(complete, 10);  // the 60-second matches reached their result
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), long(kReplaysKept));
}

}  // namespace
}  // namespace vx
