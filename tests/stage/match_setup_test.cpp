#include "stage/match_setup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/game.h"
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

struct Line {
    int32_t slope, intercept;
};

// Worked out independently with exact fractions: floor(dy*100/dx), floor((x1*y2 - y1*x2)*100/dx).
const std::vector<Line> kStage2Lines = {{33, 3566},   {-34, 12633}, {33, -434},   {-29, 15414},
                                        {33, -4767},  {-40, 23540}, {-34, 30633}, {33, 21566},
                                        {-34, 34633}, {28, 18785},  {-34, 38966}, {40, 10660}};
const std::vector<Line> kStage3Lines = {
    {50, 1800},   {-50, 18400},  {50, 4800},    {-50, 14400},  {-15, 11090},    {-15, 12540},
    {-50, 27400}, {50, -7200},   {-50, 30400},  {50, -11200},  {-15, 14990},    {-15, 16140},
    {-50, 32500}, {50, 15900},   {-50, 29500},  {50, 19900},   {-15, 27190},    {-15, 25640},
    {50, 6900},   {-50, 41500},  {50, 3900},    {-50, 45500},  {-15, 31090},    {-15, 29240},
    {170, 80},    {-170, 87120}, {-170, 34220}, {170, -52820}, {-1950, 140000}, {-1950, 888800}};
const std::vector<Line> kStage5Lines = {
    {100, -17300}, {-50, 20900}, {-100, 33900}, {-100, 51500}, {-50, 38900},  {100, 300},    {-100, 40300},
    {-200, 63900}, {100, -6100}, {-50, 32100},  {-100, 45100}, {-200, 72700}, {100, -10900}, {-50, 27700}};

TEST(StageWalls, EveryWallLineMatchesTheHandComputedValues) {
    StageBuild s;
    for (auto [stage, lines] : {std::pair{2, &kStage2Lines}, {3, &kStage3Lines}, {5, &kStage5Lines}}) {
        s.Run(static_cast<uint8_t>(stage));
        ASSERT_EQ(s.r.obstacles.wallCount, lines->size()) << "stage " << stage;
        for (size_t i = 0; i < lines->size(); ++i) {
            EXPECT_EQ(s.r.obstacles.walls[i].slope, (*lines)[i].slope) << "stage " << stage << " wall " << i;
            EXPECT_EQ(s.r.obstacles.walls[i].intercept, (*lines)[i].intercept)
                << "stage " << stage << " wall " << i;
        }
    }
}

TEST(StageSetup, ObstaclesPostsAndPuckCountsPerStage) {
    StageBuild s;
    struct Expect {
        uint8_t walls, bumpers, posts, pucks;
    } expected[] = {{0, 0, 0, 1}, {12, 0, 0, 1}, {30, 0, 4, 1}, {0, 10, 0, 1}, {14, 0, 0, 3}};
    for (uint8_t stage = 1; stage <= 5; ++stage) {
        s.Run(stage);
        const Expect& e = expected[stage - 1];
        EXPECT_EQ(s.r.obstacles.wallCount, e.walls) << int(stage);
        EXPECT_EQ(s.r.obstacles.bumperCount, e.bumpers) << int(stage);
        EXPECT_EQ(s.t.g().CornerPosts.count, e.posts) << int(stage);
        EXPECT_EQ(s.r.pucks.count, e.pucks) << int(stage);
    }
    s.Run(3);
    s.Run(1);
    EXPECT_EQ(s.t.g().CornerPosts.count, 0) << "posts of an earlier stage-3 match do not linger";
}

TEST(StageSetup, AllowedItemKindsPerStageAndMode) {
    using K = std::vector<uint8_t>;
    const K oneTwo = {1, 2, 3, 4, 5, 6, 7}, threeFour = {2, 3, 4, 5, 6, 7}, five = {1, 2, 3, 5, 6, 7};
    const K* perStage[] = {&oneTwo, &oneTwo, &threeFour, &threeFour, &five};
    StageBuild s;
    for (uint8_t mode : {1, 2}) {
        for (uint8_t stage = 1; stage <= 5; ++stage) {
            s.Run(stage, mode);
            K expected = *perStage[stage - 1];
            if (mode == 2) expected.insert(expected.end(), {8, 9});
            K got(s.r.item.allowed.begin(), s.r.item.allowed.begin() + s.r.item.allowedCount);
            EXPECT_EQ(got, expected) << "stage " << int(stage) << " mode " << int(mode);
        }
    }
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
