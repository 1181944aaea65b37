#include "app/status_bits.h"

#include <utility>

#include "diag/debug_log.h"
#include "settings/camera_status.h"

namespace {
constexpr uint32_t kActionBits = STATUS_SNAP_BUTTON | STATUS_STILL_READY;
}

void StatusBitProtocol::Observe(uint32_t status) {
    m_held &= status;  // the driver has stored our clear
    m_retry = 0;
}

bool StatusBitProtocol::Take(uint32_t bit) {
    if ((m_held & bit) != 0) {
        m_retry |= bit;
        return false;
    }
    m_held |= bit;
    return true;
}

void StatusBitProtocol::Clear(uint32_t bits) {
    m_settings.ClearCameraStatus(bits);
    m_held &= m_settings.ReadCameraStatus() | ~bits;
}

void StatusBitProtocol::RetryClears() {
    if (m_retry == 0) {
        return;
    }
    DebugLog(kLogEvent, "CameraStatus 0x%x not cleared, clearing again", m_retry);
    Clear(std::exchange(m_retry, 0));
}

void StatusBitProtocol::Discard(uint32_t status) {
    Observe(status);
    const uint32_t set = status & kActionBits;
    if (set != 0) {
        m_held |= set;
        Clear(set);
    }
}
