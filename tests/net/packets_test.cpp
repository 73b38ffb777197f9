// The packet reader takes back what the writer wrote and refuses, counting why, every
// packet of the wrong size, magic, type, value or frame window; the network simulator's
// settings and its holding, losing and doubling of packets.
#include <gtest/gtest.h>

#include "net/net_sim.h"
#include "net/packets.h"

#include "core/stage_tables.h"

namespace vx::net {
namespace {

Packet Inputs(uint32_t first, uint8_t count) {
    Packet p;
    p.type = packet_type::kInputs;
    p.inputs.match = 3;
    p.inputs.firstFrame = first;
    p.inputs.ackFrame = 7;
    p.inputs.senderFrame = first + count;
    p.inputs.count = count;
    for (uint8_t i = 0; i < count; ++i) p.inputs.inputs[i] = static_cast<InputBits>(i % 4);
    return p;
}

TEST(Packets, InputsComeBackAsWrittenTwoBitsAFrame) {
    const Packet sent = Inputs(100, 7);
    const PacketBytes bytes = Encode(sent);
    EXPECT_EQ(bytes.size(), 3u + 14u + 2u);  // header, fixed fields, 7 inputs in 2 bytes
    DropCounts drops;
    const auto got = ReadPacket(bytes.data(), bytes.size(), 100, drops);
    ASSERT_TRUE(got);
    EXPECT_EQ(got->inputs.match, 3);
    EXPECT_EQ(got->inputs.firstFrame, 100u);
    EXPECT_EQ(got->inputs.ackFrame, 7u);
    EXPECT_EQ(got->inputs.count, 7);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(got->inputs.inputs[i], i % 4);
    EXPECT_EQ(drops.Total(), 0u);
}

TEST(Packets, HelloStartHashAndKeepAliveComeBackAsWritten) {
    DropCounts drops;
    const PacketBytes hello = Encode(MakeHello("2.1"));
    auto got = ReadPacket(hello.data(), hello.size(), 0, drops);
    ASSERT_TRUE(got);
    EXPECT_EQ(VersionText(got->hello), "2.1");
    EXPECT_EQ(got->hello.protocolVersion, kProtocolVersion);

    Packet start;
    start.type = packet_type::kStart;
    start.start = {4, 2, 60, 15, 10, 0x0123456789abcdefULL};
    const PacketBytes startBytes = Encode(start);
    got = ReadPacket(startBytes.data(), startBytes.size(), 0, drops);
    ASSERT_TRUE(got);
    EXPECT_EQ(got->start.stage, 4);
    EXPECT_EQ(got->start.scoreLimit, 15);
    EXPECT_EQ(got->start.seed, 0x0123456789abcdefULL);

    Packet hash;
    hash.type = packet_type::kHash;
    hash.hash = {1, 90, 0xfeedfacecafebeefULL};
    const PacketBytes hashBytes = Encode(hash);
    got = ReadPacket(hashBytes.data(), hashBytes.size(), 0, drops);
    ASSERT_TRUE(got);
    EXPECT_EQ(got->hash.frame, 90u);
    EXPECT_EQ(got->hash.hash, 0xfeedfacecafebeefULL);
    EXPECT_EQ(drops.Total(), 0u);
}

TEST(Packets, EveryKindOfBadPacketIsDroppedAndCountedForItsReason) {
    auto withByte = [](PacketBytes b, std::size_t at, uint8_t v) {
        b[at] = v;
        return b;
    };
    const PacketBytes inputs = Encode(Inputs(100, 8));
    Packet choice;
    choice.type = packet_type::kChoice;
    choice.choice = {choice_kind::kStage, 3};
    const PacketBytes choiceBytes = Encode(choice);
    choice.choice = {choice_kind::kSides, 1};
    const PacketBytes sidesBytes = Encode(choice);
    Packet request;
    request.type = packet_type::kRequest;
    request.request = {request_kind::kRetry, request_answer::kAsk};
    const PacketBytes requestBytes = Encode(request);
    PacketBytes longer = inputs;
    longer.push_back(0);
    Packet watch;
    watch.type = packet_type::kWatchInputs;
    watch.watchInputs = {1, 9, 3, {1, 5, 15}};
    const PacketBytes watchInputs = Encode(watch);
    watch.type = packet_type::kWatchEnd;
    watch.watchEnd = watch_end::kTooFarBehind;
    const PacketBytes watchEnd = Encode(watch);
    watch.type = packet_type::kWatchStart;
    const PacketBytes watchStart = Encode(watch);  // frame 0, no state: the match's start
    struct Case {
        const char* what;
        PacketBytes bytes;
        uint32_t DropCounts::*counter;
    };
    const Case cases[] = {
        {"empty", {}, &DropCounts::tooShortOrLong},
        {"two bytes", {'V', 'X'}, &DropCounts::tooShortOrLong},
        {"65 bytes", PacketBytes(65, 'V'), &DropCounts::tooShortOrLong},
        {"wrong magic", withByte(inputs, 0, 'W'), &DropCounts::badMagicOrType},
        {"type 0", withByte(inputs, 2, 0), &DropCounts::badMagicOrType},
        {"type past the last", withByte(inputs, 2, packet_type::kLast + 1), &DropCounts::badMagicOrType},
        {"inputs one byte longer than their count", longer, &DropCounts::tooShortOrLong},
        {"inputs count 0", withByte(inputs, 3 + 13, 0), &DropCounts::tooShortOrLong},
        {"inputs count 200", withByte(inputs, 3 + 13, 200), &DropCounts::tooShortOrLong},
        {"inputs 2^24 frames ahead", withByte(inputs, 3 + 4, 1), &DropCounts::outsideFrameWindow},
        {"stage past the table chosen", withByte(choiceBytes, 4, kStageCount + 1), &DropCounts::badValue},
        {"sides 2", withByte(sidesBytes, 4, 2), &DropCounts::badValue},
        {"request kind 3", withByte(requestBytes, 3, 3), &DropCounts::badValue},
        {"request answer 2", withByte(requestBytes, 4, 2), &DropCounts::badValue},
        {"choice kind 9", withByte(choiceBytes, 3, 9), &DropCounts::badValue},
        {"watched frame's inputs past 4 bits", withByte(watchInputs, 3 + 6 + 2, 16), &DropCounts::badValue},
        {"watched frames 49", withByte(watchInputs, 3 + 5, 49), &DropCounts::tooShortOrLong},
        {"watch end reason 4", withByte(watchEnd, 3, 4), &DropCounts::badValue},
        {"watch start's state at frame 0", withByte(watchStart, 3 + 1 + 15 + 4, 1), &DropCounts::badValue},
    };
    for (const auto& c : cases) {
        DropCounts drops;
        EXPECT_FALSE(ReadPacket(c.bytes.data(), c.bytes.size(), 100, drops)) << c.what;
        EXPECT_EQ(drops.*c.counter, 1u) << c.what;
        EXPECT_EQ(drops.Total(), 1u) << c.what;
    }
}

TEST(NetSim, SettingsAreReadOrRefusedWithTheReason) {
    std::string error;
    const auto s = ParseNetSim("delay=60,jitter=10,loss=5,dup=1", &error);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->delayMs, 60);
    EXPECT_EQ(s->jitterMs, 10);
    EXPECT_EQ(s->lossPercent, 5);
    EXPECT_EQ(s->dupPercent, 1);
    for (const char* bad : {"delay=60,speed=3", "loss=101", "delay=-5", "delay=6x", "delay"}) {
        error.clear();
        EXPECT_FALSE(ParseNetSim(bad, &error)) << bad;
        EXPECT_NE(error.find("VOLTRAX_NETSIM"), std::string::npos) << bad;
    }
}

TEST(NetSim, HoldsPacketsForTheDelayLosesOnlyUnreliableOnesAndDoubles) {
    NetSim lossy({50, 0, 100, 0}, 1);
    lossy.Submit({1}, false, 0);
    lossy.Submit({2}, true, 0);
    EXPECT_TRUE(lossy.TakeDue(49).empty());
    const auto due = lossy.TakeDue(50);
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(due[0].bytes, PacketBytes{2});
    EXPECT_EQ(lossy.Lost(), 1u);

    NetSim doubling({0, 20, 0, 100}, 1);
    for (uint8_t i = 0; i < 10; ++i) doubling.Submit({i}, true, 100);
    const auto all = doubling.TakeDue(120);
    ASSERT_EQ(all.size(), 20u);
    for (std::size_t i = 1; i < all.size(); ++i)
        EXPECT_LE(all[i - 1].bytes[0], all[i].bytes[0]) << "reliable order";
}

}  // namespace
}  // namespace vx::net
