// A network match's sounds: each side plays the sounds of every confirmed frame once, as
// that frame's true run made them, however often a rollback ran it again.
#include <gtest/gtest.h>

#include "match/match_events_output.h"
#include "match/match_loop.h"
#include "match/replay_recorder.h"
#include "match/rules.h"
#include "support/net_pair.h"

namespace vx::net {
namespace {

using testing::NetPair;

// The sounds of the confirmed inputs played again without a network, frame by frame.
std::vector<std::string> SoundsOfConfirmedFrames(const NetMatch& match, const StartPacket& start) {
    NullHost host;
    testing::RecordingWavePlayer sound;
    SilentSequencer music;
    testing::TestGame t(5, host, sound, music);
    Game& g = t.g();
    ApplyStart(g, start);
    MatchRecords r;
    SetUpMatchState(g, r, start.stage, start.seed);
    for (int i = 0; i < kIntroClockCounts; ++i) CountClock(g, g.TimeLeft);
    for (const auto& in : match.ConfirmedInputs()) {
        const MatchEvents events =
            StepMatchFrame(g, r, game_mode::kVs2P, UnpackKeyFlags(NetMatch::ReplayKeys(in)));
        OutputMatchEvents(g, events, event_output::kSounds);
    }
    return sound.Names();
}

TEST(NetMatchSounds, EachConfirmedFrameIsHeardOnceDespiteRollbacks) {
    NetPair pair({50, 10, 5, 1});
    ASSERT_TRUE(pair.Connect());
    const StartPacket start{.stage = 5, .timeLimit = 20, .seed = 0x50u};  // the time rule
    pair.StartMatch(start, 1);
    ASSERT_TRUE(pair.RunUntil([&] { return pair.BothOver(); }, 40000));
    for (const testing::NetSide* side : {pair.host.get(), pair.guest.get()}) {
        const NetMatch& m = *side->match;
        EXPECT_GT(m.Session().RolledBackFrames(), 0u) << "the network was bad enough to need corrections";
        const auto expected = SoundsOfConfirmedFrames(m, start);
        EXPECT_GT(expected.size(), 20u);
        EXPECT_EQ(side->sound.Names(), expected);
    }
}

}  // namespace
}  // namespace vx::net
