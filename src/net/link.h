// What a NetPeer talks through: packets to and from the one other side, with connection
// events. EnetLink is the real one (UDP through ENet); the fuzz harness and tests put an
// in-memory one in its place to feed a peer any stream of packets they like.
#pragma once

#include <cstdint>
#include <vector>

#include "net/packets.h"
#include "net/stranger_gate.h"

namespace vx::net {

class EnetLink;

struct LinkEvent {
    enum class Kind { Connected, Received, Disconnected };
    Kind kind = Kind::Received;
    PacketBytes bytes;     // Received only; never more than kMaxPacketBytes + 1
    bool greeted = false;  // Connected only: our Hello has gone to this peer already
};

class Link {
  public:
    virtual ~Link() = default;
    // The Hello a host's candidates hear and must send back to become the guest.
    virtual void SetGreeting(const PacketBytes& hello) = 0;
    // Appends what happened since the last call, without waiting.
    virtual void Poll(std::vector<LinkEvent>& events, DropCounts& drops) = 0;
    virtual void Send(const PacketBytes& bytes, bool reliable) = 0;
    // Sends what is queued now rather than at the next Poll.
    virtual void Flush() = 0;
    // Says goodbye to the other side (best effort) and stops.
    virtual void Close() = 0;
    // Stops without a goodbye (a side that gave up waiting: its last word must not be
    // overtaken by one). Links with no goodbye to hold back simply close.
    virtual void Abandon() { Close(); }
    virtual bool Connected() const = 0;
    virtual uint64_t BytesSent() const = 0;
    virtual uint64_t BytesReceived() const = 0;
    // What a host's gate turned away.
    virtual GateCounts Gate() const { return {}; }
    // The ENet connection this link is or carries (a host serves its watchers there);
    // nullptr for links without one.
    virtual EnetLink* Enet() { return nullptr; }
};

}  // namespace vx::net
