#include "app/snap_button_poller.h"

#include "diag/debug_log.h"

SnapButtonPoller::SnapButtonPoller(ICameraOps& camera, const std::atomic<uint8_t>& cameraPresent)
    : m_camera(camera), m_cameraPresent(cameraPresent) {}

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
        m_requestDue = false;
        m_inDriver = false;
        m_running = true;
    }
    m_thread = std::thread(&SnapButtonPoller::Run, this);
}

bool SnapButtonPoller::CanTakeTick() {
    if (m_cameraPresent.load() != 1 || !m_thread.joinable()) {
        return false;
    }
    std::lock_guard lock(m_mutex);
    return !m_stopRequested && !m_requestDue && !m_inDriver;
}

void SnapButtonPoller::SetActive(bool active) {
    {
        std::lock_guard lock(m_mutex);
        if (m_active == active) {
            return;
        }
        m_active = active;
    }
    m_wake.Set();  // the thread sets its period itself
}

void SnapButtonPoller::Tick() {
    if (!CanTakeTick()) {
        return;
    }
    {
        std::lock_guard lock(m_mutex);
        m_requestDue = true;
    }
    m_wake.Set();
}

void SnapButtonPoller::Stop() {
    if (!m_thread.joinable()) {
        return;
    }
    {
        std::lock_guard lock(m_mutex);
        m_stopRequested = true;
    }
    m_wake.Set();
    m_thread.join();
}

bool SnapButtonPoller::StopWithin(std::chrono::milliseconds patience) {
    if (!m_thread.joinable()) {
        return true;
    }
    {
        std::unique_lock lock(m_mutex);
        m_stopRequested = true;
        m_wake.Set();
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
    bool periodic = false;
    for (;;) {
        while (!m_stopRequested && !m_requestDue) {
            if (periodic != m_active) {
                periodic = m_active;
                m_wake.SetPeriod(periodic ? kPeriod : std::chrono::milliseconds{0},
                                 kPeriodTolerance);
            }
            lock.unlock();
            const WakeSignal::Woken woken = m_wake.Wait();
            lock.lock();
            m_requestDue = m_requestDue || (woken == WakeSignal::Woken::ByPeriod && m_active);
        }
        if (m_stopRequested) {
            break;
        }
        m_requestDue = false;
        if (m_cameraPresent.load() != 1) {
            continue;  // closed since the tick
        }
        m_inDriver = true;
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
        m_inDriver = false;
    }
    m_running = false;
    m_ended.notify_all();
}
