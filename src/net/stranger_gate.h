// The host's door: everything a stranger can do before it is the guest. Before ENet
// sees a datagram, the gate answers cookie requests (never with more bytes than came)
// and lets through only connects that carry a good cookie; at most kSlotsPerAddress of
// the kHostSlots connection slots go to one address, and a slot still half open after
// kHalfOpenLimitMs is freed without a word. A host open to watchers lets each address
// hold up to kWatchersPerAddress watchers besides (a house behind one router), counted
// apart: a connection holds one of its address's kSlotsPerAddress until it asks to watch. A connected
// stranger is a candidate: it hears our Hello, and becomes the guest with a Hello equal to ours. A candidate
// that sends anything unreadable, another version's Hello, or no Hello within kHelloWithinMs is dropped, and
// the host goes on waiting.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "net/join_cookie.h"
#include "net/packets.h"

struct _ENetHost;
struct _ENetPeer;

namespace vx::net {

constexpr std::size_t kHostSlots = 8;
// A host open to watchers has this many slots more, one for each.
constexpr std::size_t kMaxWatchers = 8;
constexpr std::size_t kHostPeers = kHostSlots + kMaxWatchers;
constexpr std::size_t kSlotsPerAddress = 2;
constexpr std::size_t kWatchersPerAddress = 4;
constexpr int64_t kHalfOpenLimitMs = 3000;
constexpr int64_t kHelloWithinMs = 5000;
constexpr int kCookieRepliesPerSecond = 500;

// What the gate turned away, for the tests and --verbose.
struct GateCounts {
    uint32_t cookiesGiven = 0;
    uint32_t cookiesWithheld = 0;    // requests over the rate
    uint32_t refused = 0;            // datagrams of no slot's holder without a good cookie
    uint32_t halfOpenFreed = 0;      // slots freed for a connection never finished
    uint32_t candidatesDropped = 0;  // silent, unreadable, another version, or not chosen
};

class StrangerGate {
  public:
    // greeting: our Hello, sent to every candidate and the one a guest must send back.
    explicit StrangerGate(PacketBytes greeting) : greeting_(std::move(greeting)) {}
    void Greet(PacketBytes greeting) { greeting_ = std::move(greeting); }

    // The host's limits on slots per address, with watchers (at most kMaxWatchers) or none.
    void Configure(_ENetHost* host, std::size_t watchers);
    // Before ENet: true when the datagram was taken (answered or dropped).
    bool Intercept(_ENetHost* host, int64_t nowMs);
    // A new connection becomes a candidate and hears our Hello.
    void Knock(_ENetPeer* peer, int64_t nowMs);
    bool IsCandidate(const _ENetPeer* peer) const;
    // A packet from a candidate: true when it is the Hello that makes it the guest;
    // the other candidates are then dropped. A packet that drops it returns false too.
    bool Hear(_ENetPeer* peer, const uint8_t* data, std::size_t size);
    // A packet from a candidate asking to watch (packet_type::kWatch): true when its
    // versions are ours and its address holds fewer than kWatchersPerAddress watchers,
    // and it is then a watcher, no longer a candidate; else it is dropped (told that the
    // match is full when only its address's watchers were too many).
    bool HearWatcher(_ENetPeer* peer, const uint8_t* data, std::size_t size);
    // Lets a candidate go (a second player knocking once the guest is in).
    void Dismiss(const _ENetPeer* peer);
    // The candidate left.
    void Forget(const _ENetPeer* peer);
    // Drops candidates past their Hello time and frees slots half open too long.
    void Sweep(_ENetHost* host, int64_t nowMs);

    const GateCounts& Counts() const { return counts_; }

  private:
    struct Candidate {
        _ENetPeer* peer = nullptr;
        int64_t sinceMs = 0;
    };
    // A watcher as ENet knows it: the same slot holding the same connection.
    struct WatcherMark {
        const _ENetPeer* peer = nullptr;
        uint32_t connectId = 0;
    };
    void Drop(Candidate& c);
    bool IsWatcher(const _ENetPeer* peer) const;
    // The connections from this address that are not watchers (half open, candidates,
    // the guest, or going); a new one is let through only while they are fewer than
    // kSlotsPerAddress.
    std::size_t PlayerSlotsOf(const _ENetHost* host, uint32_t address) const;
    std::size_t WatchersOf(const _ENetHost* host, uint32_t address) const;

    PacketBytes greeting_;
    CookieJar jar_;
    std::array<Candidate, kHostPeers> candidates_{};
    std::array<int64_t, kHostPeers> halfOpenSinceMs_{};  // 0: the slot is not half open
    std::array<WatcherMark, kHostPeers> watchers_{};
    bool watchersWelcome_ = false;
    double replyTokens_ = kCookieRepliesPerSecond;
    int64_t tokensAtMs_ = 0;
    GateCounts counts_;
};

// Tells a would-be watcher that the match has no room for it (packet_type::kWatchEnd,
// watch_end::kFull, on the reliable channel).
void TellWatcherFull(_ENetPeer* peer);

}  // namespace vx::net
