// The stage select screen: one slot per stage of the stage table (the chosen one bright), RETURN and OK,
// and a preview panel with the stage's number, layout drawing, name, the game mode and
// the items that do not occur on that stage in that mode.
#pragma once

#include <cstdint>
#include <vector>

#include "core/screen_table.h"

namespace vx {

struct Game;

// Queues the fade to the screen with stage 1 chosen on g.flow, which ends entering the
// stage select as `arrival` says (from the title or from a result).
void ShowStageSelect(Game& g, Screen arrival = Screen::kStageSelect);
// Redraws the slot strip and the preview for stage n.
void SelectStage(Game& g, uint8_t n);
void DrawStagePreview(Game& g, uint8_t n);

// The sheet sprites of the preview's "items not in play" panel for a stage in a mode,
// one per line: the kinds the stage leaves out and, against the CPU, the two-player kinds.
std::vector<const char*> MissingItemLines(uint8_t mode, uint8_t stage);

}  // namespace vx
