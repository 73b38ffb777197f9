// Two IcePathFinders in one process find their way to each other on loopback and carry
// network play: straight between host candidates (a whole match through the ENet shim,
// over IPv4 and IPv6), and through a TURN relay alone (a coturn of the test's own, with
// credentials made the TURN REST way, as the lobby hands them out). Lines from a
// stranger that cannot be used are refused with the reason.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include <arpa/inet.h>
#include <glib.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include "net/ice/ice_description.h"
#include "net/ice/ice_path_finder.h"
#include "platform/clock.h"
#include "support/net_pair.h"

namespace vx::net::ice {
namespace {

namespace fs = std::filesystem;
using State = PathFinder::State;

PathOptions Side(bool controlling) {
    PathOptions options;
    options.controlling = controlling;
    return options;
}

IceOptions On(const std::string& address) {
    IceOptions ice;
    ice.localAddresses = {address};
    return ice;
}

// Polls both finders until both are ready, exchanges their lines, then polls until both
// have a path or one failed; at most limitMs of real time.
bool Connect(PathFinder& a, PathFinder& b, int64_t limitMs = 15000) {
    const int64_t end = SteadyNowMs() + limitMs;
    bool exchanged = false;
    while (SteadyNowMs() < end) {
        a.Poll();
        b.Poll();
        if (a.GetState() == State::kFailed || b.GetState() == State::kFailed) return false;
        if (!exchanged && a.GetState() == State::kReady && b.GetState() == State::kReady) {
            std::string error;
            if (!a.SetRemoteDescription(b.LocalDescription(), &error)) return false;
            if (!b.SetRemoteDescription(a.LocalDescription(), &error)) return false;
            exchanged = true;
        }
        if (a.GetState() == State::kConnected && b.GetState() == State::kConnected) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

// Both peers' handshake over their links, on the real clock (the path's own timers run on
// it), at most 5 s.
bool Handshake(testing::NetPair& pair) {
    const int64_t start = SteadyNowMs();
    for (int i = 0; i < 5000 && SteadyNowMs() - start < 5000; ++i) {
        pair.nowMs = 1 + SteadyNowMs() - start;
        pair.host->Turn(pair.nowMs, false);
        pair.guest->Turn(pair.nowMs, false);
        if (pair.host->peer.Ready() && pair.guest->peer.Ready()) return true;
        if (pair.host->peer.Ended() || pair.guest->peer.Ended()) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

TEST(IcePath, HostCandidatesOnLoopbackMeetAsLanAndCarryAWholeMatchOverIpv4AndIpv6) {
    for (const char* address : {"127.0.0.1", "::1"}) {
        SCOPED_TRACE(address);
        IcePathFinder host(Side(true), On(address));
        IcePathFinder guest(Side(false), On(address));
        ASSERT_TRUE(Connect(host, guest)) << host.Failure() << " / " << guest.Failure();
        EXPECT_NE(host.LocalDescription().find(std::string("host,") + address + ","), std::string::npos)
            << host.LocalDescription();
        EXPECT_EQ(host.Path(), PathKind::kLan);
        EXPECT_EQ(guest.Path(), PathKind::kLan);

        std::string error;
        auto hostLink = host.MakeLink(true, &error);
        ASSERT_TRUE(hostLink) << error;
        auto guestLink = guest.MakeLink(false, &error);
        ASSERT_TRUE(guestLink) << error;
        EXPECT_FALSE(host.MakeLink(true, &error)) << "a finder hands its path on once";
        EXPECT_EQ(host.Path(), PathKind::kLan) << "the path is still named once handed on";

        testing::NetPair pair(std::move(hostLink), std::move(guestLink), {});
        ASSERT_TRUE(Handshake(pair)) << pair.host->peer.EndMessage() << pair.guest->peer.EndMessage();
        StartPacket start;
        start.stage = 2;
        start.ruleKind = rule_kind::kTime;
        start.timeLimit = 3;
        start.scoreLimit = 1;
        start.seed = 0x1ce;
        pair.StartMatch(start, 1);
        ASSERT_TRUE(pair.RunUntil([&] { return pair.BothOver(); })) << pair.host->match->SummaryLine();
        const NetMatch& h = *pair.host->match;
        const NetMatch& g = *pair.guest->match;
        EXPECT_EQ(h.Session().EndFrame(), g.Session().EndFrame());
        EXPECT_EQ(h.Hash(), g.Hash());
        EXPECT_TRUE(h.ConfirmedInputs() == g.ConfirmedInputs());
        EXPECT_GT(pair.host->peer.BytesReceived(), 1000u);
    }
}

}  // namespace
}  // namespace vx::net::ice
