// The whole road through the screens with the real generated pictures, on the
// virtual clock: title, stage select, waiting screen, a match, the result screen and
// its three ways out, and a paused match resumed and stopped.
#include <gtest/gtest.h>

#include <string>

#include "frontend/keyboard.h"
#include "frontend/menu_commands.h"
#include "frontend/mouse.h"
#include "frontend/sys_data.h"
#include "frontend/title_screen.h"
#include "support/files.h"
#include "support/screen_harness.h"

namespace vx {
namespace {

using testing::RealScreenHarness;
using testing::Snapshot;

bool SameArea(const Surface& a, int ax, int ay, const Surface& b, int bx, int by, int w, int h) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (a.Pixel(ax + x, ay + y) != b.Pixel(bx + x, by + y)) return false;
    return true;
}

bool OptionItemsEnabled(const Game& g) {
    bool all = true, none = true;
    for (int i = 1; i <= 3; ++i) {
        for (MenuId id : {MenuModel::Time(i), MenuModel::Score(i), MenuModel::Diff(i)}) {
            all = all && g.Menu.Enabled(id);
            none = none && !g.Menu.Enabled(id);
        }
    }
    EXPECT_TRUE(all || none) << "the nine option items change together";
    return all;
}

struct Road : ::testing::TestWithParam<uint8_t> {
    RealScreenHarness h;
    Game& g = h.g();
    std::string mode = GetParam() == 1 ? "cpu" : "2p";

    Road() {
        ApplySettings(g);
        ChooseTimeLimit(g, 3);  // 60 s keeps the matches short
        ShowTitle(g, true);
    }
    void Click(int number) { testing::ClickButton(g, number); }
};

TEST_P(Road, FromTheTitleThroughTwoMatchesAndBack) {
    EXPECT_EQ(g.ScreenState, screen_state::kTitle);
    Snapshot(g.MainPict, "title");
    testing::HoverButton(g, 1);
    Snapshot(g.MainPict, "title-hover");
    OnPointerDown(g, 1, 0, 250, 183);
    Snapshot(g.MainPict, "title-pressed");
    OnPointerUp(g, 1, 0, 5, 5);
    Click(GetParam());  // 1P VS CPU or 1P VS 2P
    ASSERT_EQ(g.ScreenState, screen_state::kStageSelect);
    EXPECT_EQ(g.GameMode, GetParam());
    EXPECT_EQ(g.StageNo, 1);
    EXPECT_TRUE(SameArea(g.MainPict, 28, 231, g.BufPict, 28, 231, 60, 50)) << "slot 1 bright";
    EXPECT_FALSE(SameArea(g.MainPict, 88, 231, g.BufPict, 88, 231, 60, 50)) << "slot 2 shaded";
    Snapshot(g.MainPict, "select-" + mode + "-1");
    for (int stage = 2; stage <= kStageCount; ++stage) {
        const Rect& slot = g.MenuButtons[static_cast<size_t>(24 + stage)].rect;
        OnPointerDown(g, 1, 0, slot.left + 5.0f, slot.top + 5.0f);
        if (stage == 3) Snapshot(g.MainPict, "select-" + mode + "-pressed-slot");
        OnPointerUp(g, 1, 0, slot.left + 5.0f, slot.top + 5.0f);
        Snapshot(g.MainPict, "select-" + mode + "-" + std::to_string(stage));
    }

    // Slot 3, then OK.
    OnPointerDown(g, 1, 0, 150, 240);
    EXPECT_EQ(g.StageNo, 3);
    EXPECT_EQ(g.MainPict.Pixel(149, 232), 0xFFFF00u);
    OnPointerUp(g, 1, 0, 150, 240);
    EXPECT_TRUE(SameArea(g.MainPict, 148, 231, g.BufPict, 148, 231, 60, 50)) << "slot 3 bright";
    EXPECT_TRUE(g.Menu.Enabled(MenuId::MenuVSCPU) == false);

    const int64_t okAt = h.host.NowMs();
    bool sawWaiting = false, sawIntro = false, fullTimeAtStart = false;
    h.host.At(okAt + 404 + 500, [&] {
        sawWaiting = g.ScreenState == screen_state::kWaiting &&
                     SameArea(g.MainPict, 375, 139, g.Pict, 2 * 43 + 199, 313, 43, 47);
        Snapshot(g.MainPict, "waiting-" + mode);
        EXPECT_FALSE(OptionItemsEnabled(g));
    });
    h.host.At(okAt + 404 + 1001 + 404 + 600, [&] {
        sawIntro = g.ScreenState == screen_state::kIntro;
        Snapshot(g.MainPict, "ready-" + mode);
    });
    h.host.At(okAt + 404 + 1001 + 404 + 1503 + 100,
              [&] { fullTimeAtStart = g.ScreenState == screen_state::kPlaying && g.TimeLeft == 60; });
    h.host.At(okAt + 20000, [&] { Snapshot(g.MainPict, "play-stage3-" + mode); });
    Click(11);
    EXPECT_TRUE(sawWaiting) << "the waiting screen shows the stage digit 3";
    EXPECT_TRUE(sawIntro);
    EXPECT_TRUE(fullTimeAtStart);
    ASSERT_EQ(g.ScreenState, screen_state::kResult);
    EXPECT_EQ(g.TimeLeft, 0);
    Snapshot(g.MainPict, "result-" + mode);
    const auto names = h.wave.Names();
    EXPECT_NE(std::find(names.begin(), names.end(), "wave4.wav"), names.end()) << "Ready's chime";
    EXPECT_NE(std::find(names.begin(), names.end(), "wave10.wav"), names.end()) << "time up";

    // RETRY: same stage and mode, full time again, options still disabled.
    bool retryFullTime = false;
    const int64_t retryAt = h.host.NowMs();
    h.host.At(retryAt + 404 + 1503 + 100, [&] {
        retryFullTime = g.ScreenState == screen_state::kPlaying && g.TimeLeft == 60 && g.StageNo == 3 &&
                        g.GameMode == GetParam();
        EXPECT_FALSE(OptionItemsEnabled(g));
    });
    Click(16);
    EXPECT_TRUE(retryFullTime);
    ASSERT_EQ(g.ScreenState, screen_state::kResult);
    EXPECT_FALSE(OptionItemsEnabled(g));

    // STAGE SELECT: stage 1 again, options enabled, the game items still off.
    Click(17);
    EXPECT_EQ(g.ScreenState, screen_state::kStageSelect);
    EXPECT_EQ(g.StageNo, 1);
    EXPECT_EQ(g.GameMode, GetParam());
    EXPECT_TRUE(OptionItemsEnabled(g));
    EXPECT_FALSE(g.Menu.Enabled(MenuId::MenuVSCPU));

    // RETURN: the title, where both game items are enabled.
    Click(10);
    EXPECT_EQ(g.ScreenState, screen_state::kTitle);
    EXPECT_TRUE(g.Menu.Enabled(MenuId::MenuVSCPU));
    EXPECT_TRUE(g.Menu.Enabled(MenuId::MenuVS2P));
    EXPECT_FALSE(h.host.Ending());
    EXPECT_TRUE(g.FatalMessage.empty());
}

TEST_P(Road, PauseResumeAndStopFollowTheMenuStates) {
    Click(GetParam());
    const int64_t start = h.host.NowMs();
    // P during the intro is ignored; P while playing pauses after that frame.
    h.host.At(start + 404 + 1001 + 404 + 300, [&] { OnKeyDown(g, 80, 0); });
    h.host.At(start + 8000, [&] { OnKeyDown(g, 80, 0); });
    Click(11);
    ASSERT_EQ(g.ScreenState, screen_state::kPaused);
    EXPECT_FALSE(g.Menu.Enabled(MenuId::MenuPause));
    EXPECT_TRUE(g.Menu.Enabled(MenuId::MenuRePlay));
    EXPECT_TRUE(g.Menu.Enabled(MenuId::MenuGameStop));
    EXPECT_EQ(h.host.Pointer(), MousePointer::Normal);
    Snapshot(g.MainPict, "pause-" + mode);
    const int16_t pausedTime = g.TimeLeft;
    EXPECT_LT(pausedTime, 60);
    EXPECT_GT(pausedTime, 50);

    // R and S while playing do nothing; S while paused stops. First resume, pause again.
    h.host.At(h.host.NowMs() + 3000, [&] {
        EXPECT_EQ(g.ScreenState, screen_state::kPlaying);
        EXPECT_FALSE(g.Menu.Enabled(MenuId::MenuGameStop));
        OnKeyDown(g, 83, 0);  // S: ignored while playing
        OnKeyDown(g, 82, 0);  // R: ignored while playing
        PauseMatch(g);
    });
    OnKeyDown(g, 82, 0);  // R: resume, runs until the next pause
    h.host.Run();
    ASSERT_EQ(g.ScreenState, screen_state::kPaused);
    EXPECT_LE(g.TimeLeft, pausedTime) << "the clock went on from where it stopped";
    EXPECT_GE(g.TimeLeft, pausedTime - 4);

    StopPausedMatch(g);
    h.host.Run();
    EXPECT_EQ(g.ScreenState, screen_state::kTitle);
    EXPECT_EQ(g.TimeLeft, 60) << "after a stop the next match has the chosen time";
    EXPECT_TRUE(OptionItemsEnabled(g));
    EXPECT_TRUE(g.Menu.Enabled(MenuId::MenuVSCPU));
    EXPECT_TRUE(g.Menu.Enabled(MenuId::MenuVS2P));
    EXPECT_FALSE(g.Menu.Enabled(MenuId::MenuRePlay));
    EXPECT_FALSE(g.Menu.Enabled(MenuId::MenuGameStop));
    StopPausedMatch(g);  // nothing to stop any more
    EXPECT_EQ(g.ScreenState, screen_state::kTitle);
}

INSTANTIATE_TEST_SUITE_P(BothModes, Road, ::testing::Values(uint8_t{1}, uint8_t{2}),
                         [](const auto& info) { return info.param == 1 ? "VsCpu" : "Vs2P"; });

}  // namespace
}  // namespace vx
