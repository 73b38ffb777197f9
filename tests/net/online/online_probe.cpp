// voltrax_online_probe: one side of an online match without a window, for the online
// tiers. It reaches the other side the way the program does (through the lobby by room
// code or quick match, or by address), plays one whole match with random keys on the
// real clock, and prints the match summary with the path taken. Every wait is bounded
// by --timeout.
//
//   voltrax_online_probe --lobby HOST[:PORT] (--make-room | --join-room CODE | --quick-match)
//                        [--relay-only] [--local-address ADDRESS]...
//   voltrax_online_probe --host PORT | --join ADDRESS:PORT
//   voltrax_online_probe --lobby HOST[:PORT] --watch-room CODE [--relay-only] [--local-address ADDRESS]...
//   common: [--time-limit SECONDS] [--stage N] [--seed N] [--match-seed N] [--timeout SECONDS]
//           [--figures]
//
// Prints "room CODE" once a made room exists ("public ADDRESS:PORT" once a host's router
// mapped its port), then "path=NAME" once connected, then the
// summary line ending in "path=NAME". The room's maker serves the watchers who come by
// its code (a watched match needs a time limit of 60, 90 or 120); a watcher prints
// "path=NAME" and the watcher's summary line, as `voltrax --watch-room CODE --verbose`;
// the maker, "watchers N" (those it carries at the end) before its summary line.
// Failures go to standard error as "error: WORDS" with exit status 1; a bad command line
// exits with 2.
//
// --figures adds, for the benchmarks, lines timed on the monotonic clock from the probe's
// start: "finding path after N ms" (through the lobby: both sides are in the room and
// trade their path lines), "connected after N ms" (the path found), "first frame after
// N ms" (the match's first frame run here), and before the summary "match cpu ..." (this
// process's user and system CPU over the match's wall time, every thread) and "match
// bytes ..." (the link's payload each way).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>

#include "frontend/net_play.h"
#include "frontend/online_connector.h"
#include "frontend/watch_room_command.h"
#include "net/enet_link.h"
#include "net/ice/ice_path_finder.h"
#include "net/ice/port_mapping.h"
#include "net/net_match.h"
#include "net/net_peer.h"
#include "net/net_sim.h"
#include "net/watch_server.h"
#include "platform/clock.h"
#include "platform/version.h"
#include "support/probe_match.h"
#include "support/test_game.h"

namespace {

using namespace vx;

struct ProbeOptions {
    std::string lobby;
    std::optional<OnlineRequest::Kind> online;
    std::string code;
    bool relayOnly = false;
    std::vector<std::string> localAddresses;
    std::optional<uint16_t> hostPort;
    std::string join;
    int timeLimit = 10;
    int stage = 1;
    uint64_t seed = 1;       // this side's keys
    uint64_t matchSeed = 1;  // the match's own random source, the same on both sides
    int timeoutS = 120;
    bool figures = false;
};

[[noreturn]] void Usage(const std::string& why) {
    std::cerr << "voltrax_online_probe: " << why << "\n";
    std::exit(2);
}

ProbeOptions Parse(int argc, char** argv) {
    ProbeOptions o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) Usage(a + " needs a value");
            return argv[++i];
        };
        if (a == "--lobby")
            o.lobby = value();
        else if (a == "--make-room")
            o.online = OnlineRequest::Kind::kMakeRoom;
        else if (a == "--join-room")
            o.online = OnlineRequest::Kind::kJoinRoom, o.code = value();
        else if (a == "--quick-match")
            o.online = OnlineRequest::Kind::kQuickMatch;
        else if (a == "--watch-room")
            o.online = OnlineRequest::Kind::kWatchRoom, o.code = value();
        else if (a == "--relay-only")
            o.relayOnly = true;
        else if (a == "--local-address")
            o.localAddresses.push_back(value());
        else if (a == "--host")
            o.hostPort = static_cast<uint16_t>(std::stoi(value()));
        else if (a == "--join")
            o.join = value();
        else if (a == "--time-limit")
            o.timeLimit = std::stoi(value());
        else if (a == "--stage")
            o.stage = std::stoi(value());
        else if (a == "--seed")
            o.seed = std::stoull(value());
        else if (a == "--match-seed")
            o.matchSeed = std::stoull(value());
        else if (a == "--timeout")
            o.timeoutS = std::stoi(value());
        else if (a == "--figures")
            o.figures = true;
        else
            Usage("unknown argument " + a);
    }
    if (o.online.has_value() == (o.hostPort.has_value() || !o.join.empty()))
        Usage("one of --make-room, --join-room, --quick-match, --host or --join");
    if (o.online && o.lobby.empty()) Usage("the lobby needs --lobby");
    return o;
}

using testing::ProbeFail;
using testing::ProbeNap;

// User plus system CPU of the whole process so far, in milliseconds.
int64_t ProcessCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto ms = [](const timeval& t) { return int64_t{t.tv_sec} * 1000 + t.tv_usec / 1000; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

}  // namespace

int main(int argc, char** argv) {
    const int64_t startMs = SteadyNowMs();
    const ProbeOptions o = Parse(argc, argv);
    const int64_t deadline = SteadyNowMs() + int64_t{o.timeoutS} * 1000;

    // The way to the other side: the lobby and a path finder, or an address.
    std::unique_ptr<net::Link> link;
    std::unique_ptr<OnlineConnector> connector;      // polled on while the match lasts
    std::unique_ptr<net::ice::PortMapping> mapping;  // removed when the program ends
    bool host = false;
    std::string path = "direct";
    if (o.online) {
        OnlineRequest request;
        request.kind = *o.online;
        request.code = o.code;
        request.server = o.lobby;
        request.version = VOLTRAX_VERSION_TEXT;
        request.settings = "stage=" + std::to_string(o.stage);
        request.relayOnly = o.relayOnly;
        net::ice::IceOptions ice;
        ice.localAddresses = o.localAddresses;
        const PathFinderMaker makeFinder = [ice](const net::PathOptions& options) {
            return std::make_unique<net::ice::IcePathFinder>(options, ice);
        };
        if (request.kind == OnlineRequest::Kind::kWatchRoom)
            return WatchRoomCommand(request, makeFinder, true, std::cout, std::cerr,
                                    int64_t{o.timeoutS} * 1000);
        connector = std::make_unique<OnlineConnector>(request, makeFinder);
        bool codeShown = false, searchShown = false;
        while (connector->GetStage() != OnlineConnector::Stage::kConnected) {
            if (SteadyNowMs() > deadline) ProbeFail("gave up: " + connector->StatusWords());
            connector->Poll(SteadyNowMs());
            if (connector->GetStage() == OnlineConnector::Stage::kFailed) ProbeFail(connector->Failure());
            if (o.figures && !searchShown && connector->GetStage() == OnlineConnector::Stage::kFindingPath) {
                std::cout << "finding path after " << SteadyNowMs() - startMs << " ms" << std::endl;
                searchShown = true;
            }
            if (!codeShown && connector->IsHost() && !connector->Code().empty() &&
                *o.online == OnlineRequest::Kind::kMakeRoom) {
                std::cout << "room " << connector->Code() << std::endl;
                codeShown = true;
            }
            ProbeNap();
        }
        host = connector->IsHost();
        path = net::PathName(connector->Path());
        link = connector->TakeLink();
    } else {
        std::string error;
        host = o.hostPort.has_value();
        if (host) {
            auto hosting = net::EnetLink::Host(*o.hostPort, "", &error);
            if (hosting) {
                // As `voltrax --host` does: ask the router for the port and name the address
                // the guest should use.
                mapping = std::make_unique<net::ice::PortMapping>(hosting->Port());
                while (!mapping->Done() && SteadyNowMs() < deadline) ProbeNap();
                const net::ice::PortMappingResult mapped = mapping->Result();
                if (mapped.method != net::ice::PortMappingResult::Method::kNone) {
                    std::cout << "public " << mapped.publicAddress << ":" << mapped.publicPort << std::endl;
                    path = "mapped";
                }
            }
            link = std::move(hosting);
        } else {
            std::string address;
            uint16_t port = 0;
            if (!ParseJoinAddress(o.join, address, port, error)) Usage(error);
            link = net::EnetLink::Join(address, port, &error);
            path = net::PathName(PathToAddress(address));  // as the program names it
        }
        if (!link) ProbeFail(error);
    }
    if (o.figures) std::cout << "connected after " << SteadyNowMs() - startMs << " ms" << std::endl;
    std::cout << "path=" << path << std::endl;
    // The room's maker serves the watchers who come by its code on its own ENet host.
    net::EnetLink* enet = connector && host ? link->Enet() : nullptr;
    std::optional<net::WatchServer> watchServer;
    if (enet != nullptr) {
        connector->ServeWatchers(enet->Port());
        watchServer.emplace(*enet);
    }
    auto serveWatchers = [&](int64_t now) {
        if (connector) connector->Poll(now);
        if (watchServer) watchServer->Serve();
    };

    // One match on the real clock, as the window's loop runs it.
    net::PeerOptions peerOptions{host, VOLTRAX_VERSION_TEXT, std::nullopt, o.seed};
    if (const char* sim = std::getenv("VOLTRAX_NETSIM"); sim != nullptr && sim[0] != '\0') {
        std::string error;
        peerOptions.sim = net::ParseNetSim(sim, &error);
        if (!peerOptions.sim) Usage(error);
    }
    net::NetPeer peer(std::move(link), peerOptions);
    while (!peer.Ready()) {
        if (peer.Ended()) ProbeFail(peer.EndMessage());
        if (SteadyNowMs() > deadline) ProbeFail("the other side never answered");
        peer.Pump(SteadyNowMs());
        serveWatchers(SteadyNowMs());
        ProbeNap();
    }
    // Both sides play the same start from the command line rather than sending it: the
    // short time limits the tiers use are no menu's, which a start packet may not carry.
    net::StartPacket start;
    start.stage = static_cast<uint8_t>(o.stage);
    start.ruleKind = rule_kind::kTime;
    start.timeLimit = static_cast<int16_t>(o.timeLimit);
    start.seed = o.matchSeed;
    testing::TestGame game(o.seed);
    net::NetMatch match(game.g(), peer, host ? 0 : 1, start, 1);
    if (watchServer) watchServer->SetMatch(&match, start, 1);
    const int64_t matchStartMs = SteadyNowMs();
    const int64_t matchStartCpuMs = ProcessCpuMs();
    const uint64_t sentBefore = peer.BytesSent(), receivedBefore = peer.BytesReceived();
    bool firstFrameShown = false;
    testing::PlayProbeMatch(match, peer, o.seed, host, deadline, [&](int64_t now) {
        serveWatchers(now);
        if (o.figures && !firstFrameShown && match.Session().Frame() > 0) {
            std::cout << "first frame after " << now - startMs << " ms" << std::endl;
            firstFrameShown = true;
        }
    });
    if (o.figures) {
        const int64_t wallMs = SteadyNowMs() - matchStartMs, cpuMs = ProcessCpuMs() - matchStartCpuMs;
        std::cout << "match cpu " << cpuMs << " ms over " << wallMs << " ms wall ("
                  << (wallMs > 0 ? 100.0 * static_cast<double>(cpuMs) / static_cast<double>(wallMs) : 0.0)
                  << " % of a core)" << std::endl;
        std::cout << "match bytes sent " << peer.BytesSent() - sentBefore << " received "
                  << peer.BytesReceived() - receivedBefore << std::endl;
    }
    // Both sides keep the link a moment so the last confirmations cross (and the
    // watchers get the match's last frames).
    for (const int64_t end = SteadyNowMs() + 1000; SteadyNowMs() < end; ProbeNap()) {
        peer.Pump(SteadyNowMs());
        serveWatchers(SteadyNowMs());
    }
    // A maker's watchers hear the end from it even when the guest went first, and with
    // the guest the maker's lobby (the room is left when its guest leaves).
    for (const int64_t end = SteadyNowMs() + 3000; watchServer && !peer.Ended() && SteadyNowMs() < end;
         ProbeNap()) {
        peer.Pump(SteadyNowMs());
        serveWatchers(SteadyNowMs());
    }
    for (const int64_t end = SteadyNowMs() + 500; watchServer && SteadyNowMs() < end; ProbeNap())
        serveWatchers(SteadyNowMs());
    if (watchServer) std::cout << "watchers " << connector->WatchersCarried() << std::endl;
    std::cout << match.SummaryLine() << " path=" << path << std::endl;
    if (watchServer) {
        watchServer->CloseAll();  // the last word crosses each watcher's own path
        for (const int64_t end = SteadyNowMs() + 300; SteadyNowMs() < end; ProbeNap()) {
            peer.Pump(SteadyNowMs());
            connector->Poll(SteadyNowMs());
        }
    }
    peer.Leave();
    return 0;
}
