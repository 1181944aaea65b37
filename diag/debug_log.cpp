#include "diag/debug_log.h"

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>

int32_t DebugLevel = 0;

namespace {
// Read by the poller thread as well as the UI thread; set once at start-up.
std::atomic<DebugRecordSender> g_sender{nullptr};

void Send(int32_t level, const char* text, std::size_t length) {
    if (DebugRecordSender sender = g_sender.load()) {
        sender(level, text, length);
    }
}
}  // namespace

void SetDebugRecordSender(DebugRecordSender sender) {
    g_sender.store(sender);
}

void DebugLog(int32_t level, const char* format, ...) {
    if (level > DebugLevel) {
        return;  // nothing is formatted above the level
    }
    char text[kDebugTextSize];
    va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (written < 0) {
        return;
    }
    Send(level, text, std::strlen(text));
}

void DebugLogText(int32_t level, const char* text) {
    if (level > DebugLevel) {
        return;
    }
    Send(level, text, std::min(std::strlen(text), kDebugTextSize - 1));
}
