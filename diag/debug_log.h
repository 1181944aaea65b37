// Level-filtered diagnostic messages for the debug viewer. Portable.
#pragma once

#include <cstddef>
#include <cstdint>

// Messages above this level are dropped before any formatting. Set once at start-up.
extern int32_t DebugLevel;

constexpr int32_t kLogEvent = 100;      // plug in/out, programs started, camera found
constexpr int32_t kLogThread = 101;     // poller start
constexpr int32_t kLogCountdown = 102;  // self-timer countdown
constexpr int32_t kLogStatus = 103;     // status-bit traffic, snap-button checks

constexpr std::size_t kDebugTextSize = 2048;  // including the terminating NUL

// Delivers one finished record; returns -1 when no viewer is listening, else 0.
using DebugRecordSender = int (*)(int32_t level, const char* text, std::size_t length);

// Installs where records go (the platform's viewer lookup; tests capture them). Null drops all.
void SetDebugRecordSender(DebugRecordSender sender);

// printf-style; a text longer than 2047 characters is cut at 2047.
void DebugLog(int32_t level, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// Logs a name verbatim: a '%' in it has no special meaning.
void DebugLogText(int32_t level, const char* text);
