// `voltrax --watch-room CODE --lobby HOST[:PORT]`: follows an online match by its room
// code without a window or sound. The lobby brings the watcher to the room's maker, the
// path finder finds a way to it (on the same network, through both routers, or through
// the relay), and the maker serves the watcher like one that came by address.
#pragma once

#include <cstdint>
#include <ostream>

#include "frontend/online_connector.h"

namespace vx {

// request: kind kWatchRoom, the code, the lobby and this program's version. What it is
// doing goes to err as it changes ("voltrax: Waiting for the match to start..."). With
// verbose, "path=NAME" once connected and one summary line on out at the end of each
// match followed (the players' frames, scores, result and state hash first). Returns 0
// when the players' connection ended after at least one match was followed, 1 with the
// reason on err otherwise (a code that names no room, a full match, no way through).
// giveUpAfterMs > 0 bounds the whole watch (for tests); 0 waits as long as it takes.
int WatchRoomCommand(const OnlineRequest& request, const PathFinderMaker& makeFinder, bool verbose,
                     std::ostream& out, std::ostream& err, int64_t giveUpAfterMs = 0);

}  // namespace vx
