// Misbehaviour on purpose: what the simulated driver does before each call of its private
// interface and of IAMVideoControl, so that anyone can watch the program live through a wedged,
// failing or crashing driver. Kept beside the rest of the simulated state in the registry.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

enum class DriverFault : DWORD {
    None = 0,
    Hang = 1,   // every call hangs until the fault is lifted, at most kMaxHangMs
    Fail = 2,   // every call fails with E_FAIL and changes nothing
    Crash = 3,  // the next call lifts the fault and then faults on a bad address
};

namespace driver_fault {

constexpr DWORD kMaxHangMs = 60000;

DriverFault Current();
LONG Set(DriverFault fault);

// "none", "hang", "fail", "crash"; nothing for any other text.
std::optional<DriverFault> Parse(const std::string& name);

// Runs the current fault at the start of a driver call: S_OK when the call may go on.
HRESULT Apply();

}  // namespace driver_fault
