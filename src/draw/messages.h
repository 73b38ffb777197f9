// The big words of a match ("Ready", "Go!", "TimeUp", "GameSet", the results), drawn
// by name from the sprite sheet over the table.
#pragma once

#include <string_view>

namespace vx {

struct Game;

// Draws the named message (exact, case-sensitive) and refreshes MainPict; an unknown
// name draws nothing.
void ShowMessage(Game& g, std::string_view name);

}  // namespace vx
