// Golden replay: a fixed seed and a fixed key script give one known final state per
// stage, kept in tests/data/golden/replay_final_states.txt. Any change to the physics, the
// items, the drawing or the order of the calls in a frame changes those lines; rewrite
// them (VOLTRAX_UPDATE_GOLDEN=1) only for a change that is meant.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "match/key_input.h"
#include "support/golden_file.h"
#include "support/match_harness.h"

namespace vx {
namespace {

using testing::MatchHarness;

constexpr int kFrames = 900;  // 30 seconds of play, then a pause freezes the records

// Player 1 holds A, then Z; player 2 (in 1P VS 2P) its two keys out of step with that.
void ScriptKeys(MatchHarness& m) {
    for (int k = 0; k < kFrames; k += 60) {
        m.KeyDownAtFrame(k, key_code::kA);
        m.KeyUpAtFrame(k + 15, key_code::kA);
        m.KeyDownAtFrame(k + 30, key_code::kZ);
        m.KeyUpAtFrame(k + 45, key_code::kZ);
        m.KeyDownAtFrame(k + 10, key_code::kCloseBracket);
        m.KeyUpAtFrame(k + 25, key_code::kCloseBracket);
        m.KeyDownAtFrame(k + 40, key_code::kOem102);
        m.KeyUpAtFrame(k + 55, key_code::kOem102);
    }
    m.KeyDownAtFrame(kFrames - 1, key_code::kP);
}

uint64_t Fnv(uint64_t h, int64_t v) {
    for (int i = 0; i < 8; ++i) {
        h ^= static_cast<uint64_t>(v >> (8 * i)) & 0xFF;
        h *= 0x100000001b3ULL;
    }
    return h;
}

std::string Replay(uint8_t stage, uint8_t mode) {
    MatchHarness m(2024);
    m.PrepareScreen();
    Game& g = m.g();
    g.GameMode = mode;
    g.StageNo = stage;
    g.RuleKind = 1;
    g.TimeLeft = 120;
    ScriptKeys(m);
    m.Run();
    EXPECT_EQ(g.ScreenState, screen_state::kPaused);

    const MatchRecords& r = g.Saved;
    uint64_t screen = 0xcbf29ce484222325ULL;
    for (uint32_t px : g.MainPict.Pixels()) screen = Fnv(screen, px & kWhite);  // the colours alone
    char line[400];
    std::snprintf(line, sizeof line,
                  "frames %u score %d:%d time %d pucks %d [%d,%d,%d %d,%d,%d %d,%d,%d] paddles %d %d %d %d "
                  "item %d/%d screen %016llx",
                  g.FrameCount, g.Scores[0], g.Scores[1], g.TimeLeft, r.pucks.count, r.pucks.pucks[0].x,
                  r.pucks.pucks[0].y, r.pucks.pucks[0].state, r.pucks.pucks[1].x, r.pucks.pucks[1].y,
                  r.pucks.pucks[1].state, r.pucks.pucks[2].x, r.pucks.pucks[2].y, r.pucks.pucks[2].state,
                  r.paddles[0].y, r.paddles[1].y, r.paddles[2].y, r.paddles[3].y, r.item.kind, r.item.phase,
                  static_cast<unsigned long long>(screen));
    return line;
}

// Every stage against the computer, and two players on stage 3, to their final state.
TEST(GoldenReplay, EveryStageEndsInItsKnownState) {
    testing::NamedValues states;
    for (uint8_t stage = 1; stage <= 5; ++stage)
        states.emplace_back("stage" + std::to_string(stage) + ".vs_cpu", Replay(stage, 1));
    states.emplace_back("stage3.vs_2p", Replay(3, 2));
    EXPECT_EQ(testing::CompareWithGolden("replay_final_states.txt", states), "");
}

}  // namespace
}  // namespace vx
