// Wakes one waiting thread: an auto-reset signal. A Set while nobody waits makes the next Wait
// return at once; several Sets before a Wait count once. The snap-button poller waits on one all
// day and is woken once a second, so what a wake-up costs counts: on Windows it is an event, one
// system call on each side (a condition variable there takes several semaphore calls).
// Portable interface: wake_signal_std.cpp and wake_signal_win32.cpp implement it.
#pragma once

#include <memory>

class WakeSignal {
public:
    WakeSignal();
    ~WakeSignal();
    WakeSignal(const WakeSignal&) = delete;
    WakeSignal& operator=(const WakeSignal&) = delete;

    void Set();
    void Wait();

private:
    struct State;
    std::unique_ptr<State> m_state;
};
