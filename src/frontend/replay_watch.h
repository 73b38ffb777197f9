// Watching a replay in the window: the match of the file played from the waiting screen
// to its result with its own settings and keys, then the title. The saved options are
// neither used nor changed. While it plays, the replay viewer's keys hold, step, speed up,
// slow down and jump through it, and a click on its timeline jumps there.
#pragma once

#include <cstdint>

#include "match/replay_file.h"

namespace vx {

struct Game;

// True while the title is on screen, the only place a replay can start from.
bool CanWatchReplay(const Game& g);
// Queues the replay's match on g.flow from startFrame on (its first picture is that
// frame); it plays until it is over or paused (R resumes it, S stops it).
void WatchReplay(Game& g, const Replay& replay, uint32_t startFrame = 0);
// After the match loop: when the watched match is over (its result shown, which stays
// 2 s, or its keys run out), queues the way back to the title with the player's options.
void EndWatchingIfOver(Game& g);

// The viewer of the replay being watched, or nullptr.
class ReplayViewer* WatchedReplay(const Game& g);

// The window's keys and clicks while a replay plays: Space holds and goes on, → and ←
// jump 5 seconds, Shift+→ steps one frame while held, + and − change the speed, Home
// starts again; the paddle keys do nothing. True when the event was the viewer's (the
// other handlers then leave it alone).
bool WatchKeyDown(Game& g, int16_t keyCode, bool shift);
bool WatchKeyUp(Game& g, int16_t keyCode);
bool WatchPointerDown(Game& g, float x, float y);

}  // namespace vx
