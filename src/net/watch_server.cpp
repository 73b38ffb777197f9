#include "net/watch_server.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace vx::net {

// The state goes over as its bytes: both sides run the same program (their Hellos
// matched), and the watcher checks the state's hash before it uses it.
static_assert(std::is_trivially_copyable_v<MatchState>);
static_assert(sizeof(MatchState) <= kMaxWatchStateBytes);

void WatchServer::SetMatch(const NetMatch* match, const StartPacket& start, uint8_t matchNo) {
    match_ = match;
    start_ = start;
    matchNo_ = matchNo;
}

std::size_t WatchServer::Watchers() const {
    return static_cast<std::size_t>(
        std::count_if(watchers_.begin(), watchers_.end(), [](const Watcher& w) { return w.present; }));
}

void WatchServer::Send(int w, const Packet& packet) {
    const PacketBytes bytes = Encode(packet);
    watchers_[static_cast<std::size_t>(w)].bytes += bytes.size();
    link_.SendToWatcher(w, bytes);
}

void WatchServer::Hear(const WatcherEvent& event) {
    Watcher& w = watchers_[static_cast<std::size_t>(event.watcher)];
    switch (event.kind) {
        case WatcherEvent::Kind::Joined:
            w = {};
            w.present = true;
            ++counts_.joined;
            break;
        case WatcherEvent::Kind::Left:
            if (w.present) ++counts_.left;
            w = {};
            break;
        case WatcherEvent::Kind::Received: {
            DropCounts ignored;
            const auto p = ReadPacket(event.bytes.data(), event.bytes.size(), 0, ignored);
            if (p && p->type == packet_type::kWatchAck && w.started && p->watchAck.match == w.match &&
                p->watchAck.frame <= w.sent)
                w.acked = std::max(w.acked, p->watchAck.frame);
            break;
        }
    }
}

void WatchServer::StartWatcher(int w) {
    Watcher& watcher = watchers_[static_cast<std::size_t>(w)];
    Packet p;
    p.type = packet_type::kWatchStart;
    p.watchStart.match = matchNo_;
    p.watchStart.start = start_;
    const uint32_t confirmed = match_->Session().Confirmed();
    if (confirmed == 0) {
        Send(w, p);
    } else {
        // Mid-match: the confirmed state, in pieces, then the inputs from there.
        const MatchState state = match_->ConfirmedState();
        std::array<uint8_t, sizeof(MatchState)> bytes{};
        std::memcpy(bytes.data(), &state, sizeof state);
        p.watchStart.frame = confirmed;
        p.watchStart.stateBytes = static_cast<uint16_t>(sizeof state);
        p.watchStart.stateHash = MatchStateHash(state);
        Send(w, p);
        Packet piece;
        piece.type = packet_type::kWatchState;
        for (std::size_t at = 0; at < bytes.size(); at += kWatchStateChunkBytes) {
            piece.watchState.offset = static_cast<uint16_t>(at);
            piece.watchState.count = static_cast<uint8_t>(std::min(kWatchStateChunkBytes, bytes.size() - at));
            std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), piece.watchState.count,
                        piece.watchState.bytes.begin());
            Send(w, piece);
        }
    }
    watcher.started = true;
    watcher.match = matchNo_;
    watcher.sent = watcher.acked = confirmed;
}

void WatchServer::SendInputs(int w, uint32_t upTo) {
    Watcher& watcher = watchers_[static_cast<std::size_t>(w)];
    const auto& inputs = match_->ConfirmedInputs();
    upTo = std::min<uint32_t>(upTo, static_cast<uint32_t>(inputs.size()));
    Packet p;
    p.type = packet_type::kWatchInputs;
    p.watchInputs.match = matchNo_;
    while (watcher.sent < upTo) {
        p.watchInputs.firstFrame = watcher.sent;
        p.watchInputs.count =
            static_cast<uint8_t>(std::min<uint32_t>(upTo - watcher.sent, kMaxWatchInputsPerPacket));
        for (uint32_t i = 0; i < p.watchInputs.count; ++i) {
            const auto& in = inputs[watcher.sent + i];
            p.watchInputs.frames[i] = static_cast<uint8_t>((in[0] & 3u) | ((in[1] & 3u) << 2));
        }
        Send(w, p);
        watcher.sent += p.watchInputs.count;
    }
}

void WatchServer::LetGo(int w, uint8_t reason) {
    Packet p;
    p.type = packet_type::kWatchEnd;
    p.watchEnd = reason;
    link_.LetWatcherGo(w, Encode(p));
    watchers_[static_cast<std::size_t>(w)] = {};
}

void WatchServer::Serve() {
    events_.clear();
    link_.TakeWatcherEvents(events_);
    for (const WatcherEvent& e : events_) Hear(e);
    if (match_ == nullptr) return;
    const RollbackSession& session = match_->Session();
    const uint32_t confirmed = session.Confirmed();
    const bool over = session.EndFrame().has_value();
    // Ten frames behind the confirmed ones, all of them once the match is decided.
    const uint32_t servable =
        over ? confirmed : (confirmed > kWatchLagFrames ? confirmed - kWatchLagFrames : 0);
    for (int w = 0; w < static_cast<int>(kMaxWatchers); ++w) {
        Watcher& watcher = watchers_[static_cast<std::size_t>(w)];
        if (!watcher.present) continue;
        if (!watcher.started || watcher.match != matchNo_) StartWatcher(w);
        if (servable >= watcher.sent + kWatchBatchFrames || (over && servable > watcher.sent))
            SendInputs(w, servable);
        if (watcher.sent - watcher.acked > kWatchBacklogFrames) {
            ++counts_.fellBehind;
            LetGo(w, watch_end::kTooFarBehind);
        }
    }
}

void WatchServer::CloseAll() {
    events_.clear();
    link_.TakeWatcherEvents(events_);
    for (int w = 0; w < static_cast<int>(kMaxWatchers); ++w)
        if (watchers_[static_cast<std::size_t>(w)].present) LetGo(w, watch_end::kClosed);
    link_.Flush();
}

}  // namespace vx::net
