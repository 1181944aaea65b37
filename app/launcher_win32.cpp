#include "app/launcher_win32.h"

#include <shellapi.h>

#include <atomic>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "app/command_line.h"
#include "app/launch_fallback.h"
#include "diag/debug_log.h"
#include "win/handles_win32.h"
#include "win/text_win32.h"

namespace {

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool HasDirectory(const std::wstring& name) {
    return name.find_first_of(L"\\/:") != std::wstring::npos;
}

// The runtime's lookup: the name itself first, then each PATH entry.
std::wstring ResolveProgram(const std::wstring& name) {
    if (IsFile(name)) {
        return name;
    }
    if (HasDirectory(name)) {
        return {};
    }
    const DWORD pathLength = GetEnvironmentVariableW(L"PATH", nullptr, 0);
    if (pathLength == 0) {
        return {};
    }
    std::vector<wchar_t> searchPath(pathLength);
    GetEnvironmentVariableW(L"PATH", searchPath.data(), pathLength);
    wchar_t found[MAX_PATH];
    const DWORD length =
        SearchPathW(searchPath.data(), name.c_str(), L".exe", MAX_PATH, found, nullptr);
    return length > 0 && length < MAX_PATH ? std::wstring(found, length) : std::wstring();
}

std::wstring CurrentFolder() {
    const DWORD length = GetCurrentDirectoryW(0, nullptr);
    if (length == 0) {
        return {};
    }
    std::wstring folder(length, L'\0');
    folder.resize(GetCurrentDirectoryW(length, folder.data()));
    return folder;
}

class ComApartment {
public:
    // Shell extensions that a start may load can need a single-threaded apartment.
    ComApartment()
        : m_result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComApartment() {
        if (SUCCEEDED(m_result)) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT m_result;
};

// One consent prompt at a time: presses while one is open start nothing more.
std::atomic<bool> g_consentOpen{false};

struct ShellStart {
    std::wstring program;
    std::wstring parameters;
    std::wstring folder;
};

// On a thread of its own: the shell returns only once the user has answered the consent prompt,
// which for a program in the background waits in the taskbar, while the window thread has to
// keep answering the menu, the session's end and Restart Manager.
void StartThroughShell(const ShellStart& start) {
    DWORD error = 0;
    {
        const ComApartment apartment;
        SHELLEXECUTEINFOW info{};
        info.cbSize = sizeof info;
        // Complete before returning, as on any thread that ends right after; a failure is a
        // debug record, never a message box of a program in the background.
        info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
        info.lpVerb = L"open";
        info.lpFile = start.program.c_str();
        info.lpParameters = start.parameters.c_str();
        info.lpDirectory = start.folder.empty() ? nullptr : start.folder.c_str();
        info.nShow = SW_SHOWNORMAL;
        if (!ShellExecuteExW(&info)) {
            error = GetLastError();
        }
    }
    const std::string name = ToAnsi(start.program);
    switch (AfterShellStart(error)) {
        case StartOutcome::Started:
            DebugLog(kLogEvent, "Started after consent: %s", name.c_str());
            break;
        case StartOutcome::Refused:
            DebugLog(kLogEvent, "Consent refused: %s", name.c_str());
            break;
        default:
            DebugLog(kLogEvent, "Not started through the shell (error %lu): %s", error,
                     name.c_str());
            break;
    }
    g_consentOpen = false;
}

void AskForConsent(ShellStart start) {
    if (g_consentOpen.exchange(true)) {
        DebugLog(kLogEvent, "Consent prompt already open");
        return;
    }
    try {
        // Not joined: at the program's end the thread is cut off with its unanswered prompt.
        std::thread([start = std::move(start)] { StartThroughShell(start); }).detach();
    } catch (const std::system_error&) {
        g_consentOpen = false;
        DebugLog(kLogEvent, "No thread for the consent prompt");
    }
}

}  // namespace

bool StartProgramNoWait(const wchar_t* name) {
    if (name == nullptr || *name == L'\0') {
        return false;
    }
    const std::wstring program = ResolveProgram(name);
    if (program.empty()) {
        return false;
    }
    // The quoting rules act on ASCII blanks, tabs, quotes and backslashes only, which UTF-8
    // keeps as they are: every other character passes through unchanged.
    const std::vector<std::string> argv = LaunchArguments(ToUtf8(name));
    std::wstring commandLine = FromUtf8(BuildCommandLine(argv));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const DWORD error = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                                       0, nullptr, nullptr, &startup, &process)
                            ? 0
                            : GetLastError();
    switch (AfterDirectStart(error)) {
        case StartOutcome::Started: {
            const UniqueKernelHandle thread(process.hThread);
            const UniqueKernelHandle processHandle(process.hProcess);
            return true;
        }
        case StartOutcome::AskConsent:
            // The shell puts the program's path first on the command line, then these.
            AskForConsent({program, FromUtf8(BuildArguments({argv.begin() + 1, argv.end()})),
                           CurrentFolder()});
            return true;
        default:
            DebugLog(kLogEvent, "Not started (error %lu)", error);
            return false;
    }
}
