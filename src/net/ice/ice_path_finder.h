// The PathFinder of online play, on libnice: one ICE stream of one UDP component, with
// host, server-reflexive (STUN) and relayed (TURN) candidates over IPv4 and IPv6. The
// agent runs on a GLib main context of its own that Poll() turns without waiting, so no
// thread of ours blocks and nothing runs behind the game's back. Once a pair of
// candidates works, MakeLink() puts ENet on it through the shim (ice_shim.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "net/ice/ice_description.h"
#include "net/path_finder.h"

namespace vx::net::ice {

struct IceOptions {
    // The addresses to gather host candidates on; empty for every interface of this
    // machine. The tests keep to "127.0.0.1" and "::1".
    std::vector<std::string> localAddresses;
    int64_t gatherLimitMs = 10000;  // gathering that takes longer ends with what it has
    int64_t checkLimitMs = 30000;   // checks that find nothing in this time have failed
};

// The path a working pair of candidates makes: relay when either end is relayed; punched
// when either is server- or peer-reflexive; between two host candidates lan when the
// other's address is on this machine's subnet or not reachable from the internet, and
// direct when it is a public address elsewhere.
PathKind PathOfPair(CandidateType local, const std::string& localAddress, CandidateType remote,
                    const std::string& remoteAddress);

class IcePathFinder : public PathFinder {
  public:
    explicit IcePathFinder(const PathOptions& options, const IceOptions& ice = {});
    ~IcePathFinder() override;
    IcePathFinder(const IcePathFinder&) = delete;
    IcePathFinder& operator=(const IcePathFinder&) = delete;

    void Poll() override;
    State GetState() const override;
    std::string LocalDescription() const override;
    bool SetRemoteDescription(const std::string& text, std::string* error) override;
    PathKind Path() const override;
    std::string Failure() const override;
    // Host: ENet listens on 127.0.0.1 behind the shim, with slots for kMaxWatchers
    // watchers; guest: ENet joins the shim.
    std::unique_ptr<Link> MakeLink(bool hostSide, std::string* error) override;
    // A shim of its own whose ENet is the host's on 127.0.0.1:enetPort.
    std::unique_ptr<PathForward> ForwardToPort(uint16_t enetPort, std::string* error) override;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace vx::net::ice
