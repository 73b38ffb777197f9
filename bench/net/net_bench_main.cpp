// Network play's figures: for round trips of 0, 60 and 150 ms with 5 % loss (and 10 ms
// jitter, 1 % doubles on the slower ones), 20 two-minute-rule matches of 60 s between
// two Games over loopback ENet on a virtual clock, random keys on both sides. Prints the
// largest and mean rollback, CPU per side per second of play and bytes per second each way.
#include <algorithm>
#include <cstdio>

#include "support/net_pair.h"

int main(int argc, char** argv) {
    using namespace vx;
    const int matches = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    struct Network {
        int rttMs;
        net::NetSimSettings sim;
    };
    const Network networks[] = {{0, {0, 0, 5, 0}}, {60, {30, 10, 5, 1}}, {150, {75, 10, 5, 1}}};
    std::printf("%-8s %8s %9s %9s %10s %10s %10s %10s\n", "rtt", "frames", "rb.max", "rb.mean", "cpu.host",
                "cpu.guest", "B/s h->g", "B/s g->h");
    for (const auto& n : networks) {
        testing::NetPair pair(n.sim);
        if (!pair.Connect()) {
            std::fprintf(stderr, "no connection\n");
            return 1;
        }
        const uint64_t sent0 = pair.host->peer.BytesSent();
        const uint64_t received0 = pair.host->peer.BytesReceived();
        uint64_t frames = 0, rolledBack = 0, rollbacks = 0;
        uint32_t largest = 0;
        pair.host->cpuSeconds = pair.guest->cpuSeconds = 0;
        const int64_t start = pair.nowMs;
        for (int m = 1; m <= matches; ++m) {
            net::StartPacket s;
            s.stage = static_cast<uint8_t>(1 + m % kStageCount);
            s.ruleKind = rule_kind::kTime;
            s.timeLimit = 60;
            s.seed = 0xbe7c0000u + static_cast<uint64_t>(m);
            pair.StartMatch(s, static_cast<uint8_t>(m));
            if (!pair.RunUntil([&] { return pair.BothOver(); }, 600000)) {
                std::fprintf(stderr, "match %d did not end:\n host %s\n guest %s\n %s %s\n", m,
                             pair.host->match->SummaryLine().c_str(),
                             pair.guest->match->SummaryLine().c_str(), pair.host->peer.EndMessage().c_str(),
                             pair.guest->peer.EndMessage().c_str());
                return 1;
            }
            for (auto* side : {pair.host.get(), pair.guest.get()}) {
                const auto& session = side->match->Session();
                rolledBack += session.RolledBackFrames();
                rollbacks += session.Rollbacks();
                largest = std::max(largest, session.LargestRollback());
            }
            frames += *pair.host->match->Session().EndFrame();
        }
        const double seconds = static_cast<double>(pair.nowMs - start) / 1000.0;
        std::printf("%4d ms  %8llu %9u %9.2f %8.1f us %7.1f us %10.0f %10.0f\n", n.rttMs,
                    static_cast<unsigned long long>(frames), largest,
                    rollbacks == 0 ? 0.0 : static_cast<double>(rolledBack) / static_cast<double>(rollbacks),
                    pair.host->cpuSeconds / seconds * 1e6, pair.guest->cpuSeconds / seconds * 1e6,
                    static_cast<double>(pair.host->peer.BytesSent() - sent0) / seconds,
                    static_cast<double>(pair.host->peer.BytesReceived() - received0) / seconds);
    }
    std::printf(
        "cpu: microseconds of CPU per second of play (a frame is 33 ms); rb: rollback length in frames\n");
    return 0;
}
