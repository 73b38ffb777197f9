// Watching a replay in the window: the match of the file played from the waiting screen
// to its result with its own settings and keys, then the title. The saved options are
// neither used nor changed.
#pragma once

#include "match/replay_file.h"

namespace vx {

struct Game;

// True while the title is on screen, the only place a replay can start from.
bool CanWatchReplay(const Game& g);
// Queues the replay's match on g.flow; it plays until it is over or paused (R resumes
// it, S stops it).
void WatchReplay(Game& g, const Replay& replay);
// After the match loop: when the watched match is over (its result shown, which stays
// 2 s, or its keys run out), queues the way back to the title with the player's options.
void EndWatchingIfOver(Game& g);

}  // namespace vx
