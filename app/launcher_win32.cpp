#include "app/launcher_win32.h"

#include <string>
#include <vector>

#include "app/command_line.h"
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
    std::wstring commandLine = FromUtf8(BuildLaunchCommandLine(ToUtf8(name)));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return false;
    }
    UniqueKernelHandle thread(process.hThread);
    UniqueKernelHandle processHandle(process.hProcess);
    return true;
}
