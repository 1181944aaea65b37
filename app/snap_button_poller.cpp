#include "app/snap_button_poller.h"

#include "diag/debug_log.h"

SnapButtonPoller::SnapButtonPoller(ICameraOps& camera, const std::atomic<uint8_t>& cameraPresent,
                                   std::chrono::milliseconds presentPeriod,
                                   std::chrono::milliseconds absentPeriod)
    : m_camera(camera),
      m_cameraPresent(cameraPresent),
      m_presentPeriod(presentPeriod),
      m_absentPeriod(absentPeriod) {}

SnapButtonPoller::~SnapButtonPoller() {
    Stop();
}

void SnapButtonPoller::Start() {
    if (m_thread.joinable()) {
        return;
    }
    {
        std::lock_guard lock(m_mutex);
        m_stopRequested = false;
        m_running = true;
    }
    m_thread = std::thread(&SnapButtonPoller::Run, this);
}

void SnapButtonPoller::Stop() {
    if (!m_thread.joinable()) {
        return;
    }
    {
        std::lock_guard lock(m_mutex);
        m_stopRequested = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

bool SnapButtonPoller::StopWithin(std::chrono::milliseconds patience) {
    if (!m_thread.joinable()) {
        return true;
    }
    {
        std::unique_lock lock(m_mutex);
        m_stopRequested = true;
        m_wake.notify_all();
        if (!m_ended.wait_for(lock, patience, [this] { return !m_running; })) {
            return false;
        }
    }
    m_thread.join();
    return true;
}

void SnapButtonPoller::Run() {
    DebugLog(kLogThread, "Thread Start");
    std::unique_lock lock(m_mutex);
    while (!m_stopRequested) {
        std::chrono::milliseconds period = m_absentPeriod;
        if (m_cameraPresent.load() == 1) {
            // The property call runs unlocked so that Stop never waits on the mutex for it.
            lock.unlock();
            ExtensionBuffer block{};
            block.words[0] = kSnapPollWord;
            DebugLog(kLogStatus, "Check snap button");
            m_camera.SetExtensionProperty(PROP_SNAP_POLL, &block);
            if (m_afterPoll) {
                m_afterPoll();
            }
            lock.lock();
            period = m_presentPeriod;
        }
        m_wake.wait_for(lock, period, [this] { return m_stopRequested; });
    }
    m_running = false;
    m_ended.notify_all();
}
