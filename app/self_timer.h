// The self-timer: the menu's choice, and the five-second countdown a still command starts
// while it is on. Portable: no Windows headers.
#pragma once

#include <cstdint>

constexpr int32_t kCountdownSeconds = 5;

class SelfTimer {
public:
    // What one tick of the countdown's 1-second timer asks for.
    struct Step {
        enum class Kind {
            Nothing,  // no countdown, or it holds while the camera is away
            Show,     // shows `count` (5 down to 1)
            Hide,     // the camera went away: the count holds, its digit leaves the screen
            Capture,  // the count is over: the still of `sizeIndex`, then the overlay goes
        };
        Kind kind = Kind::Nothing;
        int32_t count = 0;
        int32_t sizeIndex = 0;
    };

    [[nodiscard]] bool IsOn() const { return m_bSelfTimer; }
    void SetOn(bool on) { m_bSelfTimer = on; }

    // Starts the countdown for a still of `sizeIndex`; a running one starts again with it.
    void Start(int32_t sizeIndex);
    Step Tick(bool plugIn);
    // No countdown.
    void Reset();

    [[nodiscard]] int32_t Remaining() const { return m_nCountdown; }
    [[nodiscard]] int32_t PendingSizeIndex() const { return m_nPendingSizeIndex; }

private:
    bool m_bSelfTimer = false;
    int32_t m_nCountdown = 0;  // steps left, 5 down to 0
    int32_t m_nPendingSizeIndex = 0;
    bool m_bShown = false;  // a digit is on the screen
};
