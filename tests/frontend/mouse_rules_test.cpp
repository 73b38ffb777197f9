#include <gtest/gtest.h>

#include "draw/menu_buttons.h"
#include "frontend/mouse.h"
#include "frontend/stage_select.h"
#include "frontend/title_screen.h"
#include "support/screen_harness.h"

namespace vx {
namespace {

using testing::ScreenHarness;
using testing::ShowsSheet;

// Centre of a button's rectangle, as a mouse position.
struct Spot {
    float x, y;
};
Spot CentreOf(const Game& g, int number) {
    const Rect& r = g.MenuButtons[static_cast<size_t>(number)].rect;
    return {(r.left + r.right) / 2.0f, (r.top + r.bottom) / 2.0f};
}

// Which look of the title's 1P VS CPU button is on screen: its image's top-left pixel.
bool TitleButtonShows(const Game& g, int lookNumber) {
    const MenuButton& look = g.MenuButtons[static_cast<size_t>(lookNumber)];
    return ShowsSheet(g.MainPict, look.rect.left, look.rect.top, look.sheetX + look.sheetOffset, look.sheetY);
}

struct TitleFixture : ::testing::Test {
    ScreenHarness h;
    Game& g = h.g();
    TitleFixture() { ShowTitle(g, true); }
    void Down(Spot s) { OnPointerDown(g, 1, 0, s.x, s.y); }
    void Up(Spot s) {
        OnPointerUp(g, 1, 0, s.x, s.y);
        h.host.Run();
    }
    void Move(Spot s) { OnPointerMove(g, 0, 0, s.x, s.y); }
};

TEST_F(TitleFixture, HoverFollowsEveryMoveAndPressPlaysTheClick) {
    EXPECT_TRUE(TitleButtonShows(g, 1) && TitleButtonShows(g, 2) && TitleButtonShows(g, 3)) << "normal looks";
    Move(CentreOf(g, 2));
    EXPECT_TRUE(TitleButtonShows(g, 5));
    EXPECT_TRUE(TitleButtonShows(g, 1));
    Down(CentreOf(g, 2));
    EXPECT_TRUE(TitleButtonShows(g, 8));
    ASSERT_EQ(h.wave.Names(), std::vector<std::string>{"wave3.wav"});
    EXPECT_FALSE(h.wave.calls[0].waitToEnd);
}

TEST_F(TitleFixture, AReleaseOutsideEveryButtonKeepsThePressedLookUntilTheNextMove) {
    Down(CentreOf(g, 1));
    Up({5, 5});
    EXPECT_TRUE(TitleButtonShows(g, 7)) << "still pressed";
    EXPECT_EQ(g.ScreenState, screen_state::kTitle);
    Move({6, 6});
    EXPECT_TRUE(TitleButtonShows(g, 1));
}

TEST_F(TitleFixture, HoverWaitsWhileAButtonIsHeld) {
    Down({5, 5});
    EXPECT_EQ(g.MouseHeld, true);
    Move(CentreOf(g, 1));
    EXPECT_TRUE(TitleButtonShows(g, 1)) << "no hover while held";
    EXPECT_TRUE(h.wave.calls.empty()) << "a press on no button is silent";
}

TEST_F(TitleFixture, PressOutsideAndReleaseOnAButtonRunsThatButton) {
    Down({5, 5});
    Up(CentreOf(g, 2));
    EXPECT_EQ(g.ScreenState, screen_state::kStageSelect);
    EXPECT_EQ(g.GameMode, 2);
}

TEST_F(TitleFixture, PositionsRoundHalvesToEvenAndEdgesCount) {
    const Rect& r = g.MenuButtons[1].rect;             // 156..355 x 169..197
    Move({r.left - 0.5f, static_cast<float>(r.top)});  // 155.5 rounds to 156: inside
    EXPECT_TRUE(TitleButtonShows(g, 4));
    Move({r.left - 1.5f, static_cast<float>(r.top)});  // 154.5 rounds to 154: outside
    EXPECT_TRUE(TitleButtonShows(g, 1));
    Move({static_cast<float>(r.right), static_cast<float>(r.bottom)});
    EXPECT_TRUE(TitleButtonShows(g, 4));
}

struct StageSelectFixture : TitleFixture {
    StageSelectFixture() {
        Up(CentreOf(g, 1));
        EXPECT_EQ(g.ScreenState, screen_state::kStageSelect);
    }
};

TEST_F(StageSelectFixture, PressingOkAndReleasingOnASlotChangesTheStageWithoutStarting) {
    Down(CentreOf(g, 11));
    Up(CentreOf(g, 25 + 3));  // slot 4
    EXPECT_EQ(g.StageNo, 4);
    EXPECT_EQ(g.ScreenState, screen_state::kStageSelect);
}

TEST_F(StageSelectFixture, PressingASlotFramesItAndReleasingOutsideKeepsTheStage) {
    Down(CentreOf(g, 25 + 2));  // slot 3
    EXPECT_EQ(g.StageNo, 3);
    EXPECT_EQ(g.MainPict.Pixel(149, 232), 0xFFFF00u) << "yellow frame on the screen";
    EXPECT_NE(g.BackPict.Pixel(149, 232), 0xFFFF00u) << "the frame is drawn on MainPict only";
    Up({5, 5});
    EXPECT_EQ(g.StageNo, 3);
    EXPECT_NE(g.MainPict.Pixel(149, 232), 0xFFFF00u) << "the release redraws the strip";
}

TEST(MouseDuringAMatch, OnlySetsAndClearsMouseHeld) {
    ScreenHarness h;
    Game& g = h.g();
    ShowTitle(g, true);
    const Spot onQuit = CentreOf(g, 3);
    for (uint8_t state : {3, 4, 6, 7, 8, 10}) {
        g.ScreenState = state;
        const Surface before = g.MainPict;
        OnPointerDown(g, 1, 0, onQuit.x, onQuit.y);
        EXPECT_EQ(g.MouseHeld, true);
        OnPointerMove(g, 1, 0, onQuit.x, onQuit.y);
        OnPointerUp(g, 1, 0, onQuit.x, onQuit.y);
        h.host.Run();
        EXPECT_EQ(g.MouseHeld, false);
        EXPECT_EQ(g.MainPict, before) << int(state);
        EXPECT_EQ(g.ScreenState, state);
        EXPECT_FALSE(h.host.Ending());
    }
    EXPECT_TRUE(h.wave.calls.empty());
}

TEST(MouseOnTheTitle, QuitEndsTheProgramWithTheMusicStopped) {
    ScreenHarness h;
    Game& g = h.g();
    ShowTitle(g, true);
    h.seq.PlayLooping("opening.mid");
    testing::ClickButton(g, 3);
    EXPECT_TRUE(h.host.Ending());
    EXPECT_TRUE(h.seq.playing.empty());
    EXPECT_EQ(h.seq.calls.back(), "stop");
}

}  // namespace
}  // namespace vx
