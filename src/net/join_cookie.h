// The join cookie: before a stranger gets one of the host's connection slots, or any
// byte from ENet, it proves that it receives at the address it sends from. It asks with
// a padded request; the host answers with a smaller reply holding a cookie (a keyed hash
// of the address, the port and a 16-second period), and only an ENet connect whose
// connect data carries that cookie reaches ENet. The host keeps nothing per request, so
// neither a forged address nor a flood of requests costs it memory or gets more bytes
// back than it sent.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "net/packets.h"

namespace vx::net {

constexpr std::size_t kCookieRequestBytes = 32;
constexpr std::size_t kCookieReplyBytes = 12;
constexpr int64_t kCookiePeriodMs = 16000;  // a cookie holds for one to two periods

class CookieJar {
  public:
    CookieJar();  // a fresh random key
    explicit CookieJar(const std::array<uint64_t, 2>& key) : key_(key) {}

    // ip and port as ENet holds them (the address in network order, the port in host order).
    uint32_t Issue(uint32_t ip, uint16_t port, int64_t nowMs) const;
    bool Valid(uint32_t cookie, uint32_t ip, uint16_t port, int64_t nowMs) const;

  private:
    uint32_t Of(uint32_t ip, uint16_t port, int64_t period) const;
    std::array<uint64_t, 2> key_;
};

PacketBytes CookieRequest();
PacketBytes CookieReply(uint32_t cookie);
std::optional<uint32_t> ReadCookieReply(const uint8_t* data, std::size_t size);

// What the host does with one datagram before ENet sees it.
enum class Arrival {
    kCookieRequest,  // answer with a cookie
    kConnect,        // an ENet connect: passes only with a good cookie (in cookie)
    kRefused,        // any other datagram of someone holding no slot, or unreadable
    kForEnet,        // addressed to a slot: ENet checks that the sender holds it
};
struct SortedDatagram {
    Arrival kind = Arrival::kRefused;
    uint32_t cookie = 0;
};
SortedDatagram SortDatagram(const uint8_t* data, std::size_t size);

}  // namespace vx::net
