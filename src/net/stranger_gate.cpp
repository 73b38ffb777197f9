#include "net/stranger_gate.h"

#include <enet/enet.h>

#include <algorithm>

namespace vx::net {

void StrangerGate::Configure(ENetHost* host, std::size_t watchers) {
    watchersWelcome_ = watchers > 0;
    // ENet's own count holds every connection of an address; which of them may be
    // players and which watchers is ours to count (Intercept, HearWatcher).
    host->duplicatePeers = kSlotsPerAddress + std::min(watchers, kWatchersPerAddress);
}

bool StrangerGate::IsWatcher(const ENetPeer* peer) const {
    if (peer == nullptr) return false;
    return std::any_of(watchers_.begin(), watchers_.end(), [&](const WatcherMark& w) {
        return w.peer == peer && peer->state != ENET_PEER_STATE_DISCONNECTED &&
               peer->connectID == w.connectId;
    });
}

std::size_t StrangerGate::PlayerSlotsOf(const ENetHost* host, uint32_t address) const {
    std::size_t n = 0;
    for (std::size_t i = 0; i < host->peerCount; ++i) {
        const ENetPeer* peer = &host->peers[i];
        if (peer->state != ENET_PEER_STATE_DISCONNECTED && peer->address.host == address && !IsWatcher(peer))
            ++n;
    }
    return n;
}

std::size_t StrangerGate::WatchersOf(const ENetHost* host, uint32_t address) const {
    std::size_t n = 0;
    for (std::size_t i = 0; i < host->peerCount; ++i) {
        const ENetPeer* peer = &host->peers[i];
        if (peer->address.host == address && IsWatcher(peer)) ++n;
    }
    return n;
}

bool StrangerGate::Intercept(ENetHost* host, int64_t nowMs) {
    const SortedDatagram sorted = SortDatagram(host->receivedData, host->receivedDataLength);
    const ENetAddress& from = host->receivedAddress;
    switch (sorted.kind) {
        case Arrival::kForEnet: return false;
        case Arrival::kConnect:
            // With watchers ENet lets more connections of one address through; those
            // that are not watchers keep the limit they have without.
            if (jar_.Valid(sorted.cookie, from.host, from.port, nowMs) &&
                (!watchersWelcome_ || PlayerSlotsOf(host, from.host) < kSlotsPerAddress))
                return false;
            ++counts_.refused;
            return true;
        case Arrival::kRefused: ++counts_.refused; return true;
        case Arrival::kCookieRequest: break;
    }
    // Stateless, smaller than the request, and no more than so many a second overall.
    replyTokens_ =
        std::min<double>(kCookieRepliesPerSecond, replyTokens_ + static_cast<double>(nowMs - tokensAtMs_) *
                                                                     kCookieRepliesPerSecond / 1000.0);
    tokensAtMs_ = nowMs;
    if (replyTokens_ < 1) {
        ++counts_.cookiesWithheld;
        return true;
    }
    replyTokens_ -= 1;
    PacketBytes reply = CookieReply(jar_.Issue(from.host, from.port, nowMs));
    ENetBuffer buffer;
    buffer.data = reply.data();
    buffer.dataLength = reply.size();
    enet_socket_send(host->socket, &from, &buffer, 1);
    ++counts_.cookiesGiven;
    return true;
}

void StrangerGate::Knock(ENetPeer* peer, int64_t nowMs) {
    for (auto& c : candidates_) {
        if (c.peer != nullptr) continue;
        c = {peer, nowMs};
        ENetPacket* hello = enet_packet_create(greeting_.data(), greeting_.size(), ENET_PACKET_FLAG_RELIABLE);
        if (hello != nullptr && enet_peer_send(peer, 1, hello) != 0) enet_packet_destroy(hello);
        return;
    }
    // More connections than slots cannot come; should one, it goes at once.
    ++counts_.candidatesDropped;
    enet_peer_disconnect_now(peer, 0);
}

bool StrangerGate::IsCandidate(const ENetPeer* peer) const {
    return std::any_of(candidates_.begin(), candidates_.end(),
                       [&](const Candidate& c) { return c.peer == peer; });
}

void StrangerGate::Forget(const ENetPeer* peer) {
    for (auto& c : candidates_)
        if (c.peer == peer) c = {};
}

void StrangerGate::Drop(Candidate& c) {
    ++counts_.candidatesDropped;
    // Later, not now: our Hello still goes out, so a player of another version reads why.
    enet_peer_disconnect_later(c.peer, 0);
    c = {};
}

bool StrangerGate::Hear(ENetPeer* peer, const uint8_t* data, std::size_t size) {
    auto it = std::find_if(candidates_.begin(), candidates_.end(),
                           [&](const Candidate& c) { return c.peer == peer; });
    if (it == candidates_.end()) return false;
    DropCounts scratch;
    const auto packet = ReadPacket(data, size, 0, scratch);
    if (!packet) {
        Drop(*it);
        return false;
    }
    if (packet->type != packet_type::kHello) return false;  // a keep-alive may overtake the Hello
    if (size != greeting_.size() || !std::equal(greeting_.begin(), greeting_.end(), data)) {
        Drop(*it);
        return false;
    }
    *it = {};
    for (auto& other : candidates_)
        if (other.peer != nullptr) Drop(other);
    return true;
}

bool StrangerGate::HearWatcher(ENetPeer* peer, const uint8_t* data, std::size_t size) {
    auto it = std::find_if(candidates_.begin(), candidates_.end(),
                           [&](const Candidate& c) { return c.peer == peer; });
    if (it == candidates_.end()) return false;
    // The same body as our Hello: the same protocol and program versions.
    constexpr std::size_t kHeader = 3;
    if (size != greeting_.size() || size <= kHeader || data[2] != packet_type::kWatch ||
        !std::equal(greeting_.begin() + kHeader, greeting_.end(), data + kHeader)) {
        Drop(*it);
        return false;
    }
    if (WatchersOf(peer->host, peer->address.host) >= kWatchersPerAddress) {
        TellWatcherFull(peer);
        Drop(*it);
        return false;
    }
    *it = {};
    for (auto& w : watchers_) {
        if (IsWatcher(w.peer)) continue;
        w = {peer, peer->connectID};
        break;
    }
    return true;
}

void StrangerGate::Dismiss(const ENetPeer* peer) {
    for (auto& c : candidates_)
        if (c.peer == peer) Drop(c);
}

void StrangerGate::Sweep(ENetHost* host, int64_t nowMs) {
    for (auto& c : candidates_)
        if (c.peer != nullptr && nowMs - c.sinceMs >= kHelloWithinMs) Drop(c);
    const std::size_t slots = std::min(host->peerCount, kHostPeers);
    for (std::size_t i = 0; i < slots; ++i) {
        ENetPeer* peer = &host->peers[i];
        const bool halfOpen =
            peer->state != ENET_PEER_STATE_DISCONNECTED && peer->state != ENET_PEER_STATE_CONNECTED;
        int64_t& since = halfOpenSinceMs_[i];
        if (!halfOpen) {
            since = 0;
        } else if (since == 0) {
            since = std::max<int64_t>(nowMs, 1);
        } else if (nowMs - since >= kHalfOpenLimitMs) {
            // No goodbye: the other end never proved it wanted one.
            Forget(peer);
            enet_peer_reset(peer);
            since = 0;
            ++counts_.halfOpenFreed;
        }
    }
}

void TellWatcherFull(ENetPeer* peer) {
    Packet full;
    full.type = packet_type::kWatchEnd;
    full.watchEnd = watch_end::kFull;
    const PacketBytes word = Encode(full);
    ENetPacket* packet = enet_packet_create(word.data(), word.size(), ENET_PACKET_FLAG_RELIABLE);
    if (packet != nullptr && enet_peer_send(peer, 1, packet) != 0) enet_packet_destroy(packet);
}

}  // namespace vx::net
