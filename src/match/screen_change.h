// Entering a screen: the screen state, the menu's enabled items, the mouse pointer and the
// music, all from the screen's row of core/screen_table.h.
#pragma once

#include "core/screen_table.h"

namespace vx {

struct Game;

// Sets g.ScreenState to the row's state, then the menu groups, the pointer and the music
// the row names (each left alone where the row keeps it).
void EnterScreen(Game& g, Screen screen);

// Every item of the group on or off.
void SetGroupEnabled(Game& g, MenuGroup group, bool enabled);

}  // namespace vx
