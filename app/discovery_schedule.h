// When the controller looks for its camera again by itself: a back-off while a device with the
// camera's interface is listed but does not answer (or a driver call hangs), and for a camera
// that fails at once after each open. Portable: no Windows headers.
#pragma once

#include <chrono>
#include <cstdint>

#include "camera/discovery.h"

// While devices are listed but none answers, discovery looks again after 2 s, doubling up to 60 s.
constexpr int32_t kRediscoverFirstSeconds = 2;
constexpr int32_t kRediscoverMostSeconds = 60;
// A camera that goes within this time of being opened waits for the back-off before it is
// opened again; one that worked for longer (a hub reset, a resume) is opened again at once.
constexpr std::chrono::seconds kFailsAtOnceWithin{10};

class DiscoverySchedule {
public:
    using Clock = std::chrono::steady_clock;

    // After a look: `NoneWorking` starts the back-off or doubles its wait; anything else ends
    // the looks. A camera opened by it is timed from `now`.
    void AfterLook(DiscoveryResult result, bool cameraOpened, Clock::time_point now);
    // The listed devices changed: the back-off starts again from its first step.
    void Restart() { m_nRediscoverDelay = 0; }
    // The open camera's device has gone at `now`. True when it is to be opened again at once;
    // false when it failed so soon after its open that it goes into the back-off instead.
    bool ReopenGoneCamera(Clock::time_point now);
    // One second passed: true when a look is due now.
    bool TickDue();
    [[nodiscard]] bool LookScheduled() const { return m_nRediscoverIn > 0; }

private:
    void BackOff();

    int32_t m_nRediscoverDelay = 0;  // seconds of the back-off's current step, 0 when off
    int32_t m_nRediscoverIn = 0;     // ticks until its next look
    Clock::time_point m_openedAt{};
};
