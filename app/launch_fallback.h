// What follows a start of the quick-launch program, by the error it ended with. Portable: no
// Windows headers.
#pragma once

#include <cstdint>

constexpr uint32_t kErrorElevationRequired = 740;  // ERROR_ELEVATION_REQUIRED
constexpr uint32_t kErrorCancelled = 1223;         // ERROR_CANCELLED

enum class StartOutcome {
    Started,
    AskConsent,  // the program needs an administrator: start it again through the shell
    Refused,     // the user said no at the consent prompt
    Failed,
};

// After the direct start (CreateProcess); 0 when it started. Only a program whose manifest asks
// for an administrator goes on to the shell, which alone can show the consent prompt.
StartOutcome AfterDirectStart(uint32_t error);

// After the start through the shell (ShellExecuteEx). Never asks again: a refusal is final.
StartOutcome AfterShellStart(uint32_t error);
