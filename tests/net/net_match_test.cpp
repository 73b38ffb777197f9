// Two Games playing network matches against each other in one process, over loopback
// ENet with the network simulator on both sides: every match ends on both sides with
// the same frames, inputs and state hash, and each side's replay file, checked like a
// local one, reaches that hash too; a lost peer, a version mismatch and garbage packets end as stated
// (strangers before the guest: stranger_test.cpp).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <thread>

#include <unistd.h>

#include "match/replay_check.h"
#include "match/replay_file.h"
#include "net/net_match.h"
#include "support/net_pair.h"

namespace vx::net {
namespace {

using testing::NetPair;
using testing::NetSide;

TEST(NetMatch, HundredMatchesOnEveryStageEndAlikeOnBothSidesUnderBadNetworks) {
    // One-way delays for round trips of 0, 60, 100 and 150 ms, all with loss, doubles, jitter.
    const NetSimSettings networks[] = {{0, 0, 5, 1}, {30, 10, 5, 1}, {50, 10, 5, 2}, {75, 10, 5, 1}};
    int matches = 0;
    uint32_t largestRollback = 0;
    for (const auto& network : networks) {
        NetPair pair(network);
        ASSERT_TRUE(pair.Connect());
        for (uint8_t n = 1; n <= 25; ++n, ++matches) {
            StartPacket start;
            start.stage = static_cast<uint8_t>(1 + matches % kStageCount);
            start.ruleKind = matches % 3 == 0 ? rule_kind::kScore : rule_kind::kTime;
            start.timeLimit = static_cast<int16_t>(3 + matches % 4);
            start.scoreLimit = 1;
            start.seed = 0x5eed0000u + static_cast<uint64_t>(matches);
            pair.StartMatch(start, n);
            ASSERT_TRUE(pair.RunUntil([&] { return pair.BothOver(); }))
                << "match " << matches << ": " << pair.host->match->SummaryLine();
            const NetMatch& h = *pair.host->match;
            const NetMatch& g = *pair.guest->match;
            EXPECT_EQ(h.Session().EndFrame(), g.Session().EndFrame()) << "match " << matches;
            EXPECT_EQ(h.Hash(), g.Hash()) << "match " << matches;
            EXPECT_TRUE(h.ConfirmedInputs() == g.ConfirmedInputs()) << "match " << matches;
            // Each side's replay, played locally without a network, ends where both sides did.
            // (The short limits here are no menu's, so these replays stay in memory.)
            const Replay hostReplay = pair.host->match->ReplayOf();
            const Replay guestReplay = pair.guest->match->ReplayOf();
            EXPECT_EQ(hostReplay.keys, guestReplay.keys) << "match " << matches;
            const ReplayOutcome local = CheckReplay(hostReplay);
            EXPECT_TRUE(local.agrees && CheckReplay(guestReplay).agrees) << DescribeOutcome(local);
            EXPECT_EQ(local.finalHash, h.Hash()) << "match " << matches;
            largestRollback =
                std::max({largestRollback, h.Session().LargestRollback(), g.Session().LargestRollback()});
            EXPECT_FALSE(pair.host->peer.Ended() || pair.guest->peer.Ended()) << pair.host->peer.EndMessage();
            pair.host->match.reset();
            pair.guest->match.reset();
        }
    }
    EXPECT_EQ(matches, 100);
    EXPECT_GT(largestRollback, 0u) << "the networks were bad enough to need corrections";
}

TEST(NetMatch, AGuestOfAnotherVersionIsToldBothAndTheHostGoesOnWaiting) {
    NetPair pair({}, "2.2");
    pair.RunUntil([&] { return pair.guest->peer.Ended() && pair.host->peer.Gate().candidatesDropped > 0; },
                  2000);
    const NetPeer& guest = pair.guest->peer;
    EXPECT_EQ(guest.EndReason(), end_reason::kVersionMismatch);
    EXPECT_NE(guest.EndMessage().find("2.1"), std::string::npos) << guest.EndMessage();
    EXPECT_NE(guest.EndMessage().find("2.2"), std::string::npos) << guest.EndMessage();
    EXPECT_FALSE(pair.host->peer.Ended()) << pair.host->peer.EndMessage();
    EXPECT_EQ(pair.host->peer.Gate().candidatesDropped, 1u);
}

TEST(NetMatch, APeerThatGoesSilentOrLeavesEndsTheOtherSide) {
    NetPair silent({});
    ASSERT_TRUE(silent.Connect());
    // The guest's machine stops answering: its side is never run again.
    for (int64_t t = silent.nowMs; t < silent.nowMs + kWaitLimitMs + 1000 && !silent.host->peer.Ended(); ++t)
        silent.host->peer.Pump(t);
    EXPECT_EQ(silent.host->peer.EndReason(), end_reason::kSilence);
    EXPECT_NE(silent.host->peer.EndMessage().find("20 seconds"), std::string::npos);

    // A host nobody has joined yet is not silent: it waits as long as its player likes.
    std::string error;
    NetPeer waiting(EnetLink::Host(0, "127.0.0.1", &error), PeerOptions{true, "2.1", std::nullopt, 1});
    for (int64_t t = 0; t < 8000; t += 10) waiting.Pump(t);
    EXPECT_FALSE(waiting.Ended()) << waiting.EndMessage();
    // A guest knocking where nobody hosts is told so, not that its partner went quiet.
    const uint16_t nobodysPort = EnetLink::Host(0, "127.0.0.1", &error)->Port();
    NetPeer knocking(EnetLink::Join("127.0.0.1", nobodysPort, &error),
                     PeerOptions{false, "2.1", std::nullopt, 1});
    for (int64_t t = 0; t < 6000 && !knocking.Ended(); t += 10) knocking.Pump(t);
    EXPECT_EQ(knocking.EndReason(), end_reason::kNoAnswer) << knocking.EndMessage();

    NetPair leaving({});
    ASSERT_TRUE(leaving.Connect());
    leaving.guest->peer.Leave();
    leaving.RunUntil([&] { return leaving.host->peer.Ended(); }, 1000);
    EXPECT_EQ(leaving.host->peer.EndReason(), end_reason::kPeerLeft);
}

TEST(NetMatch, GarbageAndStrangersAreCountedAndTheMatchGoesOn) {
    std::string error;
    auto hostLink = EnetLink::Host(0, "127.0.0.1", &error);
    const uint16_t port = hostLink->Port();
    NetPeer host(std::move(hostLink), PeerOptions{true, "2.1", std::nullopt, 1});
    auto raw = EnetLink::Join("127.0.0.1", port, &error);
    std::unique_ptr<EnetLink> stranger;
    std::vector<LinkEvent> events;
    DropCounts rawDrops;
    std::mt19937 noise(5);
    int64_t now = 0;
    for (; now < 300; ++now) {
        host.Pump(now);
        raw->Poll(events, rawDrops);
        if (stranger) stranger->Poll(events, rawDrops);
        if (now == 100) raw->Send(Encode(MakeHello("2.1")), true);
        if (now == 150) stranger = EnetLink::Join("127.0.0.1", port, &error);
        if (now > 100 && now < 200) {
            PacketBytes junk(1 + noise() % 70);
            for (auto& b : junk) b = static_cast<uint8_t>(noise());
            if (now % 3 == 0) junk[0] = 'V', junk[1] = 'X';
            raw->Send(junk, false);
        }
        raw->Flush();
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    EXPECT_FALSE(host.Ended()) << host.EndMessage();
    EXPECT_TRUE(host.Ready());
    EXPECT_GE(host.Drops().Total(), 90u);
    EXPECT_EQ(host.Drops().wrongSender, 1u) << "a player knocking once the guest is in is turned away";
}

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(NetMatch, OutOfStepEndsBothSidesAndEachKeepsTheReplayTheDifferenceAndTheAgreedState) {
    NetPair pair({30, 10, 3, 1});
    ASSERT_TRUE(pair.Connect());
    pair.StartMatch({.stage = 3, .ruleKind = rule_kind::kTime, .timeLimit = 60, .seed = 0xd15c}, 1);
    // After about four seconds the guest's program goes wrong: its own paddle drifts on
    // its side only, frame after frame, so no rollback can undo it.
    const int64_t wrongFrom = pair.nowMs + 4000;
    ASSERT_TRUE(pair.RunUntil(
        [&] {
            if (pair.nowMs >= wrongFrom) pair.guest->match->Records().paddles[2].y += 1;
            return pair.host->peer.Ended() && pair.guest->peer.Ended();
        },
        20000));
    const auto base = std::filesystem::temp_directory_path() / ("vx_desync_" + std::to_string(::getpid()));
    std::filesystem::remove_all(base);
    std::vector<HashDifference> seen;
    for (NetSide* s : {pair.host.get(), pair.guest.get()}) {
        const bool host = s == pair.host.get();
        SCOPED_TRACE(host ? "host" : "guest");
        EXPECT_EQ(s->peer.EndReason(), end_reason::kOutOfStep) << s->peer.EndMessage();
        const HashDifference& d = s->peer.Difference();
        seen.push_back(d);
        EXPECT_GT(d.frame, 120u) << "the sides agreed until the guest went wrong";
        EXPECT_EQ(d.frame % kHashEvery, 0u);
        EXPECT_LT(d.lastAgreed, d.frame);
        const auto folder = NetMatch::DesyncFolder(base / "replays", host, 1767225600);
        EXPECT_EQ(folder.parent_path(), base / "desync");
        std::string error;
        ASSERT_TRUE(s->match->WriteDesyncEvidence(folder, error)) << error;
        Replay replay;
        ASSERT_TRUE(ReadReplayFile(folder / "replay.vxr", replay, error)) << error;
        EXPECT_TRUE(CheckReplay(replay).agrees);
        const std::string difference = ReadText(folder / "difference.txt");
        EXPECT_NE(difference.find("first differing frame: " + std::to_string(d.frame) + "\n"),
                  std::string::npos)
            << difference;
        // The dumped state is the one both sides hashed alike at the last agreed frame.
        const MatchState agreed = ReplayStateAt(replay, d.lastAgreed);
        ASSERT_TRUE(d.agreedHash.has_value());
        EXPECT_EQ(MatchStateHash(agreed), *d.agreedHash);
        const std::string state =
            ReadText(folder / ("state-at-frame-" + std::to_string(d.lastAgreed) + ".txt"));
        EXPECT_EQ(state, DescribeMatchState(agreed));
        EXPECT_NE(state.find("records.paddle[2].y "), std::string::npos);
    }
    EXPECT_EQ(seen[0].frame, seen[1].frame) << "both sides name the same frame";
    EXPECT_EQ(seen[0].lastAgreed, seen[1].lastAgreed);
    std::filesystem::remove_all(base);
}

}  // namespace
}  // namespace vx::net
