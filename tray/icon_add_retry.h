// Adding the notification-area icon until the shell has it. At a busy sign-in the shell may
// answer an add late, and the call then fails although the icon may have been added after all:
// each later try first asks whether the shell has it, so there is never a second one.
// Portable: no Windows headers.
#pragma once

#include <chrono>

// The shell's calls for one icon.
class IShellIcon {
public:
    virtual ~IShellIcon() = default;
    virtual bool Add() = 0;         // NIM_ADD
    virtual bool Has() = 0;         // NIM_MODIFY with nothing changed: true when the shell has it
    virtual void SetVersion() = 0;  // NIM_SETVERSION, after every add
};

class IconAddRetry {
public:
    static constexpr std::chrono::seconds kFirstDelay{1};
    static constexpr std::chrono::seconds kLongestDelay{60};

    explicit IconAddRetry(IShellIcon& shell) : m_shell(shell) {}

    // Shows the icon: asks whether the shell has it, adds it when not. True when it is shown;
    // otherwise a try is due after Delay(), which doubles with every failure up to the longest.
    bool Show();
    // A try is due: the last Show failed.
    [[nodiscard]] bool Pending() const { return m_delay.count() != 0; }
    [[nodiscard]] std::chrono::seconds Delay() const { return m_delay; }
    // The icon is no longer wanted: no try is due.
    void Stop() { m_delay = {}; }

private:
    IShellIcon& m_shell;
    std::chrono::seconds m_delay{0};
};
