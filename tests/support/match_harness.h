// MatchHarness: a Game wired to the headless host and recording sound back-ends, with
// helpers for a coded sprite sheet: every opaque sheet pixel's colour names its own
// sheet position, so a test reads from MainPict which sprite was drawn where.
#pragma once

#include <cstdint>

#include "core/game.h"
#include "platform/headless_host.h"
#include "support/recording_sound.h"
#include "support/test_game.h"

namespace vx::testing {

// Colour of the coded sheet at (x, y); never white and never kTableColour.
constexpr uint32_t SheetColour(int x, int y) {
    return (static_cast<uint32_t>(y) << 10) | static_cast<uint32_t>(x);
}
constexpr uint32_t kTableColour = 0x203040;       // the "empty table" of BufPict
constexpr uint32_t kGaugeEmptyColour = 0x304050;  // the empty gauge image below BufPict's visible part

// The game's host is `host` unless a window's host is given (tests of the real window).
struct MatchHarness {
    explicit MatchHarness(uint64_t seed = 1, Host* windowHost = nullptr);
    HeadlessHost host;
    RecordingWavePlayer wave;
    RecordingSequencer seq;
    TestGame tg;
    Game& g() { return tg.g(); }

    // The coded sheet, the empty table and the button table: ready for RunMatch.
    void PrepareScreen();
    // The window's own key handlers, OnKeyDown / KeyUp.
    void KeyDown(int16_t keyCode);
    void KeyUp(int16_t keyCode);
    // Scripts a key press (or release) for the frame of play with index frame (0-based)
    // of a new match started at clock 0: it arrives as that frame processes its events.
    void KeyDownAtFrame(int frame, int16_t keyCode);
    void KeyUpAtFrame(int frame, int16_t keyCode);
    // RunMatch with the game's own mode and stage, run on the virtual clock until the
    // flow is idle (result, pause) or the program ends.
    void Run();
    // A watchdog for matches that might not end: the program ends at clock atMs.
    void EndProgramAt(int64_t atMs);
};

// Clock reading at the start of play frame k of a new match begun at 0: the intro waits
// 200, 800 and 500 ms (each ending one past), then every frame takes 34 ms.
constexpr int64_t kIntroMs = 201 + 801 + 501;
constexpr int64_t kFrameMs = 34;
constexpr int64_t PlayFrameStartMs(int k) {
    return kIntroMs + kFrameMs * k;
}

// Pict gets the coded colours and Mask is all black (every sheet pixel opaque).
void PaintCodedSheet(Game& g);
// BufPict, BackPict and MainPict show the empty table; the empty gauge sits at (0, 411).
void PaintTable(Game& g);
// Counts pixels of s inside (x, y, w, h) equal to colour.
int CountColour(const Surface& s, int x, int y, int w, int h, uint32_t colour);
// True when the pixel at (x, y) of s came from sheet position (sx, sy).
bool ShowsSheet(const Surface& s, int x, int y, int sx, int sy);

}  // namespace vx::testing
