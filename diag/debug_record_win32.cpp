#include "diag/debug_record_win32.h"

#include <windows.h>

namespace {
constexpr UINT kViewerTimeoutMs = 1000;
}

int SendDebugRecord(int32_t level, const char* text, std::size_t length) {
    HWND viewer = FindWindowA(nullptr, kDebugViewerTitle);
    if (viewer == nullptr) {
        return -1;
    }
    COPYDATASTRUCT record{};
    record.dwData = static_cast<ULONG_PTR>(level);
    record.cbData = static_cast<DWORD>(length);
    record.lpData = const_cast<char*>(text);
    // A viewer that stops responding must not freeze the logging thread, the UI included.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(viewer, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record), SMTO_ABORTIFHUNG,
                        kViewerTimeoutMs, &ignored);
    return 0;
}
