// The transport: one UDP connection to one other player through ENet. The host waits
// for a player on a port; the guest connects to an address and port. Inputs go
// unreliable (each packet repeats the inputs not yet acknowledged); everything else
// goes reliable and in order. A host lets strangers in only through its StrangerGate
// (stranger_gate.h); a guest first asks the host for the join cookie that gate wants.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "net/link.h"
#include "net/packets.h"
#include "net/stranger_gate.h"

namespace vx::net {

constexpr uint16_t kDefaultPort = 47150;
// What ENet may hold for us: our packets are at most kMaxPacketBytes.
constexpr std::size_t kEnetMaxPacketBytes = 1024;
constexpr std::size_t kEnetMaxWaitingBytes = 8192;
constexpr int kMaxEventsPerPoll = 64;
constexpr int64_t kCookieAskEveryMs = 250;

// What a host open to watchers hears of them (watch_server.h): one joined, said
// something, or left (went away, or ENet found it unreachable).
struct WatcherEvent {
    enum class Kind { Joined, Received, Left };
    Kind kind = Kind::Received;
    int watcher = 0;    // 0..kMaxWatchers - 1; a number is given again once its watcher left
    PacketBytes bytes;  // Received only; never more than kMaxPacketBytes + 1
};

class EnetLink : public Link {
  public:
    ~EnetLink() override;
    EnetLink(const EnetLink&) = delete;
    EnetLink& operator=(const EnetLink&) = delete;

    // Listens on the port at bindAddress ("" for every address of this machine). Nothing
    // and the reason in *error when the port cannot be had. watchers (at most
    // kMaxWatchers) strangers may watch besides the guest, each in a slot of its own:
    // a candidate that asks to watch with our versions (packet_type::kWatch) becomes one
    // (before or after the guest came), and one more is told watch_end::kFull and let go.
    static std::unique_ptr<EnetLink> Host(uint16_t port, const std::string& bindAddress, std::string* error,
                                          std::size_t watchers = 0);
    // Starts connecting; Connected comes from Poll once the host answers. localAddress,
    // when given, is the address this side sends from.
    static std::unique_ptr<EnetLink> Join(const std::string& address, uint16_t port, std::string* error,
                                          const std::string& localAddress = "");

    // The Hello a host's candidates hear and must send back to become the guest.
    void SetGreeting(const PacketBytes& hello) override;
    // Runs the transport without waiting and appends what happened, at most
    // kMaxEventsPerPoll events. A host reports Connected once a candidate's Hello matched
    // ours, followed by that Hello. A player knocking once the guest is in is turned away
    // and counted in drops.wrongSender.
    void Poll(std::vector<LinkEvent>& events, DropCounts& drops) override;
    void Send(const PacketBytes& bytes, bool reliable) override;
    // Sends what is queued now rather than at the next Poll.
    void Flush() override;
    // Says goodbye to the other side (best effort) and stops.
    void Close() override;
    // Stops without a goodbye: what was flushed has gone, nothing more follows. For a
    // side that gave up waiting, whose last word must not be overtaken by a goodbye
    // (ENet hands over a goodbye before the packets that came with it).
    void Abandon() override;

    // A host's watchers: what they did since the last call (gathered by Poll, which
    // serves the guest first), sending to one (reliable, in order), and letting one go
    // after a last word.
    void TakeWatcherEvents(std::vector<WatcherEvent>& events);
    void SendToWatcher(int watcher, const PacketBytes& bytes);
    void LetWatcherGo(int watcher, const PacketBytes& lastWord);

    bool Connected() const override;
    // The port this side listens on or sends from (the one chosen when 0 was asked for).
    uint16_t Port() const;
    uint64_t BytesSent() const override;
    uint64_t BytesReceived() const override;
    // What a host's gate turned away (all zero on a guest).
    GateCounts Gate() const override;
    EnetLink* Enet() override { return this; }

  private:
    struct Impl;
    explicit EnetLink(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace vx::net
