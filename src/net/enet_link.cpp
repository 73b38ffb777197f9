#include "net/enet_link.h"

#include <enet/enet.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <mutex>
#include <optional>

#include "net/join_cookie.h"
#include "platform/clock.h"

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

// What looks at each datagram before ENet: a host's gate, or a guest's wait for its cookie.
struct Door {
    ENetHost* host = nullptr;
    std::unique_ptr<StrangerGate> gate;  // host
    ENetAddress server{};                // guest: the host it joins
    std::optional<uint32_t> cookie;      // guest: the host's answer

    int Look(ENetHost* serviced) {
        if (gate) return gate->Intercept(serviced, SteadyNowMs()) ? 1 : 0;
        const ENetAddress& from = serviced->receivedAddress;
        if (from.host != server.host || from.port != server.port) return 0;
        const auto answer = ReadCookieReply(serviced->receivedData, serviced->receivedDataLength);
        if (!answer) return 0;
        cookie = *answer;
        return 1;
    }
};

// ENet's hook has no room for our own pointer: the door of the host being serviced on
// this thread is set for the length of the call.
thread_local Door* tServicedDoor = nullptr;

int ENET_CALLBACK LookAtDatagram(ENetHost* host, ENetEvent*) {
    return tServicedDoor != nullptr && tServicedDoor->host == host ? tServicedDoor->Look(host) : 0;
}

void SetLimits(ENetHost* host) {
    host->maximumPacketSize = kEnetMaxPacketBytes;
    host->maximumWaitingData = kEnetMaxWaitingBytes;
    host->intercept = LookAtDatagram;
}

void SendRaw(ENetHost* host, const ENetAddress& to, const PacketBytes& bytes) {
    ENetBuffer buffer;
    buffer.data = const_cast<uint8_t*>(bytes.data());
    buffer.dataLength = bytes.size();
    enet_socket_send(host->socket, &to, &buffer, 1);
}

}  // namespace

struct EnetLink::Impl {
    ENetHost* host = nullptr;
    ENetPeer* peer = nullptr;
    bool connected = false;
    bool closed = false;
    Door door;
    int64_t askedAtMs = 0;        // guest: when it last asked for a cookie
    std::size_t watcherRoom = 0;  // host: how many may watch
    std::array<ENetPeer*, kMaxWatchers> watchers{};
    std::vector<WatcherEvent> watcherEvents;

    int WatcherOf(const ENetPeer* p) const {
        for (std::size_t i = 0; i < watcherRoom; ++i)
            if (watchers[i] == p) return static_cast<int>(i);
        return -1;
    }
    void AdmitWatcher(ENetPeer* p);
    void HearCandidate(const ENetEvent& event, std::vector<LinkEvent>& events, DropCounts& drops);

    int Service(ENetEvent& event) {
        tServicedDoor = &door;
        const int rc = enet_host_service(host, &event, 0);
        tServicedDoor = nullptr;
        return rc;
    }
    void PollHost(std::vector<LinkEvent>& events, DropCounts& drops);
    void PollGuest(std::vector<LinkEvent>& events, DropCounts& drops);
    void Take(const ENetEvent& event, std::vector<LinkEvent>& events);
};

EnetLink::EnetLink(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

EnetLink::~EnetLink() {
    Close();
    if (impl_->host != nullptr) enet_host_destroy(impl_->host);
}

std::unique_ptr<EnetLink> EnetLink::Host(uint16_t port, const std::string& bindAddress, std::string* error,
                                         std::size_t watchers) {
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
    // Slots enough for the guest while strangers knock (see stranger_gate.h), and one
    // for each watcher.
    watchers = std::min(watchers, kMaxWatchers);
    ENetHost* host = enet_host_create(&address, kHostSlots + watchers, kChannels, 0, 0);
    if (host == nullptr) {
        if (error != nullptr)
            *error = "UDP port " + std::to_string(port) + " cannot be opened (is it in use?)";
        return nullptr;
    }
    SetLimits(host);
    auto impl = std::make_unique<Impl>();
    impl->host = host;
    impl->door.host = host;
    impl->door.gate = std::make_unique<StrangerGate>(Encode(MakeHello("")));
    impl->door.gate->Configure(host, watchers);
    impl->watcherRoom = watchers;
    return std::unique_ptr<EnetLink>(new EnetLink(std::move(impl)));
}

std::unique_ptr<EnetLink> EnetLink::Join(const std::string& addressText, uint16_t port, std::string* error,
                                         const std::string& localAddress) {
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
    ENetAddress local{};
    local.host = ENET_HOST_ANY;
    if (!localAddress.empty() && enet_address_set_host_ip(&local, localAddress.c_str()) != 0) {
        if (error != nullptr) *error = "\"" + localAddress + "\" is not an address";
        return nullptr;
    }
    ENetHost* host = enet_host_create(localAddress.empty() ? nullptr : &local, 1, kChannels, 0, 0);
    if (host == nullptr) {
        if (error != nullptr) *error = "the network could not be started";
        return nullptr;
    }
    SetLimits(host);
    // The connect itself waits for the host's cookie (see join_cookie.h).
    auto impl = std::make_unique<Impl>();
    impl->host = host;
    impl->door.host = host;
    impl->door.server = address;
    impl->askedAtMs = SteadyNowMs();
    SendRaw(host, address, CookieRequest());
    return std::unique_ptr<EnetLink>(new EnetLink(std::move(impl)));
}

void EnetLink::SetGreeting(const PacketBytes& hello) {
    if (impl_->door.gate) impl_->door.gate->Greet(hello);
}

void EnetLink::Poll(std::vector<LinkEvent>& events, DropCounts& drops) {
    if (impl_->host == nullptr || impl_->closed) return;
    if (impl_->door.gate)
        impl_->PollHost(events, drops);
    else
        impl_->PollGuest(events, drops);
}

void EnetLink::Impl::Take(const ENetEvent& event, std::vector<LinkEvent>& events) {
    // One byte more than any packet is enough for the reader to refuse it for its
    // length; nothing is copied beyond that.
    const std::size_t n = std::min(event.packet->dataLength, kMaxPacketBytes + 1);
    events.push_back({LinkEvent::Kind::Received, PacketBytes(event.packet->data, event.packet->data + n)});
}

void EnetLink::Impl::PollGuest(std::vector<LinkEvent>& events, DropCounts& drops) {
    if (peer == nullptr && !door.cookie && SteadyNowMs() - askedAtMs >= kCookieAskEveryMs) {
        askedAtMs = SteadyNowMs();
        SendRaw(host, door.server, CookieRequest());
    }
    ENetEvent event;
    for (int n = 0; n < kMaxEventsPerPoll && Service(event) > 0; ++n) {
        switch (event.type) {
            case ENET_EVENT_TYPE_CONNECT:
                if (event.peer == peer) {
                    connected = true;
                    // Our own waiting rule decides when the other side is gone; ENet's
                    // limit is only the backstop, beyond it.
                    enet_peer_timeout(event.peer, 0, kWaitLimitMs + 5000, kWaitLimitMs + 10000);
                    events.push_back({LinkEvent::Kind::Connected, {}});
                }
                break;
            case ENET_EVENT_TYPE_RECEIVE:
                if (event.peer != peer || !connected)
                    ++drops.wrongSender;
                else
                    Take(event, events);
                enet_packet_destroy(event.packet);
                break;
            case ENET_EVENT_TYPE_DISCONNECT:
                if (event.peer == peer && connected) {
                    peer = nullptr;
                    connected = false;
                    closed = true;  // one connection a link: a guest turned away stays away
                    events.push_back({LinkEvent::Kind::Disconnected, {}});
                } else if (event.peer == peer) {
                    peer = nullptr;  // the connect went unanswered: ask for a cookie again
                    door.cookie.reset();
                }
                break;
            case ENET_EVENT_TYPE_NONE: break;
        }
    }
    if (peer == nullptr && !closed && door.cookie) {
        peer = enet_host_connect(host, &door.server, kChannels, *door.cookie);
        enet_host_flush(host);
    }
}

void EnetLink::Impl::PollHost(std::vector<LinkEvent>& events, DropCounts& drops) {
    StrangerGate& gate = *door.gate;
    ENetEvent event;
    for (int n = 0; n < kMaxEventsPerPoll && Service(event) > 0; ++n) {
        switch (event.type) {
            case ENET_EVENT_TYPE_CONNECT:
                if (peer == nullptr || watcherRoom > 0) {
                    gate.Knock(event.peer, SteadyNowMs());
                } else {
                    ++drops.wrongSender;  // the guest is in: nobody else
                    enet_peer_disconnect_now(event.peer, 0);
                }
                break;
            case ENET_EVENT_TYPE_RECEIVE:
                if (event.peer == peer && connected) {
                    Take(event, events);
                } else if (const int w = WatcherOf(event.peer); w >= 0) {
                    const std::size_t n = std::min(event.packet->dataLength, kMaxPacketBytes + 1);
                    watcherEvents.push_back({WatcherEvent::Kind::Received, w,
                                             PacketBytes(event.packet->data, event.packet->data + n)});
                } else if ((peer == nullptr || watcherRoom > 0) && gate.IsCandidate(event.peer)) {
                    HearCandidate(event, events, drops);
                } else {
                    ++drops.wrongSender;
                }
                enet_packet_destroy(event.packet);
                break;
            case ENET_EVENT_TYPE_DISCONNECT:
                if (event.peer == peer) {
                    peer = nullptr;
                    connected = false;
                    events.push_back({LinkEvent::Kind::Disconnected, {}});
                } else if (const int w = WatcherOf(event.peer); w >= 0) {
                    watchers[static_cast<std::size_t>(w)] = nullptr;
                    watcherEvents.push_back({WatcherEvent::Kind::Left, w, {}});
                } else {
                    gate.Forget(event.peer);
                }
                break;
            case ENET_EVENT_TYPE_NONE: break;
        }
    }
    gate.Sweep(host, SteadyNowMs());
}

void EnetLink::Impl::HearCandidate(const ENetEvent& event, std::vector<LinkEvent>& events,
                                   DropCounts& drops) {
    StrangerGate& gate = *door.gate;
    const uint8_t* data = event.packet->data;
    const std::size_t size = event.packet->dataLength;
    if (watcherRoom > 0 && size > 2 && data[2] == packet_type::kWatch) {
        if (gate.HearWatcher(event.peer, data, size)) AdmitWatcher(event.peer);
    } else if (peer == nullptr) {
        if (gate.Hear(event.peer, data, size)) {
            peer = event.peer;
            connected = true;
            enet_peer_timeout(peer, 0, kWaitLimitMs + 5000, kWaitLimitMs + 10000);
            events.push_back({LinkEvent::Kind::Connected, {}, true});
            Take(event, events);
        }
    } else if (size > 2 && data[2] == packet_type::kHello) {
        ++drops.wrongSender;  // a second player: the guest is in
        gate.Dismiss(event.peer);
    }
}

void EnetLink::Impl::AdmitWatcher(ENetPeer* p) {
    for (std::size_t i = 0; i < watcherRoom; ++i) {
        if (watchers[i] != nullptr) continue;
        watchers[i] = p;
        watcherEvents.push_back({WatcherEvent::Kind::Joined, static_cast<int>(i), {}});
        return;
    }
    TellWatcherFull(p);
    enet_peer_disconnect_later(p, 0);
}

void EnetLink::TakeWatcherEvents(std::vector<WatcherEvent>& events) {
    for (auto& e : impl_->watcherEvents) events.push_back(std::move(e));
    impl_->watcherEvents.clear();
}

void EnetLink::SendToWatcher(int watcher, const PacketBytes& bytes) {
    if (watcher < 0 || static_cast<std::size_t>(watcher) >= impl_->watcherRoom || impl_->closed) return;
    ENetPeer* p = impl_->watchers[static_cast<std::size_t>(watcher)];
    if (p == nullptr || bytes.empty()) return;
    ENetPacket* packet = enet_packet_create(bytes.data(), bytes.size(), ENET_PACKET_FLAG_RELIABLE);
    if (packet != nullptr && enet_peer_send(p, 1, packet) != 0) enet_packet_destroy(packet);
}

void EnetLink::LetWatcherGo(int watcher, const PacketBytes& lastWord) {
    if (watcher < 0 || static_cast<std::size_t>(watcher) >= impl_->watcherRoom) return;
    ENetPeer*& p = impl_->watchers[static_cast<std::size_t>(watcher)];
    if (p == nullptr) return;
    SendToWatcher(watcher, lastWord);
    // Later, not now: the last word goes out first. The slot is free at once; ENet
    // forgets the peer when the goodbye is done (or times out).
    enet_peer_disconnect_later(p, 0);
    p = nullptr;
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
    for (ENetPeer*& w : impl_->watchers) {
        if (w != nullptr) enet_peer_disconnect_now(w, 0);
        w = nullptr;
    }
    if (impl_->peer != nullptr && impl_->connected) {
        enet_peer_disconnect_now(impl_->peer, 0);
        enet_host_flush(impl_->host);
    }
    impl_->peer = nullptr;
    impl_->connected = false;
    impl_->closed = true;
}

void EnetLink::Abandon() {
    if (impl_->peer != nullptr) enet_peer_reset(impl_->peer);
    impl_->peer = nullptr;
    impl_->connected = false;
    impl_->closed = true;
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

GateCounts EnetLink::Gate() const {
    return impl_->door.gate ? impl_->door.gate->Counts() : GateCounts{};
}

}  // namespace vx::net

namespace vx::net {

uint16_t EnetLink::Port() const {
    ENetAddress address{};
    if (impl_->host == nullptr || enet_socket_get_address(impl_->host->socket, &address) != 0) return 0;
    return address.port;
}

}  // namespace vx::net
