// `voltrax --watch ADDRESS[:PORT]`: follows the network matches of a host open to
// watchers without a window or sound, until the host's connection ends.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace vx {

namespace net {
class Link;
}

// Follows the matches of a host over link without a window or sound (by address or by
// room code), calling eachTurn after each receive, until the host's connection ends or
// the steady clock passes giveUpAtMs. With verbose, one summary line on out at the end of
// each match followed. Returns 0 when the host ended after at least one match was
// followed, 1 with the reason on err (as "voltrax: OPTION: ...") otherwise.
int FollowWatchedMatches(std::unique_ptr<net::Link> link, std::string_view option, bool verbose,
                         std::ostream& out, std::ostream& err, const std::function<void()>& eachTurn = {},
                         int64_t giveUpAtMs = INT64_MAX);

// With verbose, one summary line on out at the end of each match followed (the players'
// frames, scores, result and state hash first). Returns 0 when the host ended the
// connection after at least one match was followed, 1 with the reason on err otherwise,
// 2 for an address that cannot be used.
int WatchCommand(const std::string& where, bool verbose, std::ostream& out, std::ostream& err);

}  // namespace vx
