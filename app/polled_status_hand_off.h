// The status the poller's thread reads after each request, handed to the window thread only
// when it is news, and dropped there when a check of the window thread's own overlapped it:
// such a read may predate that check's clears, and acting on it would act twice. Portable.
#pragma once

#include <atomic>
#include <cstdint>

#include "settings/camera_status.h"

class PolledStatusHandOff {
public:
    // Poller's thread, before its read: the window thread's check count to hand over with it.
    [[nodiscard]] uint32_t Epoch() const { return m_ownChecks.load(); }
    // Poller's thread: whether `status` is worth waking the window thread for. At rest nothing
    // changes and nothing is handed over.
    bool IsNews(uint32_t status) {
        return m_lastPolled.exchange(status) != status ||
               (status & (STATUS_SNAP_BUTTON | STATUS_STILL_READY)) != 0;
    }
    // Window thread: whether a read begun at `epoch` may be acted on. If not, the next read is
    // handed over whatever it holds.
    bool IsCurrent(uint32_t epoch) {
        if (epoch == m_ownChecks.load()) {
            return true;
        }
        m_lastPolled = kNone;
        return false;
    }
    // Window thread, after a check of its own and its clears.
    void OwnCheckDone() { ++m_ownChecks; }

private:
    static constexpr uint32_t kNone = 0xFFFFFFFFu;
    std::atomic<uint32_t> m_ownChecks{0};
    std::atomic<uint32_t> m_lastPolled{kNone};
};
