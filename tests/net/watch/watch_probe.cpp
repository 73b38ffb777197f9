// voltrax_watch_probe: one side of a watched network match without a window, for
// scripts. A host open to watchers, a guest, or a watcher; the players play one match
// with random keys on the real clock, the watcher follows the host's matches until the
// first it followed is over. Each prints the match's summary line: the watcher's begins
// like the players' (frames, scores, result, state hash).
//
//   voltrax_watch_probe --host PORT [--watchers N] | --join ADDRESS[:PORT] | --watch ADDRESS[:PORT]
//   common: [--stage N] [--time-limit SECONDS (60, 90 or 120)] [--seed N] [--match-seed N]
//           [--local-address ADDRESS] [--timeout SECONDS]
//
// Failures go to standard error as "error: WORDS" with exit status 1; a bad command line
// exits with 2. VOLTRAX_NETSIM applies to the players' outgoing packets.
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <random>
#include <string>
#include <thread>

#include "frontend/net_play.h"
#include "net/enet_link.h"
#include "net/net_match.h"
#include "net/net_peer.h"
#include "net/net_sim.h"
#include "net/watch_client.h"
#include "net/watch_server.h"
#include "platform/clock.h"
#include "platform/version.h"
#include "support/probe_match.h"
#include "support/test_game.h"

namespace {

using namespace vx;

[[noreturn]] void Usage(const std::string& why) {
    std::cerr << "voltrax_watch_probe: " << why << "\n";
    std::exit(2);
}

using testing::ProbeFail;
using testing::ProbeNap;

int Watch(const std::string& where, const std::string& localAddress, int64_t deadline) {
    std::string address, error;
    uint16_t port = 0;
    if (!ParseJoinAddress(where, address, port, error)) Usage(error);
    auto link = net::EnetLink::Join(address, port, &error, localAddress);
    if (!link) ProbeFail(error);
    testing::TestGame game(1);
    net::MatchWatcher watcher(std::move(link), VOLTRAX_VERSION_TEXT, game.g());
    while (!watcher.MatchOver()) {
        if (watcher.Ended()) ProbeFail(watcher.EndMessage());
        if (SteadyNowMs() > deadline) ProbeFail("the match did not end in time: " + watcher.SummaryLine());
        watcher.Pump(SteadyNowMs());
        ProbeNap();
    }
    std::cout << watcher.SummaryLine() << std::endl;
    watcher.Leave();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string host, join, watch, localAddress;
    std::size_t watchers = net::kMaxWatchers;
    int stage = 1, timeLimit = 60, timeoutS = 180;
    uint64_t seed = 1, matchSeed = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) Usage(a + " needs a value");
            return argv[++i];
        };
        if (a == "--host")
            host = value();
        else if (a == "--join")
            join = value();
        else if (a == "--watch")
            watch = value();
        else if (a == "--watchers")
            watchers = std::stoul(value());
        else if (a == "--local-address")
            localAddress = value();
        else if (a == "--stage")
            stage = std::stoi(value());
        else if (a == "--time-limit")
            timeLimit = std::stoi(value());
        else if (a == "--seed")
            seed = std::stoull(value());
        else if (a == "--match-seed")
            matchSeed = std::stoull(value());
        else if (a == "--timeout")
            timeoutS = std::stoi(value());
        else
            Usage("unknown argument " + a);
    }
    if (host.empty() + join.empty() + watch.empty() != 2) Usage("give one of --host, --join, --watch");
    const int64_t deadline = SteadyNowMs() + int64_t{timeoutS} * 1000;
    if (!watch.empty()) return Watch(watch, localAddress, deadline);

    std::string error;
    std::unique_ptr<net::EnetLink> link;
    const bool hosting = !host.empty();
    if (hosting) {
        link = net::EnetLink::Host(static_cast<uint16_t>(std::stoi(host)), "", &error, watchers);
    } else {
        std::string address;
        uint16_t port = 0;
        if (!ParseJoinAddress(join, address, port, error)) Usage(error);
        link = net::EnetLink::Join(address, port, &error, localAddress);
    }
    if (!link) ProbeFail(error);
    net::EnetLink& enet = *link;
    net::PeerOptions options{hosting, VOLTRAX_VERSION_TEXT, std::nullopt, seed};
    if (const char* sim = std::getenv("VOLTRAX_NETSIM"); sim != nullptr && sim[0] != '\0') {
        options.sim = net::ParseNetSim(sim, &error);
        if (!options.sim) Usage(error);
    }
    net::NetPeer peer(std::move(link), options);
    net::WatchServer server(enet);
    while (!peer.Ready()) {
        if (peer.Ended()) ProbeFail(peer.EndMessage());
        if (SteadyNowMs() > deadline) ProbeFail("the other side never answered");
        peer.Pump(SteadyNowMs());
        if (hosting) server.Serve();
        ProbeNap();
    }
    // Both players play the start of the command line; the host sends it to its watchers.
    net::StartPacket start;
    start.stage = static_cast<uint8_t>(stage);
    start.ruleKind = rule_kind::kTime;
    start.timeLimit = static_cast<int16_t>(timeLimit);
    start.seed = matchSeed;
    testing::TestGame game(seed);
    net::NetMatch match(game.g(), peer, hosting ? 0 : 1, start, 1);
    if (hosting) server.SetMatch(&match, start, 1);
    testing::PlayProbeMatch(match, peer, seed, hosting, deadline, [&](int64_t) {
        if (hosting) server.Serve();
    });
    // The last confirmations cross, and the watchers get the match's last frames.
    for (const int64_t end = SteadyNowMs() + 1000; SteadyNowMs() < end; ProbeNap()) {
        peer.Pump(SteadyNowMs());
        if (hosting) server.Serve();
    }
    std::cout << match.SummaryLine() << std::endl;
    if (hosting) server.CloseAll();
    peer.Leave();
    return 0;
}
