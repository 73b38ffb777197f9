// Watchers of a network match, over loopback ENet on the pair's virtual clock: the
// players' rollbacks and input delay are those of the same match without watchers, and
// every watcher that keeps up ends on the players' final state and summary, also one
// that came in mid-match, and follows them into their next match; one that stops
// reading is let go with a message, and a ninth is refused.
#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "match/match_state.h"
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
    // The watchers that kept up, at the end of the match, and through the next one.
    std::vector<uint64_t> watcherHashes, watcherFrames, watcherJoinedAt;
    std::vector<std::string> watcherLines;
    std::string playersLine;  // the host's, up to the state hash
    uint64_t nextHash = 0;
    std::vector<uint64_t> watcherNextHashes;
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
    o.playersLine = pair.host->match->SummaryLine();
    o.playersLine.resize(o.playersLine.find(", largest rollback"));
    EXPECT_EQ(o.hash, pair.guest->match->Hash());
    if (!watched) return o;
    for (std::size_t i : {1u, 2u}) {
        const MatchWatcher& w = watchers[i]->watcher;
        EXPECT_FALSE(w.Ended()) << w.EndMessage();
        o.watcherLines.push_back(w.SummaryLine());
        o.watcherHashes.push_back(w.Hash());
        o.watcherFrames.push_back(w.Frame());
        o.watcherJoinedAt.push_back(w.JoinedAtFrame());
    }
    // The players choose another stage: the watchers follow into the next match.
    const StartPacket next{.stage = 4, .ruleKind = rule_kind::kTime, .timeLimit = 60, .seed = 0xbeef};
    pair.StartMatch(next, 2);
    server->SetMatch(pair.host->match.get(), next, 2);
    EXPECT_TRUE(pair.RunUntil([&] {
        server->Serve();
        for (std::size_t i : {1u, 2u}) watchers[i]->watcher.Pump(pair.nowMs);
        return pair.BothOver() && watchers[1]->watcher.MatchOver() && watchers[2]->watcher.MatchOver() &&
               watchers[1]->watcher.MatchNo() == 2 && watchers[2]->watcher.MatchNo() == 2;
    }));
    o.nextHash = pair.host->match->Hash();
    for (std::size_t i : {1u, 2u}) {
        EXPECT_EQ(watchers[i]->watcher.Start().stage, 4);
        o.watcherNextHashes.push_back(watchers[i]->watcher.Hash());
    }
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
    // The players' summary line, up to the state hash, begins each watcher's.
    const std::string& players = alone.playersLine;
    for (std::size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(watched.watcherLines[i]);
        EXPECT_EQ(watched.watcherFrames[i], alone.endFrame);
        EXPECT_EQ(watched.watcherHashes[i], alone.hash);
        EXPECT_EQ(watched.watcherLines[i].rfind(players, 0), 0u) << players;
        EXPECT_EQ(watched.watcherNextHashes[i], watched.nextHash) << "the next match, followed too";
    }
    EXPECT_EQ(watched.watcherJoinedAt[0], 0u);
    EXPECT_GT(watched.watcherJoinedAt[1], 900u) << "came in mid-match, from the confirmed state";
    EXPECT_NE(watched.nextHash, watched.hash);
}

// A late watcher takes the host's state only when every bool and every count or index in
// it is one the match can use; anything else is refused before it is used.
TEST(NetWatchers, AStateWithImpossibleValuesIsRefused) {
    MatchState good;
    good.records.pucks.count = 1;
    good.records.item.allowedCount = 2;  // a capsule's kind is drawn from these
    auto bytesOf = [](const MatchState& s) {
        std::vector<uint8_t> b(sizeof s);
        std::memcpy(b.data(), &s, sizeof s);
        return b;
    };
    MatchState read;
    EXPECT_TRUE(ReadWatchedState(bytesOf(good), read));
    EXPECT_EQ(read, good);

    std::vector<uint8_t> notABool = bytesOf(good);
    notABool[offsetof(MatchState, SimulationFlag)] = 2;
    EXPECT_FALSE(ReadWatchedState(notABool, read));
    MatchState tooManyPucks = good;
    tooManyPucks.records.pucks.count = 4;
    EXPECT_FALSE(ReadWatchedState(bytesOf(tooManyPucks), read));
    MatchState strangeOwner = good;
    strangeOwner.records.item.owner = 7;
    EXPECT_FALSE(ReadWatchedState(bytesOf(strangeOwner), read));
    MatchState unknownItem = good;
    unknownItem.records.item.allowed[0] = 10;
    EXPECT_FALSE(ReadWatchedState(bytesOf(unknownItem), read));
    MatchState noKinds = good;
    noKinds.records.item.allowedCount = 0;
    EXPECT_FALSE(ReadWatchedState(bytesOf(noKinds), read));
    EXPECT_FALSE(ReadWatchedState(std::vector<uint8_t>(sizeof(MatchState) - 1), read));
}

}  // namespace
}  // namespace vx::net
