// The window's side of watching replays: the file dialog of "リプレイを見る(&W)..." in
// the replays folder, and one message for a file that cannot be used.
#pragma once

#include <cstdint>
#include <filesystem>

class QWidget;

namespace vx {

struct Game;

// Reads file and plays it from startFrame when the title is on screen; a file that cannot
// be used gives one message (a dialog, and a line on standard error) and nothing else
// happens.
void WatchReplayFile(Game& g, QWidget* parent, const std::filesystem::path& file, uint32_t startFrame = 0);
// Asks for a replay file in the replays folder and watches it.
void ChooseAndWatchReplay(Game& g, QWidget* parent);

}  // namespace vx
