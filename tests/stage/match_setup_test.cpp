#include "stage/match_setup.h"

#include <gtest/gtest.h>

#include <string>

#include "core/game.h"
#include "support/golden_file.h"
#include "support/test_game.h"

namespace vx {
namespace {

struct StageBuild {
    testing::TestGame t;
    MatchRecords r;
    SpareRects spare{};
    void Run(uint8_t stage, uint8_t mode = 1) {
        t.g().GameMode = mode;
        r = MatchRecords{};
        SetupMatch(t.g(), r.pucks, r.paddles, r.obstacles, r.sprites, r.item, spare, stage);
    }
};

// Per stage and mode: the wall lines (slope/intercept, worked out by hand with exact
// fractions when they were first written: floor(dy*100/dx), floor((x1*y2 - y1*x2)*100/dx)),
// the bumpers, corner posts and pucks, and the item kinds that may come.
TEST(StageSetup, EveryStageBuildsItsKnownObstaclesPucksAndItems) {
    StageBuild s;
    testing::NamedValues built;
    for (uint8_t stage = 1; stage <= 5; ++stage) {
        const std::string name = "stage" + std::to_string(stage);
        for (uint8_t mode : {1, 2}) {
            s.Run(stage, mode);
            std::string items;
            for (int i = 0; i < s.r.item.allowedCount; ++i)
                items += (i ? " " : "") + std::to_string(s.r.item.allowed[i]);
            if (mode == 2) {
                built.emplace_back(name + ".items.mode2", items);
                continue;
            }
            built.emplace_back(name + ".counts", "bumpers " + std::to_string(s.r.obstacles.bumperCount) +
                                                     " posts " + std::to_string(s.t.g().CornerPosts.count) +
                                                     " pucks " + std::to_string(s.r.pucks.count));
            std::string walls;
            for (int i = 0; i < s.r.obstacles.wallCount; ++i)
                walls += (i ? " " : "") + std::to_string(s.r.obstacles.walls[i].slope) + "/" +
                         std::to_string(s.r.obstacles.walls[i].intercept);
            built.emplace_back(name + ".walls", walls);
            built.emplace_back(name + ".items.mode1", items);
        }
    }
    EXPECT_EQ(testing::CompareWithGolden("stage_setup.txt", built), "");
    s.Run(3);
    s.Run(1);
    EXPECT_EQ(s.t.g().CornerPosts.count, 0) << "posts of an earlier stage-3 match do not linger";
}

// The keys held when a match ends are let go and the computer's flag follows the mode; the
// starting places of paddles and pucks are pinned by the golden replay of every stage.
TEST(StageSetup, KeysAreLetGoAndBlindAreasAndTheComputerFlagFollowTheMode) {
    StageBuild s;
    s.t.g().KeyFlags = {true, true, true, true};
    s.Run(5, 2);
    const Game& g = s.t.g();
    EXPECT_EQ(g.KeyFlags, (std::array<bool, 4>{}));
    EXPECT_EQ(g.SimulationFlag, false);
    EXPECT_EQ(g.BlindAreas[0], (Rect{66, 61, 174, 281}));
    EXPECT_EQ(g.BlindAreas[1], Rect{});
    EXPECT_EQ(g.BlindAreas[2], (Rect{338, 61, 446, 281}));
    s.Run(1, 1);
    EXPECT_EQ(g.SimulationFlag, true);
}

}  // namespace
}  // namespace vx
