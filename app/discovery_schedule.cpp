#include "app/discovery_schedule.h"

#include <algorithm>

void DiscoverySchedule::AfterLook(DiscoveryResult result, bool cameraOpened,
                                  Clock::time_point now) {
    if (cameraOpened) {
        m_openedAt = now;
    }
    if (result == DiscoveryResult::NoneWorking) {
        BackOff();
        return;
    }
    m_nRediscoverIn = 0;
    if (result == DiscoveryResult::NoneListed) {
        m_nRediscoverDelay = 0;
    }
    // A camera found keeps the wait it had: should it fail at once again, the next wait is
    // longer. It is forgotten once the camera has worked for a while (ReopenGoneCamera).
}

bool DiscoverySchedule::ReopenGoneCamera(Clock::time_point now) {
    if (now - m_openedAt >= kFailsAtOnceWithin) {
        m_nRediscoverDelay = 0;
        return true;
    }
    BackOff();
    return false;
}

bool DiscoverySchedule::TickDue() {
    return m_nRediscoverIn > 0 && --m_nRediscoverIn == 0;
}

void DiscoverySchedule::BackOff() {
    m_nRediscoverDelay = m_nRediscoverDelay == 0
                             ? kRediscoverFirstSeconds
                             : std::min(2 * m_nRediscoverDelay, kRediscoverMostSeconds);
    m_nRediscoverIn = m_nRediscoverDelay;
}
