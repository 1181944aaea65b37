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
#include "win/system_library_win32.h"
#include "win/text_win32.h"

namespace {

using MiniDumpWriteDumpFn = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE,
                                          PMINIDUMP_EXCEPTION_INFORMATION,
                                          PMINIDUMP_USER_STREAM_INFORMATION,
                                          PMINIDUMP_CALLBACK_INFORMATION);

constexpr DWORD kDumpWaitMs = 10000;

// Worked out at start-up: the filter runs in a damaged process and should do little.
std::wstring g_dumpFolder;  // %LOCALAPPDATA%\Velmora\KRYTray
std::wstring g_program;     // this executable
LONG g_inFilter = 0;

int64_t Seconds(const FILETIME& time) {
    const ULARGE_INTEGER ticks{{time.dwLowDateTime, time.dwHighDateTime}};
    return static_cast<int64_t>(ticks.QuadPart / 10000000ULL);
}

std::wstring DumpFolder() {
    wchar_t path[MAX_PATH];
    if (SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) {
        return {};
    }
    return std::wstring(path) + L"\\Velmora\\KRYTray";
}

// Set by the copy that wrote the dump, waited for by the crashed copy.
std::wstring DumpedEventName(DWORD processId) {
    return L"Local\\Velmora.KRYTray.Dumped." + std::to_wstring(processId);
}

// Creates an empty dump file: the record of the crash, even when no dump can be written into
// it. Returns its name.
std::string CreateDumpFile() {
    const std::wstring parent = g_dumpFolder.substr(0, g_dumpFolder.rfind(L'\\'));
    CreateDirectoryW(parent.c_str(), nullptr);
    CreateDirectoryW(g_dumpFolder.c_str(), nullptr);
    SYSTEMTIME now;
    GetLocalTime(&now);
    const std::string name = DumpFileName(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
                                          now.wSecond, now.wMilliseconds);
    const UniqueKernelHandle file =
        OwnFileHandle(CreateFileW((g_dumpFolder + L"\\" + FromUtf8(name)).c_str(), GENERIC_WRITE, 0,
                                  nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file ? name : std::string();
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
            found.emplace_back(ToUtf8(entry.cFileName), Seconds(entry.ftLastWriteTime));
            names.push_back(found.back().first);
        } while (FindNextFileW(search, &entry));
    }
    const std::vector<std::string> doomed = DumpsToDelete(names);
    std::vector<int64_t> times;
    for (const auto& [name, time] : found) {
        if (std::find(doomed.begin(), doomed.end(), name) == doomed.end()) {
            times.push_back(time);
        } else {
            DeleteFileW((g_dumpFolder + L"\\" + FromUtf8(name)).c_str());
        }
    }
    return times;
}

// Starts the copy that dumps this process, and waits until it has.
void StartDumpingCopy(const CrashedCopy& crashed) {
    const UniqueKernelHandle dumped(
        CreateEventW(nullptr, TRUE, FALSE, DumpedEventName(crashed.processId).c_str()));
    std::wstring commandLine = L"\"" + g_program + L"\" " + FromUtf8(CrashedCopyArguments(crashed));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!dumped || !CreateProcessW(g_program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                                   0, nullptr, nullptr, &startup, &process)) {
        return;
    }
    const UniqueKernelHandle thread(process.hThread);
    const UniqueKernelHandle child(process.hProcess);
    const HANDLE waits[] = {dumped.get(), child.get()};  // a copy that dies does not keep us
    WaitForMultipleObjects(2, waits, FALSE, kDumpWaitMs);
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* exception) {
    if (InterlockedExchange(&g_inFilter, 1) == 0 && !g_dumpFolder.empty() && !g_program.empty()) {
        CrashedCopy crashed;
        crashed.dumpName = CreateDumpFile();
        if (!crashed.dumpName.empty()) {
            FILETIME now;
            GetSystemTimeAsFileTime(&now);
            crashed.processId = GetCurrentProcessId();
            crashed.threadId = GetCurrentThreadId();
            crashed.exceptionPointers = reinterpret_cast<uintptr_t>(exception);
            crashed.restart = ShouldRestart(PruneDumps(), Seconds(now));
            StartDumpingCopy(crashed);
        }
    }
    // Ended here, before any debugger or error report is offered: the user sees nothing, the
    // new copy takes over (or, after too many crashes, the program stays down).
    TerminateProcess(GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

void WriteDumpOf(const CrashedCopy& crashed, HANDLE process) {
    const UniqueModule dbghelp = LoadSystemLibrary(L"dbghelp.dll");
    const auto write = LookUpFunction<MiniDumpWriteDumpFn>(dbghelp.get(), "MiniDumpWriteDump");
    const std::wstring path = DumpFolder() + L"\\" + FromUtf8(crashed.dumpName);
    const UniqueKernelHandle file = OwnFileHandle(CreateFileW(
        path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (write == nullptr || !file) {
        return;
    }
    // The dump needs no symbols: with the process known to dbghelp and symbol loading deferred,
    // it does not read the debug information of every module first (seconds under Wine).
    const auto setOptions = LookUpFunction<DWORD(WINAPI*)(DWORD)>(dbghelp.get(), "SymSetOptions");
    const auto initialize =
        LookUpFunction<BOOL(WINAPI*)(HANDLE, PCWSTR, BOOL)>(dbghelp.get(), "SymInitializeW");
    const auto cleanup = LookUpFunction<BOOL(WINAPI*)(HANDLE)>(dbghelp.get(), "SymCleanup");
    const bool initialized = setOptions != nullptr && initialize != nullptr && cleanup != nullptr &&
                             (setOptions(SYMOPT_DEFERRED_LOADS), true) &&
                             initialize(process, nullptr, FALSE) != FALSE;
    MINIDUMP_EXCEPTION_INFORMATION info{
        crashed.threadId,
        reinterpret_cast<EXCEPTION_POINTERS*>(static_cast<uintptr_t>(crashed.exceptionPointers)),
        TRUE};  // the pointers are the crashed process's
    write(process, crashed.processId, file.get(), MiniDumpNormal, &info, nullptr, nullptr);
    if (initialized) {
        cleanup(process);
    }
}

}  // namespace

void InstallCrashRestart() {
    g_dumpFolder = DumpFolder();
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        g_program = path;
    }
    SetUnhandledExceptionFilter(OnUnhandledException);
}

bool HandleCrashedCopy() {
    const std::optional<CrashedCopy> crashed = ParseCrashedCopy(GetCommandLineA());
    if (!crashed) {
        return true;
    }
    const UniqueKernelHandle process(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_DUP_HANDLE | SYNCHRONIZE,
                    FALSE, crashed->processId));
    if (process) {
        WriteDumpOf(*crashed, process.get());
    }
    const UniqueKernelHandle dumped(
        OpenEventW(EVENT_MODIFY_STATE, FALSE, DumpedEventName(crashed->processId).c_str()));
    if (dumped) {
        SetEvent(dumped.get());
    }
    if (process) {
        WaitForSingleObject(process.get(), kCrashedCopyWaitMs);
    }
    return crashed->restart;
}
