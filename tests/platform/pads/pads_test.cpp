// Gamepads on SDL's virtual joysticks, read by the real back-end and acted on by the
// game: two pads steer both players with the same key flags as the keys, a pad plugged
// in mid-match is taken, an unplugged one pauses, Start pauses and resumes, Back stops,
// the whole road from the title to the result screen and back runs on a pad alone, and
// the replay of that match verifies like one played on keys.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "frontend/menu_commands.h"
#include "frontend/pad_input.h"
#include "frontend/replay_commands.h"
#include "frontend/sys_data.h"
#include "frontend/title_screen.h"
#include "platform/pads/pad_system.h"
#include "support/screen_harness.h"
#include "support/test_game.h"

namespace vx {
namespace {

// A game controller that exists only in SDL; the test sets its buttons and left stick.
struct VirtualPad {
    SDL_Joystick* joystick = nullptr;
    VirtualPad() {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        joystick = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
        EXPECT_NE(joystick, nullptr) << SDL_GetError();
    }
    ~VirtualPad() { Unplug(); }
    void Hold(SDL_GameControllerButton button, bool down) {
        SDL_JoystickSetVirtualButton(joystick, button, down);
    }
    void StickY(int16_t value) { SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTY, value); }
    void Unplug() {
        if (joystick == nullptr) return;
        const SDL_JoystickID instance = SDL_JoystickInstanceID(joystick);
        SDL_JoystickClose(joystick);
        joystick = nullptr;
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == instance) SDL_JoystickDetachVirtual(i);
    }
};

constexpr auto kUp = SDL_CONTROLLER_BUTTON_DPAD_UP, kDown = SDL_CONTROLLER_BUTTON_DPAD_DOWN,
               kRight = SDL_CONTROLLER_BUTTON_DPAD_RIGHT, kA = SDL_CONTROLLER_BUTTON_A,
               kB = SDL_CONTROLLER_BUTTON_B, kStart = SDL_CONTROLLER_BUTTON_START,
               kBack = SDL_CONTROLLER_BUTTON_BACK;

// Play starts this long after OK is released (two wipes, the waiting screen, Ready).
constexpr int64_t kPlayAfterOkMs = 404 + 1001 + 404 + 1503 + 100;

struct Pads : ::testing::Test {
    pads::PadSystem system;
    testing::RealScreenHarness h;
    Game& g = h.g();
    PadInput input;

    Pads() {
        ApplySettings(g);
        ChooseTimeLimit(g, 3);  // 60 s
        ShowTitle(g, true);
    }
    void Poll() {
        input.Apply(g, system.Poll());
        h.host.Run();
    }
    void Hold(VirtualPad& pad, SDL_GameControllerButton button, bool down) {
        pad.Hold(button, down);
        Poll();
    }
    // Press and release, each seen by a poll, as a player's tap would be.
    void Tap(VirtualPad& pad, SDL_GameControllerButton button, int times = 1) {
        for (int i = 0; i < times; ++i) Hold(pad, button, true), Hold(pad, button, false);
    }
    // ms from now (virtual time, during a match): change the pads and poll; then the
    // KeyFlags must read as keys A, Z, 226 and 221 would have set them ("1000": A held).
    int looks = 0;
    void At(int64_t ms, std::function<void()> change, std::string flags = "") {
        h.host.At(h.host.NowMs() + ms, [this, change, flags] {
            change();
            Poll();
            if (flags.empty()) return;
            ++looks;
            std::string got;
            for (bool f : g.KeyFlags) got += f == true ? '1' : '0';
            EXPECT_EQ(got, flags) << "at " << h.host.NowMs() << " ms";
        });
    }
    int Clicks() {
        const auto names = h.wave.Names();
        return static_cast<int>(std::count(names.begin(), names.end(), "wave3.wav"));
    }
};

TEST_F(Pads, TwoPadsDriveTheRoadSteerBothPlayersAndPauseOnUnplugAndStart) {
    ASSERT_TRUE(system.Started());
    testing::TempFolder replays;
    g.ReplayFolder = replays.Path();
    VirtualPad first, second;
    // Title: the first d-pad press shows the hover on 1P VS CPU, the next moves to 1P VS 2P.
    const uint32_t plain = g.MainPict.Pixel(160, 175);
    Tap(first, kDown);
    EXPECT_NE(g.MainPict.Pixel(160, 175), plain) << "hover look on 1P VS CPU";
    Tap(first, kDown);
    Hold(first, kA, true);
    EXPECT_EQ(Clicks(), 1) << "A's press is the click's press";
    EXPECT_EQ(g.ScreenState, screen_state::kTitle) << "the button acts on release";
    Hold(first, kA, false);
    ASSERT_EQ(g.ScreenState, screen_state::kStageSelect);
    EXPECT_EQ(g.GameMode, game_mode::kVs2P);

    // Stage select: the d-pad walks the slots from the chosen one, choosing each; A presses.
    Tap(second, kRight, 2);
    EXPECT_EQ(g.StageNo, 2);
    Hold(second, kA, true);
    EXPECT_EQ(g.MainPict.Pixel(89, 232), 0xFFFF00u) << "the press frame on slot 2";
    EXPECT_EQ(Clicks(), 2);
    Hold(second, kA, false);
    Tap(second, kRight, 4);  // slots 3, 4, 5, then OK
    EXPECT_EQ(g.StageNo, 5);

    // The match: both levers, the stick's dead zone, then an unplugged pad pauses.
    At(
        kPlayAfterOkMs, [&] { first.Hold(kUp, true), second.StickY(30000); }, "1010");
    At(
        kPlayAfterOkMs + 100, [&] { first.Hold(kUp, false), second.StickY(6000); }, "0000");  // dead zone
    At(
        kPlayAfterOkMs + 200, [&] { second.StickY(-30000); }, "0001");
    At(
        kPlayAfterOkMs + 300, [&] { second.Unplug(); }, "0000");  // its held lever let go
    Tap(second, kA);  // OK: the match runs inside the release's poll until it pauses
    EXPECT_EQ(looks, 4);
    ASSERT_EQ(g.ScreenState, screen_state::kPaused) << "the unplugged pad paused the match";

    // A pad plugged in now takes player 2's free place; Start resumes and pauses.
    VirtualPad third;
    At(
        3000, [&] { third.Hold(kDown, true); }, "0010");
    At(3100, [&] { first.Hold(kStart, false); });
    At(3200, [&] { first.Hold(kStart, true); });
    Hold(first, kStart, true);  // resumes; returns when Start pauses again
    EXPECT_EQ(looks, 5);
    ASSERT_EQ(g.ScreenState, screen_state::kPaused) << "Start paused the resumed match";

    // Start again plays the match out; on the result screen A on OPENING goes to the title.
    Hold(first, kStart, false);
    Tap(first, kStart);
    ASSERT_EQ(g.ScreenState, screen_state::kResult);
    EXPECT_EQ(g.TimeLeft, 0);
    // Its replay (pauses, unplugging and all) plays back to the recorded final state hash.
    std::ostringstream out, err;
    EXPECT_EQ(VerifyReplayCommand(g.KeyLog.lastWritten, out, err), verify_status::kAgrees)
        << out.str() << err.str();
    Tap(first, kDown, 3);  // RETRY, STAGE SELECT, OPENING
    Tap(first, kA);
    EXPECT_EQ(g.ScreenState, screen_state::kTitle);
}

TEST_F(Pads, InOnePlayerGamesAnyPadSteersPlayerOneAndBackStopsAPausedMatch) {
    VirtualPad first, second;
    Tap(second, kA);  // A before any d-pad press presses 1P VS CPU
    ASSERT_EQ(g.ScreenState, screen_state::kStageSelect);
    EXPECT_EQ(g.GameMode, game_mode::kVsCpu);
    Tap(first, kB);  // RETURN
    ASSERT_EQ(g.ScreenState, screen_state::kTitle);
    EXPECT_EQ(Clicks(), 2);
    Tap(first, kA);

    At(
        kPlayAfterOkMs, [&] { second.Hold(kUp, true); }, "1000");
    At(kPlayAfterOkMs + 100, [&] { first.Hold(kStart, true); });
    Tap(first, kA);  // OK, before any d-pad press; the match runs until Start pauses it
    EXPECT_EQ(looks, 1) << "the second pad steered player 1";
    ASSERT_EQ(g.ScreenState, screen_state::kPaused);
    first.Hold(kStart, false);
    Tap(first, kBack);
    EXPECT_EQ(g.ScreenState, screen_state::kTitle) << "Back stopped the paused match";
}

}  // namespace
}  // namespace vx
