#include "app/launcher_win32.h"

#include <windows.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "win/handles_win32.h"

namespace {

bool IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool HasDirectory(const std::string& name) {
    return name.find_first_of("\\/:") != std::string::npos;
}

// The runtime's lookup: the name itself first, then each PATH entry.
std::string ResolveProgram(const std::string& name) {
    if (IsFile(name)) {
        return name;
    }
    if (HasDirectory(name)) {
        return {};
    }
    const DWORD pathLength = GetEnvironmentVariableA("PATH", nullptr, 0);
    if (pathLength == 0) {
        return {};
    }
    std::vector<char> searchPath(pathLength);
    GetEnvironmentVariableA("PATH", searchPath.data(), pathLength);
    char found[MAX_PATH];
    const DWORD length =
        SearchPathA(searchPath.data(), name.c_str(), ".exe", MAX_PATH, found, nullptr);
    return length > 0 && length < MAX_PATH ? std::string(found, length) : std::string();
}

}  // namespace

bool StartProgramNoWait(const char* name) {
    if (name == nullptr || *name == '\0') {
        return false;
    }
    const std::string program = ResolveProgram(name);
    if (program.empty()) {
        return false;
    }
    std::string commandLine = BuildLaunchCommandLine(name);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return false;
    }
    UniqueKernelHandle thread(process.hThread);
    UniqueKernelHandle processHandle(process.hProcess);
    return true;
}
