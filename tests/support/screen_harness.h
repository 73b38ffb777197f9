// ScreenHarness: a MatchHarness whose program folder holds small synthetic screen
// pictures (each a flat colour) and whose sprite sheet and line drawings are coded, so tests can
// tell from MainPict which screen, sprite or line drawing is showing.
#pragma once

#include <cstdint>
#include <filesystem>

#include "support/match_harness.h"

namespace vx::testing {

constexpr uint32_t kTitleColour = 0x101060;
constexpr uint32_t kStageSelectColour = 0x106010;
constexpr uint32_t kWaitingColour = 0x601010;
constexpr uint32_t kThumbColour = 0x0000C0;  // the line drawings' lines

struct ScreenHarness : MatchHarness {
    explicit ScreenHarness(uint64_t seed = 1);
    std::filesystem::path Dat() { return tg.folder.Path() / "dat"; }
};

// Writes a w x h BMP of one colour.
void WriteFlatBmp(const std::filesystem::path& path, int w, int h, uint32_t colour);

// The mouse moved over, or pressed and released at, the middle of button `number`; on
// the headless host the flow then runs until it is idle (the screen the click leads to,
// or a whole match).
void HoverButton(Game& g, int number);
void ClickButton(Game& g, int number);
// On the headless host: runs the flow until it is idle. Does nothing on other hosts.
void RunFlow(Game& g);

}  // namespace vx::testing

namespace vx::testing {

// A harness whose program folder is a copy of the built one (dat/ and design/ from the
// asset generator), with the sheet and line drawings loaded as the window would at start-up.
struct RealScreenHarness : MatchHarness {
    explicit RealScreenHarness(uint64_t seed = 1, Host* windowHost = nullptr);
};

}  // namespace vx::testing
