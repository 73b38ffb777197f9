// Watching's cost to the host: the same 60-second match (60 ms round trip, 5 % loss)
// between two Games over loopback ENet on a virtual clock, with 0, 1, 4 and 8 watchers
// joined from the start. Prints the host's CPU per second of play (its turns, pumps and
// the serving of the watchers), the extra per watcher over the run without, and the
// bytes per second to each watcher (ENet's payload totals, and our packets alone).
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "net/watch_client.h"
#include "net/watch_server.h"
#include "support/net_pair.h"

namespace {

using namespace vx;

double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Figures {
    double hostCpuUsPerS = 0;
    double enetBytesPerS = 0;  // all the host sent, per second
    double packetBytesPerWatcherPerS = 0;
    int followedToTheEnd = 0;
};

Figures Run(std::size_t watcherCount) {
    std::string error;
    auto hostLink = net::EnetLink::Host(0, "127.0.0.1", &error, net::kMaxWatchers);
    net::EnetLink& enet = *hostLink;
    const uint16_t port = hostLink->Port();
    testing::NetPair pair(std::move(hostLink), net::EnetLink::Join("127.0.0.1", port, &error),
                          {30, 10, 5, 1});
    Figures f;
    if (!pair.Connect()) return f;
    net::WatchServer server(enet);
    struct Watcher {
        testing::TestGame game{7};
        std::unique_ptr<net::MatchWatcher> watcher;
    };
    std::vector<std::unique_ptr<Watcher>> watchers;
    for (std::size_t i = 0; i < watcherCount; ++i) {
        auto w = std::make_unique<Watcher>();
        w->watcher = std::make_unique<net::MatchWatcher>(
            net::EnetLink::Join("127.0.0.1", port, &error, "127.0.0." + std::to_string(2 + i / 2)), "2.1",
            w->game.g());
        watchers.push_back(std::move(w));
    }
    pair.RunUntil([&] {
        server.Serve();
        for (auto& w : watchers) w->watcher->Pump(pair.nowMs);
        return server.Watchers() == watcherCount;
    });
    const net::StartPacket start{.stage = 3, .ruleKind = rule_kind::kTime, .timeLimit = 60, .seed = 0xbe7c};
    pair.StartMatch(start, 1);
    server.SetMatch(pair.host->match.get(), start, 1);
    pair.host->cpuSeconds = 0;
    double serveCpu = 0;
    const uint64_t sent0 = enet.BytesSent();
    const int64_t t0 = pair.nowMs;
    pair.RunUntil(
        [&] {
            const double a = ThreadCpuSeconds();
            server.Serve();
            serveCpu += ThreadCpuSeconds() - a;
            for (auto& w : watchers) w->watcher->Pump(pair.nowMs);
            return pair.BothOver() && std::all_of(watchers.begin(), watchers.end(), [&](const auto& w) {
                       return w->watcher->Frame() == pair.host->match->Session().EndFrame().value_or(0);
                   });
        },
        120000);
    const double seconds = static_cast<double>(pair.nowMs - t0) / 1000.0;
    f.hostCpuUsPerS = (pair.host->cpuSeconds + serveCpu) / seconds * 1e6;
    f.enetBytesPerS = static_cast<double>(enet.BytesSent() - sent0) / seconds;
    uint64_t packetBytes = 0;
    for (int w = 0; w < static_cast<int>(watcherCount); ++w) packetBytes += server.BytesTo(w);
    f.packetBytesPerWatcherPerS =
        watcherCount == 0 ? 0
                          : static_cast<double>(packetBytes) / static_cast<double>(watcherCount) / seconds;
    for (auto& w : watchers)
        f.followedToTheEnd += w->watcher->MatchOver() && w->watcher->Hash() == pair.host->match->Hash();
    return f;
}

}  // namespace

int main() {
    std::printf("%-9s %12s %14s %14s %14s %9s\n", "watchers", "cpu.host", "extra/watcher", "B/s enet/w",
                "B/s ours/w", "followed");
    const Figures alone = Run(0);
    for (std::size_t n : {0u, 1u, 4u, 8u}) {
        const Figures f = n == 0 ? alone : Run(n);
        const double extraCpu = n == 0 ? 0 : (f.hostCpuUsPerS - alone.hostCpuUsPerS) / static_cast<double>(n);
        const double enetPerWatcher =
            n == 0 ? 0 : (f.enetBytesPerS - alone.enetBytesPerS) / static_cast<double>(n);
        std::printf("%-9zu %9.1f us %11.1f us %14.0f %14.0f %6d/%zu\n", n, f.hostCpuUsPerS, extraCpu,
                    enetPerWatcher, f.packetBytesPerWatcherPerS, f.followedToTheEnd, n);
    }
    std::printf(
        "cpu: microseconds of the host's CPU per second of play; B/s enet/w: the host's ENet payload\n"
        "per second beyond the run without watchers, per watcher; ours/w: our packets alone\n");
    return 0;
}
