// Watching a replay in the window: the match of the file played from the waiting screen
// to its result with its own settings and keys, then the title. The saved options are
// neither used nor changed.
#pragma once

#include "match/replay_file.h"

namespace vx {

struct Game;

// True while the title is on screen, the only place a replay can start from.
bool CanWatchReplay(const Game& g);
// Plays replay; returns when it is over or paused (R resumes it, S stops it).
void WatchReplay(Game& g, const Replay& replay);
// After the match loop returned: when the watched match is over (its result shown or
// its keys run out), back to the title with the player's options.
void EndWatchingIfOver(Game& g);

}  // namespace vx
