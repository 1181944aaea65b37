#include "app/snap_button_poller.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "debug_record_capture.h"
#include "fake_camera.h"

namespace {

using namespace std::chrono_literals;

constexpr auto kDeadline = 10s;  // generous: only a hang should ever reach it

std::atomic<int> g_checkLogs{0};

// Its sets are the poller's requests, each stamped with the "Check snap button" records
// sent before it.
void Polled(FakeCamera& camera) {
    camera.getResult = -1;
    camera.stamp = [] { return g_checkLogs.load(); };
}

class SnapButtonPollerTest : public ::testing::Test {
protected:
    SnapButtonPollerTest() { g_checkLogs = 0; }

    std::vector<DebugRecord> LogRecords() const { return log.Records(); }
    int CountThreadStarts() const {
        int count = 0;
        for (const auto& [level, text] : LogRecords()) {
            count += (level == kLogThread && text == "Thread Start") ? 1 : 0;
        }
        return count;
    }
    bool WaitForThreadStart() const {
        const auto deadline = std::chrono::steady_clock::now() + kDeadline;
        while (CountThreadStarts() == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(1ms);
        }
        return true;
    }

    // Ticks as the status timer does, only faster, until the driver has seen `count` requests.
    bool TickUntilCalls(SnapButtonPoller& poller, std::size_t count) {
        const auto deadline = std::chrono::steady_clock::now() + kDeadline;
        while (!camera.WaitForCalls(count, 1ms)) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            poller.Tick();
        }
        return true;
    }

    DebugRecordCapture log{kLogStatus, [](const DebugRecord& record) {
                               if (record.text == "Check snap button") {
                                   ++g_checkLogs;
                               }
                           }};
    FakeCamera camera{Polled};
    std::atomic<uint8_t> present{0};
};

TEST_F(SnapButtonPollerTest, AsksForTheButtonWhilePresentEachLoggedFirst) {
    present = 1;
    SnapButtonPoller poller(camera, present);
    std::mutex seenMutex;
    std::vector<std::size_t> callsSeenAfterPoll;
    poller.SetAfterPoll([&] {
        const std::size_t calls = camera.Calls().size();
        std::lock_guard lock(seenMutex);
        callsSeenAfterPoll.push_back(calls);
    });
    poller.Start();
    ASSERT_TRUE(TickUntilCalls(poller, 5));
    poller.Stop();

    const auto calls = camera.Calls();
    ASSERT_EQ(callsSeenAfterPoll.size(), calls.size()) << "one callback after each request";
    for (std::size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].id, PROP_SNAP_POLL);
        EXPECT_EQ(calls[i].block.words[0], 4);
        EXPECT_EQ(calls[i].stamp, static_cast<int>(i) + 1) << "call " << i;
        EXPECT_EQ(callsSeenAfterPoll[i], i + 1) << "the callback follows its request";
    }
    const auto records = LogRecords();
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.front(), (DebugRecord{kLogThread, "Thread Start"}));
    EXPECT_EQ(CountThreadStarts(), 1);
    EXPECT_EQ(records.back(), (DebugRecord{kLogStatus, "Check snap button"}));
}

TEST_F(SnapButtonPollerTest, EachTickReleasesExactlyOneRequest) {
    present = 1;
    SnapButtonPoller poller(camera, present);
    poller.Start();
    ASSERT_TRUE(WaitForThreadStart());
    EXPECT_FALSE(camera.WaitForCalls(1, 30ms)) << "no request without a tick";
    poller.Tick();
    ASSERT_TRUE(camera.WaitForCalls(1));
    EXPECT_FALSE(camera.WaitForCalls(2, 30ms)) << "one tick, one request";
    poller.Tick();
    EXPECT_TRUE(camera.WaitForCalls(2));
}

TEST_F(SnapButtonPollerTest, TicksReleaseNothingWhileNoCameraIsOpen) {
    SnapButtonPoller poller(camera, present);
    std::atomic<int> callbacks{0};
    poller.SetAfterPoll([&] { ++callbacks; });
    poller.Start();
    ASSERT_TRUE(WaitForThreadStart());
    for (int tick = 0; tick < 3; ++tick) {
        poller.Tick();
    }
    EXPECT_FALSE(camera.WaitForCalls(1, 30ms));
    EXPECT_EQ(g_checkLogs.load(), 0);
    EXPECT_EQ(callbacks.load(), 0);

    present = 1;  // the camera opens: the next tick asks
    poller.Tick();
    EXPECT_TRUE(camera.WaitForCalls(1));
}

TEST_F(SnapButtonPollerTest, StopWakesALongWait) {
    for (uint8_t presence : {uint8_t{0}, uint8_t{1}}) {
        present = presence;
        SnapButtonPoller poller(camera, present);
        poller.Start();
        ASSERT_TRUE(WaitForThreadStart());
        const auto before = std::chrono::steady_clock::now();
        poller.Stop();  // would block for ever if the wait were not woken
        EXPECT_LT(std::chrono::steady_clock::now() - before, kDeadline);
        EXPECT_FALSE(poller.IsRunning());
    }
}

TEST_F(SnapButtonPollerTest, NoRequestAfterStopOrDestructionReturns) {
    present = 1;
    {
        SnapButtonPoller poller(camera, present);
        poller.Start();
        ASSERT_TRUE(TickUntilCalls(poller, 20));
        poller.Stop();
        const std::size_t afterStop = camera.Calls().size();
        poller.Tick();
        std::this_thread::sleep_for(20ms);
        EXPECT_EQ(camera.Calls().size(), afterStop);

        poller.Start();  // a stopped poller can run again
        ASSERT_TRUE(TickUntilCalls(poller, afterStop + 5));
        poller.Tick();
    }
    const std::size_t afterDestruction = camera.Calls().size();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(camera.Calls().size(), afterDestruction);
}

TEST_F(SnapButtonPollerTest, StopWithinLeavesAThreadStuckInADriverCallUntilTheCallReturns) {
    present = 1;
    camera.Hang(true);
    SnapButtonPoller poller(camera, present);
    poller.Start();
    ASSERT_TRUE(TickUntilCalls(poller, 1));
    EXPECT_FALSE(poller.StopWithin(50ms));
    EXPECT_TRUE(poller.IsRunning());

    camera.Hang(false);
    EXPECT_TRUE(poller.StopWithin(kDeadline));
    EXPECT_FALSE(poller.IsRunning());
    EXPECT_EQ(camera.Calls().size(), 1u) << "the stop was seen at the thread's next wake";
}

TEST_F(SnapButtonPollerTest, StartWhileRunningStartsNoSecondThread) {
    SnapButtonPoller poller(camera, present);
    poller.Start();
    poller.Start();
    ASSERT_TRUE(WaitForThreadStart());
    poller.Stop();
    EXPECT_EQ(CountThreadStarts(), 1);
}

}  // namespace
