#include "app/session_gate.h"

#include "diag/debug_log.h"

void SessionGate::Start(SessionState state) {
    Follow(state);
}

SessionGate::Turn SessionGate::OnChange(uint32_t event, bool attachedToConsole) {
    SessionState state{attachedToConsole, m_state.locked};
    if (event == kWtsSessionLock) {
        state.locked = true;
    } else if (event == kWtsSessionUnlock || event == kWtsSessionLogon) {
        state.locked = false;
    }
    return Follow(state);
}

SessionGate::Turn SessionGate::Follow(SessionState state) {
    const bool wasInFront = InFront();
    m_state = state;
    if (InFront() == wasInFront) {
        return Turn::None;
    }
    DebugLog(kLogThread, InFront() ? "session in front" : "session in the background");
    return InFront() ? Turn::ToFront : Turn::ToBack;
}
