#include "net/join_cookie.h"

#include <enet/enet.h>

#include <cstddef>
#include <cstring>
#include <random>

#include <sys/random.h>

namespace vx::net {

namespace {

constexpr char kRequestMagic[8] = {'V', 'X', 'J', 'O', 'I', 'N', '?', 0};
constexpr char kReplyMagic[8] = {'V', 'X', 'J', 'O', 'I', 'N', '!', 0};

uint64_t Rotl(uint64_t x, int b) {
    return (x << b) | (x >> (64 - b));
}

// SipHash-2-4 of up to 16 bytes: a keyed hash a stranger cannot forge for an address it
// does not receive at, even knowing the cookies of its own.
uint64_t SipHash(const std::array<uint64_t, 2>& key, const uint8_t* in, std::size_t n) {
    uint64_t v0 = 0x736f6d6570736575ull ^ key[0], v1 = 0x646f72616e646f6dull ^ key[1];
    uint64_t v2 = 0x6c7967656e657261ull ^ key[0], v3 = 0x7465646279746573ull ^ key[1];
    auto round = [&] {
        v0 += v1, v1 = Rotl(v1, 13), v1 ^= v0, v0 = Rotl(v0, 32);
        v2 += v3, v3 = Rotl(v3, 16), v3 ^= v2;
        v0 += v3, v3 = Rotl(v3, 21), v3 ^= v0;
        v2 += v1, v1 = Rotl(v1, 17), v1 ^= v2, v2 = Rotl(v2, 32);
    };
    auto block = [&](uint64_t m) {
        v3 ^= m;
        round();
        round();
        v0 ^= m;
    };
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t m = 0;
        for (int k = 0; k < 8; ++k) m |= static_cast<uint64_t>(in[i + k]) << (8 * k);
        block(m);
    }
    uint64_t last = static_cast<uint64_t>(n) << 56;
    for (int k = 0; i + k < n; ++k) last |= static_cast<uint64_t>(in[i + k]) << (8 * k);
    block(last);
    v2 ^= 0xff;
    for (int k = 0; k < 4; ++k) round();
    return v0 ^ v1 ^ v2 ^ v3;
}

std::array<uint64_t, 2> RandomKey() {
    std::array<uint64_t, 2> key{};
    if (getrandom(key.data(), sizeof key, 0) != static_cast<ssize_t>(sizeof key)) {
        std::random_device device;
        for (auto& k : key) k = (static_cast<uint64_t>(device()) << 32) ^ device();
    }
    return key;
}

}  // namespace

CookieJar::CookieJar() : key_(RandomKey()) {}

uint32_t CookieJar::Of(uint32_t ip, uint16_t port, int64_t period) const {
    uint8_t in[14];
    std::memcpy(in, &ip, 4);
    in[4] = static_cast<uint8_t>(port);
    in[5] = static_cast<uint8_t>(port >> 8);
    for (int k = 0; k < 8; ++k) in[6 + k] = static_cast<uint8_t>(static_cast<uint64_t>(period) >> (8 * k));
    return static_cast<uint32_t>(SipHash(key_, in, sizeof in));
}

uint32_t CookieJar::Issue(uint32_t ip, uint16_t port, int64_t nowMs) const {
    return Of(ip, port, nowMs / kCookiePeriodMs);
}

bool CookieJar::Valid(uint32_t cookie, uint32_t ip, uint16_t port, int64_t nowMs) const {
    const int64_t period = nowMs / kCookiePeriodMs;
    return cookie == Of(ip, port, period) || cookie == Of(ip, port, period - 1);
}

PacketBytes CookieRequest() {
    // Padded so that the reply is smaller than the request.
    PacketBytes out(kCookieRequestBytes, 0);
    std::memcpy(out.data(), kRequestMagic, sizeof kRequestMagic);
    return out;
}

PacketBytes CookieReply(uint32_t cookie) {
    PacketBytes out(kReplyMagic, kReplyMagic + sizeof kReplyMagic);
    for (int k = 0; k < 4; ++k) out.push_back(static_cast<uint8_t>(cookie >> (8 * k)));
    return out;
}

std::optional<uint32_t> ReadCookieReply(const uint8_t* data, std::size_t size) {
    if (data == nullptr || size != kCookieReplyBytes ||
        std::memcmp(data, kReplyMagic, sizeof kReplyMagic) != 0)
        return std::nullopt;
    uint32_t cookie = 0;
    for (int k = 0; k < 4; ++k) cookie |= static_cast<uint32_t>(data[8 + k]) << (8 * k);
    return cookie;
}

SortedDatagram SortDatagram(const uint8_t* data, std::size_t size) {
    if (data == nullptr || size < 2) return {};
    if (size == kCookieRequestBytes && std::memcmp(data, kRequestMagic, sizeof kRequestMagic) == 0)
        return {Arrival::kCookieRequest, 0};
    // ENet's header: the peer's slot (12 bits), the session and two flags, big-endian,
    // then the sent time when its flag is set.
    const auto word = static_cast<uint16_t>((data[0] << 8) | data[1]);
    const uint16_t slot = word & ~(ENET_PROTOCOL_HEADER_FLAG_MASK | ENET_PROTOCOL_HEADER_SESSION_MASK);
    if (slot != ENET_PROTOCOL_MAXIMUM_PEER_ID) return {Arrival::kForEnet, 0};
    // Someone without a slot: only a plain (uncompressed) connect may come through.
    if ((word & ENET_PROTOCOL_HEADER_FLAG_COMPRESSED) != 0) return {};
    const std::size_t header = (word & ENET_PROTOCOL_HEADER_FLAG_SENT_TIME) != 0 ? 4 : 2;
    if (size < header + sizeof(ENetProtocolConnect)) return {};
    const uint8_t* command = data + header;
    if ((command[0] & ENET_PROTOCOL_COMMAND_MASK) != ENET_PROTOCOL_COMMAND_CONNECT) return {};
    const uint8_t* cookie = command + offsetof(ENetProtocolConnect, data);
    // enet_host_connect writes its data in network order.
    const uint32_t value = (static_cast<uint32_t>(cookie[0]) << 24) |
                           (static_cast<uint32_t>(cookie[1]) << 16) |
                           (static_cast<uint32_t>(cookie[2]) << 8) | cookie[3];
    return {Arrival::kConnect, value};
}

}  // namespace vx::net
