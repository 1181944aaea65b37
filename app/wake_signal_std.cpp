#include <condition_variable>
#include <mutex>

#include "app/wake_signal.h"

struct WakeSignal::State {
    std::mutex mutex;
    std::condition_variable changed;
    bool set = false;  // guarded by mutex
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

void WakeSignal::Wait() {
    std::unique_lock lock(m_state->mutex);
    m_state->changed.wait(lock, [this] { return m_state->set; });
    m_state->set = false;
}
