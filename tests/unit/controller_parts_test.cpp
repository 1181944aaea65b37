// The controller's parts on their own: the rules the controller's own tests reach only through
// whole scenarios.
#include <gtest/gtest.h>

#include <vector>

#include "app/discovery_schedule.h"
#include "app/self_timer.h"
#include "app/session_gate.h"
#include "debug_record_capture.h"

namespace {

using Turn = SessionGate::Turn;
using Kind = SelfTimer::Step::Kind;

TEST(SessionGateTest, InFrontOnlyOnTheConsoleAndUnlocked) {
    DebugRecordCapture log{kLogThread};
    SessionGate gate;
    gate.Start({});  // where the system cannot tell: in front, as on a single-user machine
    EXPECT_TRUE(gate.InFront());
    EXPECT_EQ(gate.OnChange(kWtsSessionLock, true), Turn::ToBack);
    EXPECT_EQ(gate.OnChange(kWtsConsoleDisconnect, false), Turn::None);  // fast user switching
    EXPECT_EQ(gate.OnChange(kWtsConsoleConnect, true), Turn::None) << "still locked";
    EXPECT_EQ(gate.OnChange(kWtsSessionUnlock, true), Turn::ToFront);
    EXPECT_EQ(gate.OnChange(kWtsRemoteConnect, false), Turn::ToBack);  // taken over remotely
    EXPECT_EQ(gate.OnChange(kWtsSessionLogon, true), Turn::ToFront);
    ASSERT_EQ(log.Records().size(), 4u);
    EXPECT_EQ(log.Records()[0].text, "session in the background");
    EXPECT_EQ(log.Records()[1].text, "session in front");

    SessionGate locked;
    locked.Start({true, true});
    EXPECT_FALSE(locked.InFront());
}

TEST(DiscoveryScheduleTest, ACameraThatFailsAtOnceWaitsLongerEachTimeUntilItWorks) {
    using namespace std::chrono_literals;
    DiscoverySchedule schedule;
    DiscoverySchedule::Clock::time_point now{};
    std::vector<int> waits;
    for (int open = 0; open < 7; ++open) {
        schedule.AfterLook(DiscoveryResult::Held, true, now);
        now += 1s;
        ASSERT_FALSE(schedule.ReopenGoneCamera(now));
        int wait = 1;
        while (!schedule.TickDue()) {
            ++wait;
        }
        waits.push_back(wait);
        now += std::chrono::seconds(wait);
    }
    EXPECT_EQ(waits, (std::vector<int>{2, 4, 8, 16, 32, 60, 60}));

    // One that worked for longer is opened again at once, and the wait starts over.
    schedule.AfterLook(DiscoveryResult::Held, true, now);
    EXPECT_TRUE(schedule.ReopenGoneCamera(now + kFailsAtOnceWithin));
    schedule.AfterLook(DiscoveryResult::Held, true, now);
    EXPECT_FALSE(schedule.ReopenGoneCamera(now));
    EXPECT_TRUE(schedule.LookScheduled());
    EXPECT_FALSE(schedule.TickDue());
    EXPECT_TRUE(schedule.TickDue()) << "2 s again";
}

TEST(SelfTimerTest, TheDigitLeavesWhileTheCameraIsAwayAndComesBackWithTheCount) {
    SelfTimer timer;
    timer.Start(3);
    EXPECT_EQ(timer.Tick(true).kind, Kind::Show);
    EXPECT_EQ(timer.Tick(false).kind, Kind::Hide);
    EXPECT_EQ(timer.Tick(false).kind, Kind::Nothing);
    const SelfTimer::Step back = timer.Tick(true);
    EXPECT_EQ(back.kind, Kind::Show);
    EXPECT_EQ(back.count, 4);
    for (int step = 0; step < 4; ++step) {
        timer.Tick(true);
    }
    const SelfTimer::Step capture = timer.Tick(true);
    EXPECT_EQ(capture.kind, Kind::Capture);
    EXPECT_EQ(capture.sizeIndex, 3);
}

}  // namespace
