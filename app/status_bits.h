// The camera's button and still-ready bits: each set bit is acted on once. Once acted on, a
// bit is held until a read shows it clear, and is never acted on again while held: a driver
// that fails or stores our clear late must not start a program every second; each later check
// sends the clear again. Portable: no Windows headers.
#pragma once

#include <cstdint>

#include "settings/settings_store.h"

class StatusBitProtocol {
public:
    explicit StatusBitProtocol(SettingsStore& settings) : m_settings(settings) {}

    // Starts a check of `status`, read once for it: releases the held bits it shows clear.
    void Observe(uint32_t status);
    // Whether the set `bit` is acted on now. A held bit is not; its clear is sent again by
    // RetryClears.
    bool Take(uint32_t bit);
    // Sends the clear of `bits` and releases those a read then shows clear: the next press is
    // not mistaken for the one just handled, even when no check comes in between.
    void Clear(uint32_t bits);
    // Ends the check: sends the clear of held bits the driver has not taken yet, one record.
    void RetryClears();
    // Takes and clears, without acting on them, the button and still-ready bits set in
    // `status`: they were meant for someone else.
    void Discard(uint32_t status);

private:
    SettingsStore& m_settings;
    uint32_t m_held = 0;   // bits acted on whose clear no read has shown yet
    uint32_t m_retry = 0;  // held bits this check saw set
};
