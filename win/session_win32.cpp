#include "win/session_win32.h"

#include <versionhelpers.h>

#include "win/system_library_win32.h"

namespace {
constexpr DWORD kNotifyForThisSession = 0;     // NOTIFY_FOR_THIS_SESSION
constexpr int kWtsSessionInfoEx = 25;          // WTS_INFO_CLASS WTSSessionInfoEx
constexpr LONG kWtsSessionStateLock = 0;       // WTS_SESSIONSTATE_LOCK
constexpr DWORD kCurrentSession = 0xFFFFFFFF;  // WTS_CURRENT_SESSION
const HANDLE kCurrentServer = nullptr;         // WTS_CURRENT_SERVER_HANDLE

// WTSINFOEXW with its level-1 data, as far as it is read here. The data is a union holding
// LARGE_INTEGERs: it starts 8-aligned.
struct SessionInfoEx {
    DWORD level;
    alignas(8) ULONG sessionId;
    INT sessionState;
    LONG sessionFlags;
};

HMODULE Wtsapi() {
    static const UniqueModule library = LoadSystemLibrary(L"wtsapi32.dll");
    return library.get();
}

template <typename FunctionPointer>
FunctionPointer Wts(const char* name) {
    return LookUpFunction<FunctionPointer>(Wtsapi(), name);
}
}  // namespace

bool RegisterSessionNotifications(HWND window) {
    using RegisterFn = BOOL(WINAPI*)(HWND, DWORD);
    static const auto registerFn = Wts<RegisterFn>("WTSRegisterSessionNotification");
    return registerFn != nullptr && registerFn(window, kNotifyForThisSession) != FALSE;
}

void UnregisterSessionNotifications(HWND window) {
    using UnregisterFn = BOOL(WINAPI*)(HWND);
    static const auto unregisterFn = Wts<UnregisterFn>("WTSUnRegisterSessionNotification");
    if (unregisterFn != nullptr) {
        unregisterFn(window);
    }
}

bool OwnSessionOnConsole() {
    using ConsoleFn = DWORD(WINAPI*)();
    using SessionOfFn = BOOL(WINAPI*)(DWORD, DWORD*);
    static const auto console =
        LookUpLoadedFunction<ConsoleFn>(L"kernel32.dll", "WTSGetActiveConsoleSessionId");
    static const auto sessionOf =
        LookUpLoadedFunction<SessionOfFn>(L"kernel32.dll", "ProcessIdToSessionId");
    DWORD own = 0;
    if (console == nullptr || sessionOf == nullptr ||
        sessionOf(GetCurrentProcessId(), &own) == FALSE) {
        return true;
    }
    // 0xFFFFFFFF while the console is between sessions: nobody is in front.
    return console() == own;
}

bool OwnSessionLocked() {
    // Windows 7 reports the two lock states the wrong way round; older ones not at all.
    if (!IsWindows8OrGreater()) {
        return false;
    }
    using QueryFn = BOOL(WINAPI*)(HANDLE, DWORD, int, LPWSTR*, DWORD*);
    using FreeFn = void(WINAPI*)(PVOID);
    static const auto query = Wts<QueryFn>("WTSQuerySessionInformationW");
    static const auto free = Wts<FreeFn>("WTSFreeMemory");
    LPWSTR buffer = nullptr;
    DWORD bytes = 0;
    if (query == nullptr || free == nullptr ||
        query(kCurrentServer, kCurrentSession, kWtsSessionInfoEx, &buffer, &bytes) == FALSE) {
        return false;
    }
    bool locked = false;
    if (buffer != nullptr && bytes >= sizeof(SessionInfoEx)) {
        const auto* info = reinterpret_cast<const SessionInfoEx*>(buffer);
        locked = info->level == 1 && info->sessionFlags == kWtsSessionStateLock;
    }
    free(buffer);
    return locked;
}
