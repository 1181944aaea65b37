// The thread that asks the driver, once a second while it is active (a camera is open and this
// copy is the one in front), to check the camera's snapshot button. The driver answers by
// setting STATUS_SNAP_BUTTON, which the status poll sees; an optional callback after each
// request lets the controller look at once.
//
// It takes the second itself, from a coalescable timer, and wakes the window thread only for
// news: at rest with a camera, one thread wakes each second. The request runs on this thread
// because a driver call may hang, and the window thread never waits on one.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "app/wake_signal.h"
#include "camera/extension_props.h"

class SnapButtonPoller {
public:
    // `cameraPresent` is the controller's byte, 1 while device discovery holds an open camera;
    // it is only read here. Both references must outlive the poller.
    SnapButtonPoller(ICameraOps& camera, const std::atomic<uint8_t>& cameraPresent);
    ~SnapButtonPoller();  // stops the thread

    SnapButtonPoller(const SnapButtonPoller&) = delete;
    SnapButtonPoller& operator=(const SnapButtonPoller&) = delete;

    // Runs on the poller's thread after each request to the driver. Set before Start.
    void SetAfterPoll(std::function<void()> afterPoll) { m_afterPoll = std::move(afterPoll); }

    static constexpr std::chrono::milliseconds kPeriod{1000};
    static constexpr std::chrono::milliseconds kPeriodTolerance{50};

    // Starts the thread; does nothing while it runs already.
    void Start();
    // While active, the thread sends a request each second by itself; while not, it sleeps
    // without a timeout. Called on the controlling thread.
    void SetActive(bool active);
    // Whether Tick would release a request now: the thread runs, a camera is open and no
    // request is waiting or still inside the driver. Called on the ticking thread.
    [[nodiscard]] bool CanTakeTick();
    // Releases one request to the driver now when CanTakeTick; nothing otherwise, so that a
    // request stuck in the driver gets no others queued behind it.
    void Tick();
    // Wakes the thread from its wait and joins it. Returns once the thread has ended, so no
    // property call is made after it returns. Does nothing when the thread is not running.
    void Stop();
    // As Stop, but waits at most `patience` for a thread stuck in a driver call. False when it
    // is still in one: the thread is left running (it ends at its next wake), and the caller
    // must end the process rather than destroy what the thread reads.
    bool StopWithin(std::chrono::milliseconds patience);
    [[nodiscard]] bool IsRunning() const { return m_thread.joinable(); }

private:
    void Run();

    ICameraOps& m_camera;
    const std::atomic<uint8_t>& m_cameraPresent;
    std::function<void()> m_afterPoll;

    std::mutex m_mutex;
    WakeSignal m_wake;  // set after each change of the flags below
    std::condition_variable m_ended;
    bool m_stopRequested = false;  // guarded by m_mutex
    bool m_requestDue = false;     // guarded by m_mutex
    bool m_active = false;         // guarded by m_mutex
    bool m_inDriver = false;       // guarded by m_mutex
    bool m_running = false;        // guarded by m_mutex; false once Run has returned
    std::thread m_thread;
};
