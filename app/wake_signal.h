// Wakes one waiting thread: an auto-reset signal, with an optional period after which a wait
// returns by itself. A Set while nobody waits makes the next Wait return at once; several Sets
// before a Wait count once. The snap-button poller waits on one all day and, while a camera is
// open, takes its second from the period, so what a wake-up costs counts: on Windows it is an
// event and a coalescable waitable timer, one system call on each side (a condition variable
// there takes several semaphore calls).
// Portable interface: wake_signal_std.cpp and wake_signal_win32.cpp implement it.
#pragma once

#include <chrono>
#include <memory>

class WakeSignal {
public:
    enum class Woken { BySet, ByPeriod };

    WakeSignal();
    ~WakeSignal();
    WakeSignal(const WakeSignal&) = delete;
    WakeSignal& operator=(const WakeSignal&) = delete;

    void Set();
    Woken Wait();
    // From now on, Wait returns by itself each `period` (0: never). Windows may deliver it up to
    // `tolerance` late, to wake the machine together with other timers. Called by the waiting
    // thread only.
    void SetPeriod(std::chrono::milliseconds period, std::chrono::milliseconds tolerance);

private:
    struct State;
    std::unique_ptr<State> m_state;
};
