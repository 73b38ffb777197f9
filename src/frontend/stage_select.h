// The stage select screen: five stage slots (the chosen one bright), RETURN and OK,
// and a preview panel with the stage's number, layout drawing, name, the game mode and
// the items that do not occur on that stage in that mode.
#pragma once

#include <cstdint>

namespace vx {

struct Game;

// Fades in the screen with stage 1 chosen; leaves ScreenState 2.
void ShowStageSelect(Game& g);
// Redraws the slot strip and the preview for stage n.
void SelectStage(Game& g, uint8_t n);
void DrawStagePreview(Game& g, uint8_t n);

}  // namespace vx
