// A short, fixed run of the network adversary (fuzz/net_adversary.h), which
// fuzz/run.sh runs for longer under AddressSanitizer and UBSan: tapes from a seeded
// generator, from all-clean to all-hostile, and the fuzz seeds.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

#include "fuzz/net_adversary.h"

namespace vx::testing {
namespace {

TEST(NetAdversaryTest, HonestSidesKeepTheirInputsAndMoveOnOrEndWhateverTheChannelDoes) {
    std::vector<std::vector<uint8_t>> tapes;
    std::mt19937 rng(2026);
    // How often a packet is left alone, from always to never.
    for (int clean : {100, 90, 60, 30, 0}) {
        for (int n = 0; n < 4; ++n) {
            std::vector<uint8_t> tape(300 + rng() % 900);
            for (auto& b : tape) b = static_cast<uint8_t>(static_cast<int>(rng() % 100) < clean ? 2 : rng());
            tapes.push_back(std::move(tape));
        }
    }
    for (const auto& entry :
         std::filesystem::directory_iterator(VOLTRAX_SOURCE_DIR "/fuzz/seeds/net_adversary")) {
        std::ifstream in(entry.path(), std::ios::binary);
        tapes.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    for (std::size_t i = 0; i < tapes.size(); ++i) {
        NetAdversary adversary;
        EXPECT_EQ(adversary.Run(tapes[i].data(), tapes[i].size()), "") << "tape " << i;
    }
}

// A match of one counter, for a session without a Game.
class CountingTarget : public net::RollbackTarget {
  public:
    void SaveState(int slot) override { saved_[static_cast<std::size_t>(slot)] = value_; }
    void LoadState(int slot) override { value_ = saved_[static_cast<std::size_t>(slot)]; }
    void StepFrame(net::InputBits p1, net::InputBits p2, bool) override {
        value_ = value_ * 31 + p1 * 4 + p2;
    }
    bool Over() const override { return false; }
    uint64_t StateHash() const override { return value_; }

  private:
    uint64_t value_ = 0;
    uint64_t saved_[net::kRollbackSlots]{};
};

TEST(NetAdversaryTest, AForgedAcknowledgementFarAheadIsUndoneByTheNextTrueOne) {
    auto* link = new MemoryLink;
    net::NetPeer peer(std::unique_ptr<net::Link>(link), net::PeerOptions{false, "2.1", std::nullopt, 1});
    link->inbox.push_back(net::Encode(net::MakeHello("2.1")));
    peer.Pump(1);
    ASSERT_TRUE(peer.Ready());
    CountingTarget target;
    net::RollbackSession session(target, 1);
    peer.Attach(&session, 1);
    for (int f = 0; f < 6; ++f) {
        session.AddLocalInput(1);
        session.Advance();
    }
    auto acknowledge = [&](uint32_t ack) {
        net::Packet p;
        p.type = net::packet_type::kInputs;
        p.inputs = {1, 0, ack, 0, 1, {}};
        link->inbox.push_back(net::Encode(p));
        peer.Pump(2);
    };
    auto firstResent = [&] {
        link->outbox.clear();
        peer.SendInputs(3);
        net::DropCounts drops;
        const auto sent =
            net::ReadPacket(link->outbox.back().bytes.data(), link->outbox.back().bytes.size(), 0, drops);
        return sent ? sent->inputs.firstFrame : net::kNoFrame;
    };
    acknowledge(6);  // forged: all of ours held
    acknowledge(2);  // the other side's true word: it holds two
    EXPECT_EQ(firstResent(), 2u) << "the inputs it lacks go again";
}

}  // namespace
}  // namespace vx::testing
