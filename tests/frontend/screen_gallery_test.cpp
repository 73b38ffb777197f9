// Each stage's table as play starts, a Blind frame and every result message, on the
// real pictures. Besides what they check, these tests write the screens as pictures
// when VOLTRAX_SCREEN_DIR names a folder (tools/screens.sh turns them into PNGs).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "draw/match_frame.h"
#include "draw/match_panel.h"
#include "draw/screen_pictures.h"
#include "frontend/menu_commands.h"
#include "frontend/sys_data.h"
#include "frontend/title_screen.h"
#include "match/match_loop.h"
#include "match/match_sequences.h"
#include "platform/program_files.h"
#include "puck/items.h"
#include "stage/match_setup.h"
#include "support/files.h"
#include "support/screen_harness.h"

namespace vx {
namespace {

using testing::RealScreenHarness;
using testing::Snapshot;

// Plays the start sequence of a match and runs check once play has begun; the
// program then ends so the test does not play the whole match.
template <typename Check>
void AtStartOfPlay(RealScreenHarness& h, Check check) {
    Game& g = h.g();
    for (int64_t t = h.host.NowMs() + 3000; t < h.host.NowMs() + 6000; t += 20) {
        h.host.At(t, [&h, &g, check] {
            if (g.ScreenState != screen_state::kPlaying || h.host.Ending()) return;
            check();
            h.host.EndProgram();
        });
    }
    g.ScreenState = screen_state::kBusy;
    StartMatch(g);
    h.host.Run();
}

TEST(ScreenGallery, EachStageTableCarriesItsLinesIntoTheBackgroundStore) {
    for (uint8_t stage = 1; stage <= kStageCount; ++stage) {
        RealScreenHarness h;
        Game& g = h.g();
        ApplySettings(g);
        ShowTitle(g, true);
        ShowTitle(g, true);
        g.StageNo = stage;
        g.GameMode = stage == 3 ? 2 : 1;
        bool checked = false;
        AtStartOfPlay(h, [&] {
            Surface table;
            std::string error;
            ASSERT_TRUE(g.pictureLoader.Load(h.tg.folder.Path() / "dat" / "battle", table, error)) << error;
            // The field, below the panel strip: bare table on stage 1, lines on every other.
            const int changed = testing::CountDifferingPixels(g.BufPict, table, 66, 61, 380, 220);
            if (stage == 1)
                EXPECT_EQ(changed, 0);
            else
                EXPECT_GT(changed, 500) << "stage " << int(stage);
            Snapshot(g.MainPict, "table-stage" + std::to_string(stage));
            checked = true;
        });
        EXPECT_TRUE(checked) << int(stage);
    }
}

TEST(ScreenGallery, ABlindFrameHidesPlayerTwosGoalArea) {
    RealScreenHarness h;
    Game& g = h.g();
    ApplySettings(g);
    ShowTitle(g, true);
    g.GameMode = 2;
    g.StageNo = 1;
    bool checked = false;
    AtStartOfPlay(h, [&] {
        MatchRecords r;
        SpareRects spare{};
        SetupMatch(g, r.pucks, r.paddles, r.obstacles, r.sprites, r.item, spare, 1);
        r.pucks.count = 1;
        r.pucks.pucks[0].state = puck_state::kInPlay;
        r.pucks.pucks[0].x = 20000;
        r.pucks.pucks[0].y = 15000;
        r.pucks.pucks[0].vx = 300;
        r.item.kind = item_kind::kBlind;
        r.item.phase = item_phase::kEffect;
        r.item.timer = 250;
        r.item.owner = 1;
        for (int frame = 0; frame < 5; ++frame) PlayFrame(g, r, g.GameMode);
        const Rect a = g.BlindAreas[2];
        const int w = a.right - a.left, hgt = a.bottom - a.top;
        EXPECT_EQ(testing::CountColour(g.MainPict, a.left, a.top, w, hgt, kBlack), w * hgt);
        EXPECT_LT(testing::CountColour(g.BackPict, a.left, a.top, w, hgt, kBlack), w * hgt / 2);
        Snapshot(g.MainPict, "blind");
        checked = true;
    });
    EXPECT_TRUE(checked);
}

struct ResultCase {
    uint8_t mode;
    uint8_t score1, score2;
    const char* jingle;
    const char* name;
};

struct ResultGallery : ::testing::TestWithParam<ResultCase> {};

TEST_P(ResultGallery, TheResultMessageAndItsJingleFollowTheScores) {
    const ResultCase c = GetParam();
    RealScreenHarness h;
    Game& g = h.g();
    ApplySettings(g);
    ShowTitle(g, true);
    ChooseTimeLimit(g, 3);
    g.GameMode = c.mode;
    g.StageNo = 1;
    // From early on the scores are held at the case's; the message is caught while shown.
    bool captured = false;
    for (int64_t t = 4000; t < 70000; t += 25) {
        h.host.At(t, [&] {
            if (g.ScreenState == screen_state::kPlaying && g.TimeLeft <= 58 &&
                g.Scores != std::array{c.score1, c.score2}) {
                g.Scores = {c.score1, c.score2};
                DrawScore(g, 0);
                DrawScore(g, 1);
            }
            const auto names = h.wave.Names();
            if (!captured && !names.empty() && EqualsIgnoringAsciiCase(names.back(), c.jingle)) {
                Snapshot(g.MainPict, std::string("result-") + c.name);
                captured = true;
            }
        });
    }
    g.ScreenState = screen_state::kBusy;
    StartMatch(g);
    h.host.Run();
    EXPECT_TRUE(captured) << "jingle " << c.jingle;
    EXPECT_EQ(g.ScreenState, screen_state::kResult);
    Snapshot(g.MainPict, std::string("result-buttons-") + c.name);
}

INSTANTIATE_TEST_SUITE_P(Results, ResultGallery,
                         ::testing::Values(ResultCase{1, 3, 3, "wave5.wav", "draw"},
                                           ResultCase{1, 5, 2, "Wave9.wav", "you_win"},
                                           ResultCase{1, 1, 4, "Wave8.wav", "you_lose"},
                                           ResultCase{2, 6, 2, "Wave6.wav", "player1_win"},
                                           ResultCase{2, 2, 7, "wave7.wav", "player2_win"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vx
