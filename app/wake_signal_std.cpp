#include <condition_variable>
#include <mutex>

#include "app/wake_signal.h"

struct WakeSignal::State {
    std::mutex mutex;
    std::condition_variable changed;
    bool set = false;  // guarded by mutex
    std::chrono::milliseconds period{0};
    std::chrono::steady_clock::time_point due;
};

WakeSignal::WakeSignal() : m_state(std::make_unique<State>()) {}

WakeSignal::~WakeSignal() = default;

void WakeSignal::Set() {
    {
        std::lock_guard lock(m_state->mutex);
        m_state->set = true;
    }
    m_state->changed.notify_one();
}

WakeSignal::Woken WakeSignal::Wait() {
    std::unique_lock lock(m_state->mutex);
    State& state = *m_state;
    if (state.period.count() == 0) {
        state.changed.wait(lock, [&state] { return state.set; });
    } else if (!state.changed.wait_until(lock, state.due, [&state] { return state.set; })) {
        // After a long wait (a stuck driver call) the next period starts now: no burst.
        state.due = std::chrono::steady_clock::now() + state.period;
        return Woken::ByPeriod;
    }
    state.set = false;
    return Woken::BySet;
}

void WakeSignal::SetPeriod(std::chrono::milliseconds period, std::chrono::milliseconds) {
    std::lock_guard lock(m_state->mutex);
    m_state->period = period;
    m_state->due = std::chrono::steady_clock::now() + period;
}
