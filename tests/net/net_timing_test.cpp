// Faults of time in a network match, through each side's own clock: clock steps of an
// hour either way, a side stopped for a short while or too long, a side that keeps the
// link alive but sends no inputs, clocks and match numbers about to wrap. Nothing ends a
// healthy match, nothing freezes it for good, and a side that waits says so.
#include <gtest/gtest.h>

#include <algorithm>

#include "match/replay_check.h"
#include "net/enet_clock.h"
#include "net/net_match.h"
#include "support/net_pair.h"

namespace vx::net {
namespace {

using testing::NetPair;
using testing::NetSide;

constexpr int64_t kHour = 3600 * 1000;
constexpr int64_t kFaultAtMs = 2500;  // into the match: the fault comes mid-play

struct TimeFault {
    const char* what;
    int64_t clockStartMs = 0;    // what both clocks read when the connection opens
    int64_t hostStepMs = 0;      // the host's clock jumps by this at the fault
    int64_t guestStepMs = 0;     // the guest's clock jumps by this at the fault
    int64_t guestStoppedMs = 0;  // the guest's program stops this long at the fault
    int64_t guestNoInputMs = 0;  // the guest sends keep-alives but no inputs this long
    uint8_t firstMatch = 1;      // the connection's match number of the first match
    int matches = 1;             // played one after another on the connection
    bool ends = false;           // both sides end with the waiting message
    bool hostWaits = false;      // the host shows the waiting line for seconds
};

const TimeFault kFaults[] = {
    {.what = "the host's clock steps an hour forward", .hostStepMs = kHour},
    {.what = "the host's clock steps an hour back", .hostStepMs = -kHour},
    {.what = "the clocks step an hour apart both ways", .hostStepMs = -kHour, .guestStepMs = kHour},
    {.what = "the host's clock steps an hour forward while nothing comes for 1.5 s",
     .hostStepMs = kHour,
     .guestStoppedMs = 1500,
     .hostWaits = true},
    {.what = "the guest stops for 3 s and plays on", .guestStoppedMs = 3000, .hostWaits = true},
    {.what = "the guest stops for 25 s", .guestStoppedMs = 25000, .ends = true, .hostWaits = true},
    {.what = "the guest sends no inputs for 5 s and plays on", .guestNoInputMs = 5000, .hostWaits = true},
    {.what = "the guest keeps the link alive and sends no inputs",
     .guestNoInputMs = 60000,
     .ends = true,
     .hostWaits = true},
    {.what = "the clocks pass 2^32 ms and the match number wraps",
     .clockStartMs = (int64_t{1} << 32) - 1500,
     .firstMatch = 255,
     .matches = 2},
};

StartPacket TenSecondMatch() {
    return {.stage = 2, .ruleKind = rule_kind::kTime, .timeLimit = 10, .scoreLimit = 1, .seed = 0x7ea7};
}

TEST(NetTiming, ClockFaultsAndDropsNeitherEndAHealthyMatchNorFreezeItForGood) {
    for (const TimeFault& fault : kFaults) {
        SCOPED_TRACE(fault.what);
        NetPair pair({30, 10, 3, 1});
        for (NetSide* s : {pair.host.get(), pair.guest.get()})
            s->clockOffsetMs = fault.clockStartMs - pair.nowMs;
        ASSERT_TRUE(pair.Connect());
        NetSide& host = *pair.host;
        NetSide& guest = *pair.guest;
        int64_t hostWaitedMs = 0;
        bool waitShownWhileRunning = false;
        for (int m = 0; m < fault.matches; ++m) {
            const auto matchNo = static_cast<uint8_t>(fault.firstMatch + m);
            pair.StartMatch(TenSecondMatch(), matchNo);
            const int64_t faultAt = pair.nowMs + kFaultAtMs;
            bool faulted = m > 0;
            const bool done = pair.RunUntil(
                [&] {
                    if (!faulted && pair.nowMs >= faultAt) {
                        faulted = true;
                        host.clockOffsetMs += fault.hostStepMs;
                        guest.clockOffsetMs += fault.guestStepMs;
                        guest.stoppedUntilMs = pair.nowMs + fault.guestStoppedMs;
                        guest.inputsWithheld = fault.guestNoInputMs > 0;
                    }
                    if (guest.inputsWithheld && pair.nowMs >= faultAt + fault.guestNoInputMs)
                        guest.inputsWithheld = false;
                    // The program closes the link once the end is shown.
                    if (host.peer.Ended()) host.peer.Leave();
                    const int64_t waited = host.peer.WaitingMs();
                    hostWaitedMs = std::max(hostWaitedMs, waited);
                    // The line counts while the host's match stands still, not after it ended.
                    waitShownWhileRunning |= waited > 0 && !host.peer.Ended();
                    return pair.BothOver() || (host.peer.Ended() && guest.peer.Ended());
                },
                90000);
            ASSERT_TRUE(done) << "neither the end nor the match came: " << host.match->SummaryLine();
            if (fault.ends) break;
            EXPECT_FALSE(host.peer.Ended() || guest.peer.Ended())
                << host.peer.EndMessage() << " / " << guest.peer.EndMessage();
            EXPECT_EQ(host.match->Session().EndFrame(), guest.match->Session().EndFrame());
            EXPECT_EQ(host.match->Hash(), guest.match->Hash());
            EXPECT_TRUE(CheckReplay(host.match->ReplayOf()).agrees);
        }
        if (fault.hostWaits) {
            EXPECT_TRUE(waitShownWhileRunning);
            EXPECT_GE(hostWaitedMs,
                      std::min<int64_t>(fault.guestStoppedMs + fault.guestNoInputMs, kWaitLimitMs) - 1000);
        } else {
            // A step of the clock reads as at most one short pause, gone with the next packet.
            EXPECT_LE(hostWaitedMs, kLargestClockStepMs + kKeepAliveEveryMs);
        }
        if (!fault.ends) continue;
        for (NetSide* s : {&host, &guest}) {
            EXPECT_EQ(s->peer.EndReason(), end_reason::kSilence) << s->peer.EndMessage();
            EXPECT_NE(s->peer.EndMessage().find("20 seconds"), std::string::npos) << s->peer.EndMessage();
            // The frames both sides agreed on are the replay, and it reads back as recorded.
            const Replay replay = s->match->ReplayOf();
            EXPECT_EQ(replay.keys.size(), s->match->Session().Confirmed());
            EXPECT_GT(replay.keys.size(), 30u);
            EXPECT_TRUE(CheckReplay(replay).agrees) << DescribeOutcome(CheckReplay(replay));
        }
        const auto& h = host.match->ConfirmedInputs();
        const auto& g = guest.match->ConfirmedInputs();
        const std::size_t common = std::min(h.size(), g.size());
        EXPECT_TRUE(std::equal(h.begin(), h.begin() + static_cast<std::ptrdiff_t>(common), g.begin()));
    }
}

TEST(NetTiming, EnetTimesTheLinkOnTheProgramsMonotonicClock) {
    // Nothing but the library calls enet_time_get: reads counted here are its own.
    std::string error;
    auto host = EnetLink::Host(0, "127.0.0.1", &error);
    ASSERT_TRUE(host) << error;
    auto guest = EnetLink::Join("127.0.0.1", host->Port(), &error);
    const uint64_t before = TransportClockReads();
    std::vector<LinkEvent> events;
    DropCounts drops;
    for (int i = 0; i < 50 && !host->Connected(); ++i) {
        host->Poll(events, drops);
        guest->Poll(events, drops);
    }
    EXPECT_GT(TransportClockReads(), before);
}

}  // namespace
}  // namespace vx::net
