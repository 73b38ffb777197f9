// The mouse on MainPict: hover, press and release of the title, stage select and
// result screens' buttons. Any mouse button acts; positions arrive in picture pixels.
#pragma once

#include <cstdint>

namespace vx {

struct Game;

void OnPointerMove(Game& g, int16_t button, int16_t shift, float x, float y);
void OnPointerDown(Game& g, int16_t button, int16_t shift, float x, float y);
void OnPointerUp(Game& g, int16_t button, int16_t shift, float x, float y);

// The result screen's button (button::kRetry, kStageSelect or kOpening) released: what
// the side that chooses does, for a click and for accepting the other player's request.
void ChooseOnResult(Game& g, int16_t button);

// The yellow frame a press on stage slot k (1..kStageCount) draws straight on MainPict.
void DrawSlotFrame(Game& g, int k);

}  // namespace vx
