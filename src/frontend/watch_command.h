// `voltrax --watch ADDRESS[:PORT]`: follows the network matches of a host open to
// watchers without a window or sound, until the host's connection ends.
#pragma once

#include <ostream>
#include <string>

namespace vx {

// With verbose, one summary line on out at the end of each match followed (the players'
// frames, scores, result and state hash first). Returns 0 when the host ended the
// connection after at least one match was followed, 1 with the reason on err otherwise,
// 2 for an address that cannot be used.
int WatchCommand(const std::string& where, bool verbose, std::ostream& out, std::ostream& err);

}  // namespace vx
