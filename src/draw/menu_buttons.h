// The table of the 29 screen buttons (title, stage select, result screen and the five
// stage slots): InitMenuButton writes one entry of Game::MenuButtons from it.
#pragma once

#include <cstdint>

namespace vx {

struct Game;

namespace button {
constexpr int16_t kVsCpu = 1, kVs2P = 2, kQuit = 3;
constexpr int16_t kReturn = 10, kOk = 11;
constexpr int16_t kRetry = 16, kStageSelect = 17, kOpening = 18;
constexpr int16_t kHoverOffset = 3, kPressedOffset = 6;  // title and result buttons
constexpr int16_t kStageSlot1 = 25;
}  // namespace button

// n is 1..29. Entries 25..29 (stage slots) receive only their rectangle.
void InitMenuButton(Game& g, uint8_t n);

}  // namespace vx
