// Options of the desktop program that the 31-byte record has no room for, as plain
// data; the shell keeps them in the desktop's settings file. And what pausing on focus
// loss does with its option.
#pragma once

#include "core/game.h"
#include "frontend/menu_commands.h"

namespace vx {

struct NewOptions {
    bool pauseOnFocusLoss = true;  // a match pauses when the window goes to the background
};

// The window was deactivated or minimised: a match in play pauses exactly as P pauses
// it, when the option asks for it. It never resumes by itself.
inline void PauseForFocusLoss(Game& g, const NewOptions& options) {
    if (options.pauseOnFocusLoss && g.ScreenState == screen_state::kPlaying) MenuPause_Click(g);
}

}  // namespace vx
