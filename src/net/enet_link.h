// The transport: one UDP connection to one other player through ENet. The host waits
// for a player on a port; the guest connects to an address and port. Inputs go
// unreliable (each packet repeats the inputs not yet acknowledged); everything else
// goes reliable and in order. The only file that sees ENet.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "net/packets.h"

namespace vx::net {

constexpr uint16_t kDefaultPort = 47150;

struct LinkEvent {
    enum class Kind { Connected, Received, Disconnected };
    Kind kind = Kind::Received;
    PacketBytes bytes;  // Received only; never more than kMaxPacketBytes + 1
};

class EnetLink {
  public:
    ~EnetLink();
    EnetLink(const EnetLink&) = delete;
    EnetLink& operator=(const EnetLink&) = delete;

    // Listens on the port at bindAddress ("" for every address of this machine). Nothing
    // and the reason in *error when the port cannot be had.
    static std::unique_ptr<EnetLink> Host(uint16_t port, const std::string& bindAddress, std::string* error);
    // Starts connecting; Connected comes from Poll once the host answers.
    static std::unique_ptr<EnetLink> Join(const std::string& address, uint16_t port, std::string* error);

    // Runs the transport without waiting and appends what happened. A second player
    // knocking on the host is turned away and counted in drops.wrongSender.
    void Poll(std::vector<LinkEvent>& events, DropCounts& drops);
    void Send(const PacketBytes& bytes, bool reliable);
    // Sends what is queued now rather than at the next Poll.
    void Flush();
    // Says goodbye to the other side (best effort) and stops.
    void Close();
    // Stops without a goodbye: what was flushed has gone, nothing more follows. For a
    // side that gave up waiting, whose last word must not be overtaken by a goodbye
    // (ENet hands over a goodbye before the packets that came with it).
    void Abandon();

    bool Connected() const;
    // The port this side listens on or sends from (the one chosen when 0 was asked for).
    uint16_t Port() const;
    uint64_t BytesSent() const;
    uint64_t BytesReceived() const;

  private:
    struct Impl;
    explicit EnetLink(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace vx::net
