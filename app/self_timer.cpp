#include "app/self_timer.h"

void SelfTimer::Start(int32_t sizeIndex) {
    m_nCountdown = kCountdownSeconds;
    m_nPendingSizeIndex = sizeIndex;
}

SelfTimer::Step SelfTimer::Tick(bool plugIn) {
    if (!plugIn) {
        // The count holds and the timer keeps running; a digit left up would stay on top of
        // every window until the camera comes back, which may be never.
        if (m_bShown) {
            m_bShown = false;
            return {Step::Kind::Hide};
        }
        return {};
    }
    if (m_nCountdown >= 1 && m_nCountdown <= kCountdownSeconds) {
        m_bShown = true;
        return {Step::Kind::Show, m_nCountdown--};
    }
    if (m_nCountdown == 0) {
        m_bShown = false;
        return {Step::Kind::Capture, 0, m_nPendingSizeIndex};
    }
    return {};
}

void SelfTimer::Reset() {
    m_nCountdown = 0;
    m_nPendingSizeIndex = 0;
    m_bShown = false;
}
