#include "draw/match_panel.h"

#include "match/game.h"

namespace vx {

// Drawing surfaces arrive with the match frame; until then a goal changes only Scores.
void DrawScore(Game&, int16_t) {}

}  // namespace vx
