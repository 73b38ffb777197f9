// Many seeded matches of 3,600 frames on every stage, in both modes, with random keys
// and with Double forced on, checking what must hold in every frame.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "support/headless_match.h"

namespace vx {
namespace {

using testing::HeadlessMatch;
using testing::HeadlessOptions;

constexpr int kMatchFrames = 3600;
constexpr int kMaxBurstFrames = 3;  // eight burst steps at three a frame
constexpr int kMaxStillSidewaysFrames = 300;

struct SoakFindings {
    int framesWithLivePucks = 0;
    int goals = 0;
    std::string firstProblem;
    void Note(const std::string& problem, int frame) {
        if (firstProblem.empty()) firstProblem = problem + " at frame " + std::to_string(frame);
    }
};

SoakFindings Soak(const HeadlessOptions& options) {
    HeadlessMatch m(options);
    SoakFindings f;
    std::array<int, 3> burstingFor{};
    std::array<int, 3> stillSidewaysFor{};
    for (int frame = 0; frame < kMatchFrames; ++frame) {
        m.RunFrame();
        const MatchRecords& r = m.r();
        for (int i = 0; i < 3; ++i) {
            const Puck& p = r.pucks.pucks[i];
            const bool live = p.state == puck_state::kInPlay;
            const bool bursting = p.state >= puck_state::kBurstFirst;
            burstingFor[i] = bursting ? burstingFor[i] + 1 : 0;
            stillSidewaysFor[i] = live && p.vx == 0 ? stillSidewaysFor[i] + 1 : 0;
            if (burstingFor[i] > kMaxBurstFrames)
                f.Note("slot " + std::to_string(i) + " stays bursting", frame);
            if (stillSidewaysFor[i] > kMaxStillSidewaysFrames)
                f.Note("slot " + std::to_string(i) + " keeps vx 0", frame);
            if (!live) continue;
            ++f.framesWithLivePucks;
            const int32_t px = FloorDiv100(p.x);
            const int32_t py = FloorDiv100(p.y);
            if (px < 0 || px > 511 || py < 55 || py > 288) {
                f.Note("live puck off the table at (" + std::to_string(px) + ", " + std::to_string(py) + ")",
                       frame);
            }
        }
        for (int j : {0, 2}) {
            const Paddle& back = r.paddles[j];
            if (back.y - back.halfLength < 61 || back.y + back.halfLength > 282) {
                f.Note("back paddle " + std::to_string(j) + " at y " + std::to_string(back.y), frame);
            }
        }
    }
    f.goals = m.g().Scores[0] + m.g().Scores[1];
    return f;
}

TEST(MatchSoak, InvariantsHoldOnEveryStageInBothModes) {
    int totalGoals = 0;
    for (uint8_t stage = 1; stage <= 5; ++stage) {
        for (uint8_t mode : {uint8_t{1}, uint8_t{2}}) {
            for (uint8_t item : {uint8_t{0}, item_kind::kDouble}) {
                for (uint64_t seed = 1; seed <= 6; ++seed) {
                    HeadlessOptions o;
                    o.stage = stage;
                    o.mode = mode;
                    o.seed = seed * 1000 + stage * 10 + mode;
                    o.difficulty = seed % 3 == 1 ? 65 : (seed % 3 == 2 ? 35 : 10);
                    o.randomKeys = true;
                    o.forcedItem = item;
                    const SoakFindings f = Soak(o);
                    EXPECT_EQ(f.firstProblem, "") << "stage " << int(stage) << " mode " << int(mode)
                                                  << " item " << int(item) << " seed " << o.seed;
                    EXPECT_GT(f.framesWithLivePucks, kMatchFrames / 2);
                    totalGoals += f.goals;
                }
            }
        }
    }
    EXPECT_GT(totalGoals, 120);  // matches are played, not stalled
}

}  // namespace
}  // namespace vx
