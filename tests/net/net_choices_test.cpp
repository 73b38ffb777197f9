// What the two players agree on and see, between two Games over loopback ENet: a start
// packet outside the match settings table ends the connection naming the value; the
// guest's requests after a result reach the host and its refusals come back, while
// requests out of turn are dropped; with the sides swapped the guest plays player 1 and
// both sides still end alike; the network line's figures follow the network.
#include <gtest/gtest.h>

#include "core/match_settings.h"
#include "support/net_pair.h"

namespace vx::net {
namespace {

using testing::NetPair;

TEST(NetChoices, AStartOutsideTheSettingsTableEndsTheConnectionNamingTheValue) {
    struct Case {
        const char* names;
        void (*spoil)(StartPacket&);
    };
    const Case cases[] = {
        {"stage 9", [](StartPacket& s) { s.stage = 9; }},
        {"rule 3", [](StartPacket& s) { s.ruleKind = 3; }},
        {"time limit 999", [](StartPacket& s) { s.timeLimit = 999; }},
        {"score limit 99", [](StartPacket& s) { s.scoreLimit = 99; }},
        {"difficulty 99", [](StartPacket& s) { s.difficulty = 99; }},
        {"", [](StartPacket&) {}},  // the menu's own values are taken
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.names);
        NetPair pair({});
        ASSERT_TRUE(pair.Connect());
        StartPacket start;
        start.stage = static_cast<uint8_t>(kStageCount);
        start.timeLimit = match_settings::kTimeLimits[2];
        c.spoil(start);
        pair.host->peer.SendStart(start);
        const bool bad = c.names[0] != '\0';
        pair.RunUntil([&] { return pair.guest->peer.Ended() && pair.host->peer.Ended(); }, bad ? 3000 : 300);
        if (!bad) {
            EXPECT_FALSE(pair.guest->peer.Ended()) << pair.guest->peer.EndMessage();
            const auto taken = pair.guest->peer.TakeStart();
            ASSERT_TRUE(taken);
            EXPECT_EQ(taken->stage, kStageCount);
            continue;
        }
        EXPECT_EQ(pair.guest->peer.EndReason(), end_reason::kBadSettings);
        EXPECT_NE(pair.guest->peer.EndMessage().find(c.names), std::string::npos)
            << pair.guest->peer.EndMessage();
        EXPECT_TRUE(pair.guest->peer.BadSetting());
        EXPECT_FALSE(pair.guest->peer.TakeStart()) << "no match starts from it";
        EXPECT_EQ(pair.host->peer.EndReason(), end_reason::kPeerLeft) << "the host is told";
    }
}

TEST(NetChoices, TheGuestAsksTheHostRefusesAndRequestsOutOfTurnAreDropped) {
    NetPair pair({30, 5, 5, 1});
    ASSERT_TRUE(pair.Connect());
    NetPeer& host = pair.host->peer;
    NetPeer& guest = pair.guest->peer;
    guest.SendRequest(request_kind::kRetry, request_answer::kAsk);
    ASSERT_TRUE(pair.RunUntil([&] { return host.TakeRequest().has_value(); }, 2000));
    guest.SendRequest(request_kind::kStageSelect, request_answer::kAsk);
    std::optional<RequestPacket> heard;
    ASSERT_TRUE(pair.RunUntil([&] { return (heard = host.TakeRequest()).has_value(); }, 2000));
    EXPECT_EQ(heard->kind, request_kind::kStageSelect);
    host.SendRequest(request_kind::kStageSelect, request_answer::kRefuse);
    ASSERT_TRUE(pair.RunUntil([&] { return (heard = guest.TakeRequest()).has_value(); }, 2000));
    EXPECT_EQ(heard->kind, request_kind::kStageSelect);
    EXPECT_EQ(heard->answer, request_answer::kRefuse);

    // A host asking, or a guest refusing, is no request: counted and dropped.
    const uint32_t hostDrops = host.Drops().badValue, guestDrops = guest.Drops().badValue;
    host.SendRequest(request_kind::kRetry, request_answer::kAsk);
    guest.SendRequest(request_kind::kRetry, request_answer::kRefuse);
    pair.RunUntil([&] { return host.Drops().badValue > hostDrops && guest.Drops().badValue > guestDrops; },
                  2000);
    EXPECT_FALSE(host.TakeRequest());
    EXPECT_FALSE(guest.TakeRequest());
    EXPECT_FALSE(host.Ended() || guest.Ended());
}

TEST(NetChoices, WithSidesSwappedTheGuestPlaysOnTheLeftAndBothSidesEndAlike) {
    NetPair pair({30, 10, 5, 1});
    ASSERT_TRUE(pair.Connect());
    const StartPacket start{.stage = 2, .timeLimit = 4, .seed = 0x51de};
    // The host (this side's player-1 keys) plays on the right, the guest on the left.
    pair.host->match = std::make_unique<NetMatch>(pair.host->game.g(), pair.host->peer, 1, start, 1);
    pair.guest->match = std::make_unique<NetMatch>(pair.guest->game.g(), pair.guest->peer, 0, start, 1);
    ASSERT_TRUE(pair.RunUntil([&] { return pair.BothOver(); }));
    const NetMatch& h = *pair.host->match;
    const NetMatch& g = *pair.guest->match;
    EXPECT_EQ(h.Session().EndFrame(), g.Session().EndFrame());
    EXPECT_EQ(h.Hash(), g.Hash());
    ASSERT_TRUE(h.ConfirmedInputs() == g.ConfirmedInputs());
    ASSERT_GT(h.Session().Confirmed(), 100u);
    // Each side's own inputs of the last frames (its ring still holds them) are the
    // guest's in player 1's place and the host's in player 2's.
    int guestKeysOnLeft = 0;
    const uint32_t end = h.Session().Confirmed();
    for (uint32_t f = end - 48; f < end; ++f) {
        EXPECT_EQ(g.ConfirmedInputs()[f][0], g.Session().LocalInput(f)) << f;
        EXPECT_EQ(h.ConfirmedInputs()[f][1], h.Session().LocalInput(f)) << f;
        guestKeysOnLeft += g.ConfirmedInputs()[f][0] != 0;
    }
    EXPECT_GT(guestKeysOnLeft, 0) << "the guest steered";
}

TEST(NetChoices, TheNetworkLineFollowsTheRoundTripTheLossAndTheChosenDelay) {
    struct Case {
        NetSimSettings sim;
        std::optional<uint32_t> fixedDelay;
        uint32_t minRtt, maxRtt, minLoss, maxLoss, delay;
    };
    const Case cases[] = {
        {{0, 0, 0, 0}, std::nullopt, 0, 20, 0, 0, 0},
        {{50, 0, 0, 0}, std::nullopt, 95, 130, 0, 0, 1},  // half of 100 ms in frames
        {{50, 0, 25, 0}, 4u, 95, 130, 20, 70, 4},         // lost either way: about 44 %
        {{50, 0, 25, 0}, std::nullopt, 95, 130, 20, 70, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "delay " << c.sim.delayMs << " loss " << c.sim.lossPercent);
        NetPair pair(c.sim);
        ASSERT_TRUE(pair.Connect());
        StartPacket start;
        start.timeLimit = 120;
        pair.StartMatch(start, 1);
        pair.host->match->SetFixedInputDelay(c.fixedDelay);
        pair.RunUntil([] { return false; }, 6000);
        const LinkFigures f = pair.host->match->Figures(pair.nowMs);
        EXPECT_GE(f.roundTripMs, c.minRtt);
        EXPECT_LE(f.roundTripMs, c.maxRtt);
        EXPECT_GE(f.lossPercent, c.minLoss);
        EXPECT_LE(f.lossPercent, c.maxLoss);
        EXPECT_EQ(f.inputDelay, c.delay);
        EXPECT_EQ(f.automaticDelay, !c.fixedDelay.has_value());
        // Inputs that come later than the delay covers are predicted, and corrected.
        if (c.sim.delayMs > 0 && !c.fixedDelay) {
            EXPECT_GT(f.recentRollback, 0u);
        }
    }
}

}  // namespace
}  // namespace vx::net
