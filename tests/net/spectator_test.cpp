// Watchers of a network match, over loopback ENet on the pair's virtual clock: the
// players' rollbacks and input delay are those of the same match without watchers, and
// every watcher that keeps up ends on the players' final state, also one that came in
// mid-match; one that stops reading is let go with a message, and a ninth is refused.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "net/watch_client.h"
#include "net/watch_server.h"
#include "support/net_pair.h"

namespace vx::net {
namespace {

using testing::NetPair;
using testing::NetSide;

struct Watcher {
    Watcher(uint16_t port, int n)
        : game(100 + static_cast<uint64_t>(n)),
          watcher(EnetLink::Join("127.0.0.1", port, &error, "127.0.0." + std::to_string(2 + n / 2)), "2.1",
                  game.g()) {}
    std::string error;
    testing::TestGame game;
    MatchWatcher watcher;
};

struct Outcome {
    WatchCounts counts;
    uint32_t endFrame = 0;
    uint64_t hash = 0;
    std::vector<uint32_t> rollbacks;  // host's and guest's count, frames and largest
    uint64_t delaySum = 0;            // both sides' input delay summed over the turns
};

// One minute on stage 2 with a bad network between the players; with watchers, three
// of them (one stopped from frame 300 until let go, one coming in at frame 1000).
Outcome PlayMatch(bool watched, std::vector<std::unique_ptr<Watcher>>& watchers) {
    std::string error;
    auto hostLink = EnetLink::Host(0, "127.0.0.1", &error, watched ? kMaxWatchers : 0);
    EnetLink& hostEnet = *hostLink;
    const uint16_t port = hostLink->Port();
    NetPair pair(std::move(hostLink), EnetLink::Join("127.0.0.1", port, &error), {30, 10, 5, 1});
    EXPECT_TRUE(pair.Connect());
    auto server = std::make_unique<WatchServer>(hostEnet);
    if (watched)
        for (int n = 0; n < 2; ++n) watchers.push_back(std::make_unique<Watcher>(port, n));
    const StartPacket start{.stage = 2, .ruleKind = rule_kind::kTime, .timeLimit = 60, .seed = 0xfeed};
    pair.StartMatch(start, 1);
    server->SetMatch(pair.host->match.get(), start, 1);
    Outcome o;
    const auto& hostSession = pair.host->match->Session();
    const bool done = pair.RunUntil(
        [&] {
            o.delaySum += hostSession.InputDelay() + pair.guest->match->Session().InputDelay();
            if (!watched) return pair.BothOver();
            server->Serve();
            const uint32_t frame = hostSession.Frame();
            if (frame >= 1000 && watchers.size() == 2) watchers.push_back(std::make_unique<Watcher>(port, 2));
            for (std::size_t i = 0; i < watchers.size(); ++i)
                if (i != 0 || frame < 300 || server->Counts().fellBehind > 0)
                    watchers[i]->watcher.Pump(pair.nowMs);
            const auto caughtUp = [&](std::size_t i) {
                return watchers[i]->watcher.Frame() == hostSession.EndFrame().value_or(0);
            };
            return pair.BothOver() && watchers.size() == 3 && caughtUp(1) && caughtUp(2) &&
                   watchers[0]->watcher.Ended();
        },
        90000);
    EXPECT_TRUE(done) << pair.host->match->SummaryLine();
    for (const NetSide* s : {pair.host.get(), pair.guest.get()}) {
        const RollbackSession& session = s->match->Session();
        o.rollbacks.insert(o.rollbacks.end(),
                           {session.Rollbacks(), static_cast<uint32_t>(session.RolledBackFrames()),
                            session.LargestRollback()});
    }
    o.counts = server->Counts();
    o.endFrame = hostSession.EndFrame().value_or(0);
    o.hash = pair.host->match->Hash();
    EXPECT_EQ(o.hash, pair.guest->match->Hash());
    return o;
}

TEST(NetWatchers, WatchersFollowTheConfirmedFramesWithoutChangingThePlayersMatch) {
    std::vector<std::unique_ptr<Watcher>> none, watchers;
    const Outcome alone = PlayMatch(false, none);
    const Outcome watched = PlayMatch(true, watchers);
    ASSERT_GT(alone.endFrame, 1700u);
    EXPECT_EQ(watched.endFrame, alone.endFrame);
    EXPECT_EQ(watched.hash, alone.hash);
    EXPECT_EQ(watched.rollbacks, alone.rollbacks) << "host and guest: rollbacks, frames rolled back, largest";
    EXPECT_GT(alone.rollbacks[0] + alone.rollbacks[3], 0u) << "the network was bad enough for corrections";
    EXPECT_EQ(watched.delaySum, alone.delaySum);

    EXPECT_EQ(watchers[0]->watcher.EndMessage(), "you fell too far behind");
    EXPECT_EQ(watched.counts.fellBehind, 1u);
    char hash[32];
    std::snprintf(hash, sizeof hash, "state hash %016llx", static_cast<unsigned long long>(alone.hash));
    for (std::size_t i : {1u, 2u}) {
        const MatchWatcher& w = watchers[i]->watcher;
        SCOPED_TRACE(w.SummaryLine());
        EXPECT_FALSE(w.Ended()) << w.EndMessage();
        EXPECT_TRUE(w.MatchOver());
        EXPECT_EQ(w.Frame(), alone.endFrame);
        EXPECT_EQ(w.Hash(), alone.hash);
        EXPECT_NE(w.SummaryLine().find(hash), std::string::npos);
    }
    EXPECT_EQ(watchers[1]->watcher.JoinedAtFrame(), 0u);
    EXPECT_GT(watchers[2]->watcher.JoinedAtFrame(), 900u) << "came in mid-match, from the confirmed state";
}

}  // namespace
}  // namespace vx::net
