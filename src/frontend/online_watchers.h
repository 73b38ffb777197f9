// The room maker's watchers in online play. Each watcher the lobby brings by the room's
// code (with our version) gets a path finder of its own; the two connection lines cross
// through the lobby's watch room, and once a path works it is carried to the maker's own
// ENet host on 127.0.0.1, where the watcher is one more peer in a watcher slot, served
// by the WatchServer as any watcher by address. The players' link and session are not
// touched: a watcher costs the players' side one poll of its path per turn.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "frontend/online_connector.h"
#include "net/lobby/lobby_client.h"
#include "net/path_finder.h"

namespace vx {

class OnlineWatchers {
  public:
    // How long a watcher's path may be looked for before that watcher is given up.
    static constexpr int64_t kPathTimeoutMs = OnlineConnector::kPathTimeoutMs;

    OnlineWatchers(net::lobby::LobbyClient& lobby, PathFinderMaker makeFinder, std::string version,
                   uint16_t enetPort);
    ~OnlineWatchers();
    OnlineWatchers(const OnlineWatchers&) = delete;
    OnlineWatchers& operator=(const OnlineWatchers&) = delete;

    // Takes the watchers that came, trades their lines, moves their paths' datagrams.
    void Poll(int64_t nowMs);
    // Watchers whose path reaches the ENet host now.
    std::size_t Carried() const;

  private:
    struct Way {
        std::string nick;
        std::unique_ptr<net::PathFinder> finder;
        std::unique_ptr<net::PathForward> forward;
        bool pathSent = false;
        bool remoteSet = false;
        bool givenUp = false;  // no path: left as it is until the watcher leaves the lobby
        int64_t startMs = 0;
    };
    void Advance(Way& way, int64_t nowMs);

    net::lobby::LobbyClient& lobby_;
    PathFinderMaker makeFinder_;
    std::string version_;
    uint16_t enetPort_;
    std::vector<Way> ways_;
};

}  // namespace vx
