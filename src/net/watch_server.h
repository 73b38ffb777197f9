// The host's side of watching: up to kMaxWatchers strangers follow the players'
// matches through the host's link (EnetLink::Host with watchers). Each gets both
// players' confirmed inputs only, kWatchLagFrames behind the confirmed frame and a few
// frames at a time, so a watcher never sees a correction; one that comes in mid-match
// first gets the confirmed state there (the rollback's MatchState), its hash and the
// match's settings and seed. Watchers are served after the players' own turn and never
// waited for: one whose unacknowledged frames pass kWatchBacklogFrames is told it fell
// behind and let go, and one ENet finds unreachable simply leaves.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "net/enet_link.h"
#include "net/net_match.h"
#include "net/packets.h"

namespace vx::net {

constexpr uint32_t kWatchLagFrames = 10;
constexpr uint32_t kWatchBatchFrames = 3;
constexpr uint32_t kWatchBacklogFrames = 150;  // five seconds of play

struct WatchCounts {
    uint32_t joined = 0;
    uint32_t fellBehind = 0;  // let go for their backlog
    uint32_t left = 0;        // went away or unreachable
};

class WatchServer {
  public:
    explicit WatchServer(EnetLink& link) : link_(link) {}

    // The match the players play now, its settings and number (a retry is the next
    // number); nullptr between matches, when the watchers wait for the next.
    void SetMatch(const NetMatch* match, const StartPacket& start, uint8_t matchNo);
    // After the players' turn: hears the watchers and sends each what is due. The
    // packets leave with the link's next poll.
    void Serve();
    // The players' connection ended: every watcher is told and let go.
    void CloseAll();

    std::size_t Watchers() const;
    const WatchCounts& Counts() const { return counts_; }
    // What went to one watcher (packet bytes, without ENet's own), for the benchmark.
    uint64_t BytesTo(int watcher) const { return watchers_[static_cast<std::size_t>(watcher)].bytes; }

  private:
    struct Watcher {
        bool present = false;
        bool started = false;  // has this match's start
        uint8_t match = 0;
        uint32_t sent = 0;   // the frames below this have gone to it
        uint32_t acked = 0;  // and it holds those below this
        uint64_t bytes = 0;
    };
    void Hear(const WatcherEvent& event);
    void Send(int w, const Packet& packet);
    void StartWatcher(int w);
    void SendInputs(int w, uint32_t upTo);
    void LetGo(int w, uint8_t reason);

    EnetLink& link_;
    const NetMatch* match_ = nullptr;
    StartPacket start_;
    uint8_t matchNo_ = 0;
    std::array<Watcher, kMaxWatchers> watchers_{};
    std::vector<WatcherEvent> events_;
    WatchCounts counts_;
};

}  // namespace vx::net
