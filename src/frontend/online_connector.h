// From a room code to a link: the lobby brings the two programs together, each side's
// path finder gathers its candidates, the lobby carries the two descriptions across, and
// once a path works the session's Link comes out, ready for a NetPlay. The lobby only
// introduces; nothing of the match goes through it. Poll() runs everything without
// waiting, from the window's frame or a test's loop. A watcher comes the same way by a
// room's code (kWatchRoom) to a link on which a MatchWatcher follows the match; the
// room's maker serves its watchers once its own link is taken (ServeWatchers).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "net/link.h"
#include "net/lobby/lobby_client.h"
#include "net/path_finder.h"

namespace vx {

// What the player asked the lobby for.
struct OnlineRequest {
    enum class Kind : uint8_t { kMakeRoom, kJoinRoom, kQuickMatch, kWatchRoom };
    Kind kind = Kind::kMakeRoom;
    std::string code;      // kJoinRoom, kWatchRoom: as typed
    std::string server;    // the lobby: "host[:port]"
    std::string version;   // this program's; the other must have the same
    std::string settings;  // the room maker's match settings, for its guest
    bool relayOnly = false;
};

// Makes the path finder for a side once the lobby handed out its servers.
using PathFinderMaker = std::function<std::unique_ptr<net::PathFinder>(const net::PathOptions&)>;

class OnlineWatchers;

class OnlineConnector {
  public:
    enum class Stage : uint8_t {
        kLobby,        // reaching the lobby, making or finding the room
        kWaiting,      // our room is made: waiting for the other player (a watcher: for the match)
        kFindingPath,  // both are there: trying the ways between them
        kConnected,    // TakeLink() has the session's link
        kFailed,       // Failure() says why, in a player's words
    };

    // How long the two may try paths before giving up.
    static constexpr int64_t kPathTimeoutMs = 30000;

    OnlineConnector(OnlineRequest request, PathFinderMaker makeFinder);
    ~OnlineConnector();

    // Keep calling it after the link is taken: the room's maker holds its room while the
    // match lasts.
    void Poll(int64_t nowMs);

    Stage GetStage() const { return stage_; }
    const std::string& Code() const { return lobby_.Code(); }
    bool IsHost() const { return lobby_.IsHost(); }
    // The room maker's settings, as its guest received them ("" on the maker's side).
    const std::string& HostSettings() const { return lobby_.PeerSettings(); }
    const std::string& Failure() const { return failure_; }
    // What is happening now, in a player's words.
    std::string StatusWords() const;
    // Once connected: the way the match goes and its link (taken once).
    net::PathKind Path() const { return path_; }
    std::unique_ptr<net::Link> TakeLink() { return std::move(link_); }

    // The room's maker, once it took its link: from now on every Poll also serves the
    // watchers who come by the room's code, each one's path carried to the ENet host on
    // 127.0.0.1:enetPort (the link's: Link::Enet()->Port()), where a WatchServer on that
    // EnetLink serves them. Without a WatchServer there, do not call it.
    void ServeWatchers(uint16_t enetPort);
    // Watchers whose path reaches the ENet host now.
    std::size_t WatchersCarried() const;

  private:
    void Fail(std::string why);

    OnlineRequest request_;
    PathFinderMaker makeFinder_;
    net::lobby::LobbyClient lobby_;
    std::unique_ptr<net::PathFinder> finder_;
    std::unique_ptr<net::Link> link_;
    std::unique_ptr<OnlineWatchers> watchers_;
    Stage stage_ = Stage::kLobby;
    net::PathKind path_ = net::PathKind::kDirect;
    std::string failure_;
    bool pathSent_ = false;
    bool remoteSet_ = false;
    bool readySent_ = false;
    int64_t pathStartMs_ = -1;
};

}  // namespace vx
