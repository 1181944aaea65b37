#include <windows.h>

#include "app/wake_signal.h"
#include "win/handles_win32.h"

struct WakeSignal::State {
    // Auto-reset: a Wait that returns takes the signal with it.
    UniqueKernelHandle event{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
};

WakeSignal::WakeSignal() : m_state(std::make_unique<State>()) {}

WakeSignal::~WakeSignal() = default;

void WakeSignal::Set() {
    SetEvent(m_state->event.get());
}

void WakeSignal::Wait() {
    WaitForSingleObject(m_state->event.get(), INFINITE);
}
