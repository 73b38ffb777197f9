// The title screen: the picture "\dat\OP" with the buttons 1P VS CPU, 1P VS 2P and
// QUIT. The start-up path also prepares the sprite mask and the button table once.
#pragma once

#include "core/arith.h"

namespace vx {

struct Game;

// startup = true (-1) only from the window's load event, drawn at once; every return
// to the title passes false and queues the fade from the old screen on g.flow.
void ShowTitle(Game& g, bool startup);

// The stop command of a paused match: options back as saved, then (queued) the title.
void StopMatch(Game& g);

}  // namespace vx
