// Gamepads on SDL's virtual joysticks, read by the real back-end and acted on by the
// game: two pads steer both players with the same key flags as the keys, a pad plugged
// in mid-match is taken, an unplugged one pauses, Start pauses and resumes, Back stops,
// and the whole road from the title to the result screen and back runs on a pad alone.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <memory>

#include "draw/menu_buttons.h"
#include "frontend/menu_commands.h"
#include "frontend/pad_input.h"
#include "frontend/sys_data.h"
#include "frontend/title_screen.h"
#include "match/key_input.h"
#include "platform/pads/pad_system.h"
#include "support/screen_harness.h"

namespace vx {
namespace {

// A game controller that exists only in SDL: buttons and the left stick are set by the test.
class VirtualPad {
  public:
    VirtualPad() {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = "virtual pad";
        const int device = SDL_JoystickAttachVirtualEx(&desc);
        joystick_ = device < 0 ? nullptr : SDL_JoystickOpen(device);
        EXPECT_NE(joystick_, nullptr) << SDL_GetError();
    }
    ~VirtualPad() { Unplug(); }
    void Hold(SDL_GameControllerButton button, bool down) {
        SDL_JoystickSetVirtualButton(joystick_, button, down ? 1 : 0);
    }
    void StickY(int16_t value) { SDL_JoystickSetVirtualAxis(joystick_, SDL_CONTROLLER_AXIS_LEFTY, value); }
    void Unplug() {
        if (joystick_ == nullptr) return;
        const SDL_JoystickID instance = SDL_JoystickInstanceID(joystick_);
        SDL_JoystickClose(joystick_);
        joystick_ = nullptr;
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == instance) SDL_JoystickDetachVirtual(i);
    }

  private:
    SDL_Joystick* joystick_ = nullptr;
};

constexpr auto kUp = SDL_CONTROLLER_BUTTON_DPAD_UP;
constexpr auto kDown = SDL_CONTROLLER_BUTTON_DPAD_DOWN;
constexpr auto kRight = SDL_CONTROLLER_BUTTON_DPAD_RIGHT;
constexpr auto kA = SDL_CONTROLLER_BUTTON_A;
constexpr auto kB = SDL_CONTROLLER_BUTTON_B;
constexpr auto kStart = SDL_CONTROLLER_BUTTON_START;
constexpr auto kBack = SDL_CONTROLLER_BUTTON_BACK;

// Play starts this long after OK is released (two wipes, the waiting screen, Ready).
constexpr int64_t kPlayAfterOkMs = 404 + 1001 + 404 + 1503 + 100;

struct Pads : ::testing::Test {
    pads::PadSystem system;
    testing::RealScreenHarness h;
    Game& g = h.g();
    PadInput input;

    Pads() {
        ApplySettings(g);
        Menutime_Click(g, 3);  // 60 s
        ShowTitle(g, kTrue);
    }
    void Poll() { input.Apply(g, system.Poll()); }
    // Press and release, each seen by a poll, as a player's tap would be.
    void Tap(VirtualPad& pad, SDL_GameControllerButton button) {
        pad.Hold(button, true);
        Poll();
        pad.Hold(button, false);
        Poll();
    }
    void At(int64_t ms, std::function<void()> step) {
        h.host.At(h.host.NowMs() + ms, [this, step] {
            step();
            Poll();
        });
    }
    int Clicks() {
        const auto names = h.wave.Names();
        return static_cast<int>(std::count(names.begin(), names.end(), "wave3.wav"));
    }
    bool Flags(bool up1, bool down1, bool down2, bool up2) {
        return g.KeyFlags == KeyFlagSet{ToBool16(up1), ToBool16(down1), ToBool16(down2), ToBool16(up2)};
    }
};

TEST_F(Pads, TwoPadsDriveTheRoadSteerBothPlayersAndPauseOnUnplugAndStart) {
    ASSERT_TRUE(system.Started());
    VirtualPad first, second;
    Poll();
    // Title: the first d-pad press shows the hover on 1P VS CPU, the next moves to 1P VS 2P.
    const uint32_t plain = g.MainPict.Pixel(160, 175);
    Tap(first, kDown);
    EXPECT_NE(g.MainPict.Pixel(160, 175), plain) << "hover look on 1P VS CPU";
    Tap(first, kDown);
    first.Hold(kA, true);
    Poll();
    EXPECT_EQ(Clicks(), 1) << "A's press is the click's press";
    EXPECT_EQ(g.ScreenState, screen_state::kTitle) << "the button acts on release";
    first.Hold(kA, false);
    Poll();
    ASSERT_EQ(g.ScreenState, screen_state::kStageSelect);
    EXPECT_EQ(g.GameMode, game_mode::kVs2P);

    // Stage select: the d-pad walks the slots (choosing each), A presses slot 2.
    Tap(second, kRight);  // onto the chosen slot, 1
    Tap(second, kRight);
    EXPECT_EQ(g.StageNo, 2);
    second.Hold(kA, true);
    Poll();
    EXPECT_EQ(g.MainPict.Pixel(89, 232), 0xFFFF00u) << "the press frame on slot 2";
    EXPECT_EQ(Clicks(), 2);
    second.Hold(kA, false);
    Poll();
    for (int i = 0; i < 4; ++i) Tap(second, kRight);  // slots 3, 4, 5, then OK
    EXPECT_EQ(g.StageNo, 5);

    // The match: both levers, the stick's dead zone, an unplugged pad pauses.
    bool bothLevers = false, released = false, deadZone = false, stickUp = false;
    At(kPlayAfterOkMs, [&] {
        first.Hold(kUp, true);
        second.StickY(30000);
    });
    At(kPlayAfterOkMs + 1, [&] { bothLevers = Flags(true, false, true, false); });
    At(kPlayAfterOkMs + 100, [&] {
        first.Hold(kUp, false);
        second.StickY(6000);
    });
    At(kPlayAfterOkMs + 101, [&] { deadZone = released = Flags(false, false, false, false); });
    At(kPlayAfterOkMs + 200, [&] { second.StickY(-30000); });
    At(kPlayAfterOkMs + 201, [&] { stickUp = Flags(false, false, false, true); });
    At(kPlayAfterOkMs + 300, [&] { second.Unplug(); });
    second.Hold(kA, true);
    Poll();
    second.Hold(kA, false);
    Poll();  // OK: the match runs inside this poll until it pauses
    EXPECT_TRUE(bothLevers);
    EXPECT_TRUE(released && deadZone);
    EXPECT_TRUE(stickUp);
    ASSERT_EQ(g.ScreenState, screen_state::kPaused) << "the unplugged pad paused the match";
    EXPECT_TRUE(Flags(false, false, false, false)) << "its held lever let go";

    // A pad plugged in now takes player 2's free place; Start resumes and pauses.
    VirtualPad third;
    bool thirdSteers = false;
    At(3000, [&] { third.Hold(kDown, true); });
    At(3001, [&] { thirdSteers = Flags(false, false, true, false); });
    At(3100, [&] { first.Hold(kStart, false); });
    At(3200, [&] { first.Hold(kStart, true); });
    first.Hold(kStart, true);
    Poll();  // resumes; returns when Start pauses again
    EXPECT_TRUE(thirdSteers);
    ASSERT_EQ(g.ScreenState, screen_state::kPaused) << "Start paused the resumed match";

    // Start again plays the match out to the result screen.
    third.Hold(kDown, false);
    Poll();
    first.Hold(kStart, false);
    Poll();
    Tap(first, kStart);
    ASSERT_EQ(g.ScreenState, screen_state::kResult);
    EXPECT_EQ(g.TimeLeft, 0);

    // Result: RETRY, STAGE SELECT, OPENING down the screen; A on OPENING goes to the title.
    for (int i = 0; i < 3; ++i) Tap(first, kDown);
    Tap(first, kA);
    EXPECT_EQ(g.ScreenState, screen_state::kTitle);
}

TEST_F(Pads, InOnePlayerGamesAnyPadSteersPlayerOneAndBackStopsAPausedMatch) {
    VirtualPad first, second;
    Poll();
    Tap(second, kA);  // A before any d-pad press presses 1P VS CPU
    ASSERT_EQ(g.ScreenState, screen_state::kStageSelect);
    EXPECT_EQ(g.GameMode, game_mode::kVsCpu);
    Tap(first, kB);  // RETURN
    ASSERT_EQ(g.ScreenState, screen_state::kTitle);
    EXPECT_EQ(Clicks(), 2);
    Tap(first, kA);
    ASSERT_EQ(g.ScreenState, screen_state::kStageSelect);

    bool secondSteersPlayerOne = false;
    At(kPlayAfterOkMs, [&] { second.Hold(kUp, true); });
    At(kPlayAfterOkMs + 1, [&] { secondSteersPlayerOne = Flags(true, false, false, false); });
    At(kPlayAfterOkMs + 100, [&] { first.Hold(kStart, true); });
    Tap(first, kA);  // OK, before any d-pad press; the match runs until Start pauses it
    EXPECT_TRUE(secondSteersPlayerOne);
    ASSERT_EQ(g.ScreenState, screen_state::kPaused);
    first.Hold(kStart, false);
    Tap(first, kBack);
    EXPECT_EQ(g.ScreenState, screen_state::kTitle) << "Back stopped the paused match";
}

}  // namespace
}  // namespace vx
