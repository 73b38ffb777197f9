#include "frontend/online_watchers.h"

#include <algorithm>
#include <utility>

namespace vx {

OnlineWatchers::OnlineWatchers(net::lobby::LobbyClient& lobby, PathFinderMaker makeFinder,
                               std::string version, uint16_t enetPort)
    : lobby_(lobby), makeFinder_(std::move(makeFinder)), version_(std::move(version)), enetPort_(enetPort) {}

OnlineWatchers::~OnlineWatchers() = default;

void OnlineWatchers::Poll(int64_t nowMs) {
    if (!lobby_.ServicesAnswered()) return;
    const auto& present = lobby_.Watchers();
    // A watcher that left the lobby has stopped watching: its path goes too. Once our own
    // lobby connection is over (the guest left the room at the end, say), the paths
    // already carried stay until the players' connection ends, so that every watcher
    // still hears the end from the host.
    const bool lobbyGone = lobby_.State() == net::lobby::LobbyState::kFailed;
    std::erase_if(ways_, [&](const Way& way) {
        if (lobbyGone) return way.forward == nullptr;
        return std::none_of(present.begin(), present.end(),
                            [&](const auto& w) { return w.nick == way.nick; });
    });
    for (const auto& w : present) {
        if (w.version != version_) continue;  // not yet said, or another version (told so by our hello)
        if (std::any_of(ways_.begin(), ways_.end(), [&](const Way& way) { return way.nick == w.nick; }))
            continue;
        net::PathOptions options;
        options.controlling = true;
        options.relay = lobby_.Services().relay;
        options.stunHost = lobby_.Services().stunHost;
        options.stunPort = lobby_.Services().stunPort;
        Way way;
        way.nick = w.nick;
        way.finder = makeFinder_(options);
        way.givenUp = !way.finder;
        way.startMs = nowMs;
        ways_.push_back(std::move(way));
    }
    for (Way& way : ways_) {
        if (way.forward)
            way.forward->Poll();
        else if (!way.givenUp)
            Advance(way, nowMs);
    }
}

void OnlineWatchers::Advance(Way& way, int64_t nowMs) {
    using State = net::PathFinder::State;
    net::PathFinder& finder = *way.finder;
    finder.Poll();
    if (!way.pathSent && finder.GetState() != State::kGathering && finder.GetState() != State::kFailed) {
        lobby_.SendPathToWatcher(way.nick, finder.LocalDescription());
        way.pathSent = true;
    }
    if (!way.remoteSet) {
        for (const auto& w : lobby_.Watchers()) {
            if (w.nick != way.nick || w.path.empty()) continue;
            way.remoteSet = true;
            if (!finder.SetRemoteDescription(w.path, nullptr)) way.givenUp = true;
        }
    }
    if (finder.GetState() == State::kConnected) {
        way.forward = finder.ForwardToPort(enetPort_, nullptr);
        way.givenUp = !way.forward;
    } else if (finder.GetState() == State::kFailed || nowMs - way.startMs > kPathTimeoutMs) {
        way.givenUp = true;
    }
    if (way.givenUp || way.forward) way.finder.reset();
}

std::size_t OnlineWatchers::Carried() const {
    return static_cast<std::size_t>(
        std::count_if(ways_.begin(), ways_.end(), [](const Way& way) { return way.forward != nullptr; }));
}

}  // namespace vx
