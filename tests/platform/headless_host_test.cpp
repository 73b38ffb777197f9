#include "platform/headless_host.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vx {
namespace {

TEST(HeadlessHostWait, EndsAtTheFirstReadingPastTheDeadline) {
    HeadlessHost host(1000);
    EXPECT_TRUE(host.WaitPast(1033));
    EXPECT_EQ(host.NowMs(), 1034);
    // A deadline already passed returns without moving the clock.
    EXPECT_TRUE(host.WaitPast(1000));
    EXPECT_EQ(host.NowMs(), 1034);
}

TEST(HeadlessHostScript, ActionsRunInTimeOrderAtTheirTimeWhileWaiting) {
    HeadlessHost host;
    std::vector<std::string> log;
    host.At(20, [&] { log.push_back("b@" + std::to_string(host.NowMs())); });
    host.At(10, [&] { log.push_back("a@" + std::to_string(host.NowMs())); });
    host.At(20, [&] { log.push_back("c@" + std::to_string(host.NowMs())); });
    host.At(100, [&] { log.push_back("late"); });
    EXPECT_TRUE(host.WaitPast(50));
    EXPECT_EQ(log, (std::vector<std::string>{"a@10", "b@20", "c@20"}));
    EXPECT_EQ(host.NowMs(), 51);
    EXPECT_EQ(host.PendingActions(), 1u);
}

TEST(HeadlessHostScript, AnActionDueExactlyAtTheWaitsEndWaitsForTheNextEventProcessing) {
    HeadlessHost host;
    int runs = 0;
    host.At(34, [&] { ++runs; });
    host.WaitPast(33);
    EXPECT_EQ(runs, 0);
    host.DoEvents();
    EXPECT_EQ(runs, 1);
}

TEST(HeadlessHostEnding, EndProgramStopsDeliveryAndEveryWait) {
    HeadlessHost host;
    int after = 0;
    host.At(10, [&] { host.EndProgram(); });
    host.At(10, [&] { ++after; });
    EXPECT_FALSE(host.WaitPast(1000));
    EXPECT_EQ(host.NowMs(), 10);
    EXPECT_EQ(after, 0);
    EXPECT_FALSE(host.DoEvents());
    EXPECT_FALSE(host.WaitPast(2000));
    EXPECT_TRUE(host.Ending());
}

}  // namespace
}  // namespace vx
