// How two programs that met in the lobby reach each other. Each side gathers its
// candidates (addresses it can be reached at) into one line of text, the lobby carries
// the two lines across, and the finder checks pairs of candidates until one path works.
// The session (ENet and the rollback above it) then runs unchanged over the Link the
// finder makes. Nothing here waits: Poll() runs everything from the game's own loop.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "net/link.h"

namespace vx::net {

// The path a match took, as the window names it and `--verbose` prints it.
enum class PathKind : uint8_t {
    kLan,      // both sides on one network
    kDirect,   // straight to a public address, no router in the way
    kPunched,  // through holes both routers opened for the checks
    kMapped,   // through a port the host's router mapped for us (NAT-PMP or UPnP)
    kRelay,    // through the TURN relay
};

// "lan", "direct", "punched", "mapped", "relay".
const char* PathName(PathKind kind);

// A TURN relay and the time-limited credentials the lobby handed out for it.
struct RelayServer {
    std::string host;
    uint16_t port = 3478;
    std::string username;
    std::string password;
};

struct PathOptions {
    bool controlling = false;  // the side that made the room decides between paths
    std::string stunHost;      // empty: no server-reflexive candidates
    uint16_t stunPort = 3478;
    std::optional<RelayServer> relay;
    bool relayOnly = false;  // offer and accept relayed candidates only
};

// A watcher's path on the room maker's side: the path's datagrams go to and from the
// maker's own ENet host on 127.0.0.1, where the watcher shows as one more peer (a
// watcher slot, served like any watcher by address). Poll() moves them without waiting.
class PathForward {
  public:
    virtual ~PathForward() = default;
    virtual void Poll() = 0;
};

class PathFinder {
  public:
    enum class State : uint8_t {
        kGathering,  // finding this side's candidates
        kReady,      // LocalDescription() is complete; waiting for the other side's
        kChecking,   // trying pairs of candidates
        kConnected,  // a path works: Path() names it, MakeLink() carries the session
        kFailed,     // no path, not even through the relay: Failure() says why
    };

    virtual ~PathFinder() = default;
    // Runs gathering, checks and the path's traffic without waiting.
    virtual void Poll() = 0;
    virtual State GetState() const = 0;
    // This side's candidates as one line of printable ASCII, at most 4000 bytes; complete
    // from kReady on.
    virtual std::string LocalDescription() const = 0;
    // The other side's line. False, with the reason in *error, when it cannot be read.
    virtual bool SetRemoteDescription(const std::string& text, std::string* error) = 0;
    virtual PathKind Path() const = 0;
    // Why no path was found, in words a player understands.
    virtual std::string Failure() const = 0;
    // Once connected: the link the session runs over, as host (the room's maker) or
    // guest. The link takes the path over; the finder is spent afterwards and may go.
    // Nothing, with the reason in *error, when the link cannot be made.
    virtual std::unique_ptr<Link> MakeLink(bool hostSide, std::string* error) = 0;
    // Once connected, instead of a link: the path carried to the ENet host already
    // listening on 127.0.0.1:enetPort (the room maker's, for a watcher). Nothing, with the
    // reason in *error, when it cannot be.
    virtual std::unique_ptr<PathForward> ForwardToPort(uint16_t enetPort, std::string* error) {
        (void)enetPort;
        if (error != nullptr) *error = "This path cannot be carried to another port.";
        return nullptr;
    }
};

}  // namespace vx::net
