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
    // Not kept as the fault: every filter made so far answers "device not connected", as after
    // a re-enumeration during sleep or a hub's reset; a filter made afterwards works.
    Gone = 4,
};

namespace driver_fault {

constexpr DWORD kMaxHangMs = 60000;

DriverFault Current();
LONG Set(DriverFault fault);

// "none", "hang", "fail", "crash", "gone"; nothing for any other text.
std::optional<DriverFault> Parse(const std::string& name);

// Numbers a newly made filter, for Apply: 1, 2, ... across processes.
DWORD NumberNewFilter();

// Runs the current fault at the start of a call of filter `filterNumber`: S_OK when the call
// may go on.
HRESULT Apply(DWORD filterNumber);

}  // namespace driver_fault
