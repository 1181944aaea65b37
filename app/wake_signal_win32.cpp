#include <windows.h>

#include "app/wake_signal.h"
#include "win/handles_win32.h"
#include "win/system_library_win32.h"

namespace {
// Windows 7 and later; SetWaitableTimer, without the tolerance, elsewhere.
using SetWaitableTimerExFn = BOOL(WINAPI*)(HANDLE, const LARGE_INTEGER*, LONG, PTIMERAPCROUTINE,
                                           LPVOID, PREASON_CONTEXT, ULONG);
}  // namespace

struct WakeSignal::State {
    // Auto-reset: a Wait that returns takes the signal with it.
    UniqueKernelHandle event{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    // Synchronisation timer: each expiry releases one wait.
    UniqueKernelHandle timer{CreateWaitableTimerW(nullptr, FALSE, nullptr)};
    bool periodic = false;
};

WakeSignal::WakeSignal() : m_state(std::make_unique<State>()) {}

WakeSignal::~WakeSignal() = default;

void WakeSignal::Set() {
    SetEvent(m_state->event.get());
}

WakeSignal::Woken WakeSignal::Wait() {
    const HANDLE handles[] = {m_state->event.get(), m_state->timer.get()};
    const DWORD count = m_state->periodic && handles[1] != nullptr ? 2 : 1;
    const DWORD woken = WaitForMultipleObjects(count, handles, FALSE, INFINITE);
    return woken == WAIT_OBJECT_0 + 1 ? Woken::ByPeriod : Woken::BySet;
}

void WakeSignal::SetPeriod(std::chrono::milliseconds period, std::chrono::milliseconds tolerance) {
    const HANDLE timer = m_state->timer.get();
    if (timer == nullptr) {
        return;
    }
    m_state->periodic = period.count() > 0;
    if (!m_state->periodic) {
        CancelWaitableTimer(timer);
        return;
    }
    static const auto setTimerEx =
        LookUpLoadedFunction<SetWaitableTimerExFn>(L"kernel32.dll", "SetWaitableTimerEx");
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>(period.count()) * 10000;  // relative, 100 ns units
    const auto ms = static_cast<LONG>(period.count());
    if (setTimerEx == nullptr || setTimerEx(timer, &due, ms, nullptr, nullptr, nullptr,
                                            static_cast<ULONG>(tolerance.count())) == FALSE) {
        SetWaitableTimer(timer, &due, ms, nullptr, nullptr, FALSE);
    }
}
