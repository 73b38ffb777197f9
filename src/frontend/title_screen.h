// The title screen: the picture "\dat\OP" with the buttons 1P VS CPU, 1P VS 2P and
// QUIT. The start-up path also prepares the sprite mask and the button table once.
#pragma once

#include "core/arith.h"
#include "core/screen_table.h"

namespace vx {

struct Game;

// startup = true only from the window's load event, drawn at once, its tune left to the
// window; every return to the title passes false and queues the fade from the old screen
// on g.flow, which ends entering the title as `arrival` says (the opening tune from its
// start, or kept going back from the stage select).
void ShowTitle(Game& g, bool startup, Screen arrival = Screen::kTitle);

// The stop command of a paused match: options back as saved, then (queued) the title.
void StopMatch(Game& g);

}  // namespace vx
