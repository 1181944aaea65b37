// The report of the layer check programs: one "ok" or "FAIL" line per check, flushed at once so
// that a crash leaves the checks before it on record; the exit code is the number of failures.
#pragma once

#include <cstdio>
#include <string>

inline int g_failures = 0;

// Returns `ok`. `quietWhenOk` leaves out the "ok" lines, for checks made thousands of times.
inline bool Expect(bool ok, const std::string& what, bool quietWhenOk = false) {
    if (!ok || !quietWhenOk) {
        std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
        std::fflush(stdout);
    }
    if (!ok) {
        ++g_failures;
    }
    return ok;
}
