#include "app/crash_restart_win32.h"

#include <windows.h>
#include <dbghelp.h>
#include <shlobj.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/crash_restart.h"
#include "win/handles_win32.h"

namespace {

using MiniDumpWriteDumpFn = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE,
                                          PMINIDUMP_EXCEPTION_INFORMATION,
                                          PMINIDUMP_USER_STREAM_INFORMATION,
                                          PMINIDUMP_CALLBACK_INFORMATION);

// Worked out at start-up: the filter runs in a damaged process and should do little.
std::wstring g_dumpFolder;  // %LOCALAPPDATA%\Velmora\KRYTray
std::wstring g_program;     // this executable
LONG g_inFilter = 0;

std::wstring Widen(const std::string& text) {
    return std::wstring(text.begin(), text.end());  // ASCII names only
}

std::string Narrow(const wchar_t* text) {
    std::string result;
    for (; *text != L'\0'; ++text) {
        result += static_cast<char>(*text);
    }
    return result;
}

int64_t Seconds(const FILETIME& time) {
    const ULARGE_INTEGER ticks{{time.dwLowDateTime, time.dwHighDateTime}};
    return static_cast<int64_t>(ticks.QuadPart / 10000000ULL);
}

bool WriteDump(EXCEPTION_POINTERS* exception) {
    wchar_t system[MAX_PATH];
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return false;
    }
    // By full path: a dbghelp.dll beside the program or in the current folder is not loaded.
    const UniqueModule dbghelp(LoadLibraryW((std::wstring(system) + L"\\dbghelp.dll").c_str()));
    const auto write = dbghelp ? reinterpret_cast<MiniDumpWriteDumpFn>(reinterpret_cast<void*>(
                                     GetProcAddress(dbghelp.get(), "MiniDumpWriteDump")))
                               : nullptr;
    if (write == nullptr) {
        return false;
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    const std::wstring path =
        g_dumpFolder + L"\\" +
        Widen(DumpFileName(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond,
                           now.wMilliseconds));
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const UniqueKernelHandle owner(file);
    MINIDUMP_EXCEPTION_INFORMATION info{GetCurrentThreadId(), exception, FALSE};
    return write(GetCurrentProcess(), GetCurrentProcessId(), file, MiniDumpNormal, &info, nullptr,
                 nullptr) != FALSE;
}

// Deletes all but the newest dumps and returns the times of those kept.
std::vector<int64_t> PruneDumps() {
    std::vector<std::string> names;
    std::vector<std::pair<std::string, int64_t>> found;
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW((g_dumpFolder + L"\\crash-*.dmp").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        const UniqueFindHandle owner(search);
        do {
            found.emplace_back(Narrow(entry.cFileName), Seconds(entry.ftLastWriteTime));
            names.push_back(found.back().first);
        } while (FindNextFileW(search, &entry));
    }
    const std::vector<std::string> doomed = DumpsToDelete(names);
    std::vector<int64_t> times;
    for (const auto& [name, time] : found) {
        if (std::find(doomed.begin(), doomed.end(), name) == doomed.end()) {
            times.push_back(time);
        } else {
            DeleteFileW((g_dumpFolder + L"\\" + Widen(name)).c_str());
        }
    }
    return times;
}

void StartAgain() {
    std::wstring commandLine = L"\"" + g_program + L"\" " + Widen(kAfterCrashArgument) + L" " +
                               std::to_wstring(GetCurrentProcessId());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(g_program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* exception) {
    if (InterlockedExchange(&g_inFilter, 1) == 0 && !g_dumpFolder.empty()) {
        const std::wstring parent = g_dumpFolder.substr(0, g_dumpFolder.rfind(L'\\'));
        CreateDirectoryW(parent.c_str(), nullptr);
        CreateDirectoryW(g_dumpFolder.c_str(), nullptr);
        if (WriteDump(exception)) {
            FILETIME now;
            GetSystemTimeAsFileTime(&now);
            if (ShouldRestart(PruneDumps(), Seconds(now))) {
                StartAgain();
            }
        }
    }
    // Ended here, before any debugger or error report is offered: the user sees nothing, the
    // restarted copy takes over (or, after too many crashes, the program stays down).
    TerminateProcess(GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

void InstallCrashRestart() {
    wchar_t path[MAX_PATH];
    if (SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path) == S_OK) {
        g_dumpFolder = std::wstring(path) + L"\\Velmora\\KRYTray";
    }
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        g_program = path;
    }
    SetUnhandledExceptionFilter(OnUnhandledException);
}

void WaitForCrashedCopy() {
    const std::optional<uint32_t> pid = CrashedCopyProcessId(GetCommandLineA());
    if (!pid) {
        return;
    }
    const UniqueKernelHandle crashed(OpenProcess(SYNCHRONIZE, FALSE, *pid));
    if (crashed) {
        WaitForSingleObject(crashed.get(), kCrashedCopyWaitMs);
    }
}
