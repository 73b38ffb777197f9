#include "net/enet_link.h"

#include <enet/enet.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>

#include "net/enet_clock.h"
#include "net/net_peer.h"

namespace vx::net {

namespace {

constexpr std::size_t kChannels = 2;  // 0 inputs (unreliable), 1 everything else (reliable)

// ENet's process-wide set-up, done once and undone when the program ends.
bool InitializeOnce() {
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] {
        // ENet times the link on our monotonic clock (net/enet_clock.cpp).
        static_cast<void>(TransportClockReads());
        ok = enet_initialize() == 0;
        if (ok) std::atexit(enet_deinitialize);
    });
    return ok;
}

}  // namespace

struct EnetLink::Impl {
    ENetHost* host = nullptr;
    ENetPeer* peer = nullptr;
    bool connected = false;
};

EnetLink::EnetLink(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

EnetLink::~EnetLink() {
    Close();
    if (impl_->host != nullptr) enet_host_destroy(impl_->host);
}

std::unique_ptr<EnetLink> EnetLink::Host(uint16_t port, const std::string& bindAddress, std::string* error) {
    if (!InitializeOnce()) {
        if (error != nullptr) *error = "the network could not be started";
        return nullptr;
    }
    ENetAddress address{};
    address.host = ENET_HOST_ANY;
    address.port = port;
    if (!bindAddress.empty() && enet_address_set_host_ip(&address, bindAddress.c_str()) != 0) {
        if (error != nullptr) *error = "\"" + bindAddress + "\" is not an address";
        return nullptr;
    }
    // Room for two peers so that a second player can be told no rather than ignored.
    ENetHost* host = enet_host_create(&address, 2, kChannels, 0, 0);
    if (host == nullptr) {
        if (error != nullptr)
            *error = "UDP port " + std::to_string(port) + " cannot be opened (is it in use?)";
        return nullptr;
    }
    auto impl = std::make_unique<Impl>();
    impl->host = host;
    return std::unique_ptr<EnetLink>(new EnetLink(std::move(impl)));
}

std::unique_ptr<EnetLink> EnetLink::Join(const std::string& addressText, uint16_t port, std::string* error) {
    if (!InitializeOnce()) {
        if (error != nullptr) *error = "the network could not be started";
        return nullptr;
    }
    ENetAddress address{};
    if (enet_address_set_host(&address, addressText.c_str()) != 0) {
        if (error != nullptr) *error = "\"" + addressText + "\" cannot be found";
        return nullptr;
    }
    address.port = port;
    ENetHost* host = enet_host_create(nullptr, 1, kChannels, 0, 0);
    if (host == nullptr) {
        if (error != nullptr) *error = "the network could not be started";
        return nullptr;
    }
    ENetPeer* peer = enet_host_connect(host, &address, kChannels, 0);
    if (peer == nullptr) {
        enet_host_destroy(host);
        if (error != nullptr) *error = "the network could not be started";
        return nullptr;
    }
    auto impl = std::make_unique<Impl>();
    impl->host = host;
    impl->peer = peer;
    return std::unique_ptr<EnetLink>(new EnetLink(std::move(impl)));
}

void EnetLink::Poll(std::vector<LinkEvent>& events, DropCounts& drops) {
    if (impl_->host == nullptr) return;
    ENetEvent event;
    while (enet_host_service(impl_->host, &event, 0) > 0) {
        switch (event.type) {
            case ENET_EVENT_TYPE_CONNECT:
                if (impl_->peer == nullptr || impl_->peer == event.peer) {
                    impl_->peer = event.peer;
                    impl_->connected = true;
                    // Our own waiting rule decides when the other side is gone; ENet's
                    // limit is only the backstop, beyond it.
                    enet_peer_timeout(event.peer, 0, kWaitLimitMs + 5000, kWaitLimitMs + 10000);
                    events.push_back({LinkEvent::Kind::Connected, {}});
                } else {
                    ++drops.wrongSender;
                    enet_peer_disconnect_now(event.peer, 0);
                }
                break;
            case ENET_EVENT_TYPE_RECEIVE:
                if (event.peer != impl_->peer || !impl_->connected) {
                    ++drops.wrongSender;
                } else {
                    // One byte more than any packet is enough for the reader to refuse it
                    // for its length; nothing is copied beyond that.
                    const std::size_t n = std::min(event.packet->dataLength, kMaxPacketBytes + 1);
                    events.push_back(
                        {LinkEvent::Kind::Received, PacketBytes(event.packet->data, event.packet->data + n)});
                }
                enet_packet_destroy(event.packet);
                break;
            case ENET_EVENT_TYPE_DISCONNECT:
                if (event.peer == impl_->peer) {
                    impl_->peer = nullptr;
                    impl_->connected = false;
                    events.push_back({LinkEvent::Kind::Disconnected, {}});
                }
                break;
            case ENET_EVENT_TYPE_NONE: break;
        }
    }
}

void EnetLink::Send(const PacketBytes& bytes, bool reliable) {
    if (!Connected() || bytes.empty()) return;
    ENetPacket* packet = enet_packet_create(
        bytes.data(), bytes.size(), reliable ? ENET_PACKET_FLAG_RELIABLE : ENET_PACKET_FLAG_UNSEQUENCED);
    if (packet == nullptr) return;
    if (enet_peer_send(impl_->peer, reliable ? 1 : 0, packet) != 0) enet_packet_destroy(packet);
}

void EnetLink::Flush() {
    if (impl_->host != nullptr) enet_host_flush(impl_->host);
}

void EnetLink::Close() {
    if (impl_->peer != nullptr && impl_->connected) {
        enet_peer_disconnect_now(impl_->peer, 0);
        enet_host_flush(impl_->host);
    }
    impl_->peer = nullptr;
    impl_->connected = false;
}

void EnetLink::Abandon() {
    if (impl_->peer != nullptr) enet_peer_reset(impl_->peer);
    impl_->peer = nullptr;
    impl_->connected = false;
}

bool EnetLink::Connected() const {
    return impl_->peer != nullptr && impl_->connected;
}

uint64_t EnetLink::BytesSent() const {
    return impl_->host == nullptr ? 0 : impl_->host->totalSentData;
}

uint64_t EnetLink::BytesReceived() const {
    return impl_->host == nullptr ? 0 : impl_->host->totalReceivedData;
}

}  // namespace vx::net

namespace vx::net {

uint16_t EnetLink::Port() const {
    ENetAddress address{};
    if (impl_->host == nullptr || enet_socket_get_address(impl_->host->socket, &address) != 0) return 0;
    return address.port;
}

}  // namespace vx::net
