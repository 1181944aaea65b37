// Whether this copy is the one in front: several users can be signed in at once (fast user
// switching, Remote Desktop), each running a copy, and the camera's status is one for the whole
// machine. Only the copy whose session is attached to the console and not locked acts on the
// camera's button and still: the others would start programs where nobody sees them, or behind
// the lock screen. Portable: no Windows headers.
#pragma once

#include <cstdint>

// WM_WTSSESSION_CHANGE events.
constexpr uint32_t kWtsConsoleConnect = 0x1;
constexpr uint32_t kWtsConsoleDisconnect = 0x2;
constexpr uint32_t kWtsRemoteConnect = 0x3;
constexpr uint32_t kWtsRemoteDisconnect = 0x4;
constexpr uint32_t kWtsSessionLogon = 0x5;
constexpr uint32_t kWtsSessionLock = 0x7;
constexpr uint32_t kWtsSessionUnlock = 0x8;

// What the system says of this copy's session.
struct SessionState {
    bool attachedToConsole = true;  // its id is the active console session's
    bool locked = false;
};

class SessionGate {
public:
    enum class Turn { None, ToFront, ToBack };

    // At start-up. Where the system cannot answer, the copy is in front.
    void Start(SessionState state);
    // A session change of this copy's session; `attachedToConsole` asked afresh. The lock
    // state follows the event.
    Turn OnChange(uint32_t event, bool attachedToConsole);
    [[nodiscard]] bool InFront() const { return m_state.attachedToConsole && !m_state.locked; }

private:
    Turn Follow(SessionState state);

    SessionState m_state;
};
