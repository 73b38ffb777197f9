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

// Why an attempt failed, typed so that the window says it in the player's language.
enum class OnlineFailReason : uint8_t {
    kNone,
    kLobbyUnreachable,  // no connection to the lobby, or it was lost
    kRoomNotFound,      // no room has the code typed
    kRoomFull,          // the room already has its two players
    kVersionsDiffer,    // the other program is another version
    kOtherLeft,         // the other player left the room
    kWatchersFull,      // watching: the match already has as many watchers as it takes
    kNoRelayOffered,    // relay only was asked for, and the lobby offers none
    kCannotFindPaths,   // no path finder could be made on this computer
    kUnreadablePath,    // the other side's connection line did not read
    kNoPath,            // the path finder gave up (its own words are in `words`)
    kPathUnusable,      // a path was found, but no link opened on it
    kTimedOut,          // kPathTimeoutMs passed without a path, relay included
    kModuleMissing,     // the program's online module could not be loaded (`words` names it)
};

struct OnlineFailure {
    OnlineFailReason reason = OnlineFailReason::kNone;
    std::string words;         // the same in English, for standard error and scripts
    std::string theirVersion;  // kVersionsDiffer: the other program's, when it said
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
        kFailed,       // WhyFailed() says why
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
    const OnlineFailure& WhyFailed() const { return failure_; }
    const std::string& Failure() const { return failure_.words; }  // in English
    // What is happening now, in English words (for standard error).
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
    void Fail(OnlineFailReason reason, std::string words);

    OnlineRequest request_;
    PathFinderMaker makeFinder_;
    net::lobby::LobbyClient lobby_;
    std::unique_ptr<net::PathFinder> finder_;
    std::unique_ptr<net::Link> link_;
    std::unique_ptr<OnlineWatchers> watchers_;
    Stage stage_ = Stage::kLobby;
    net::PathKind path_ = net::PathKind::kDirect;
    OnlineFailure failure_;
    bool pathSent_ = false;
    bool remoteSet_ = false;
    bool readySent_ = false;
    int64_t pathStartMs_ = -1;
};

}  // namespace vx
