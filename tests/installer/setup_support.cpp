#include "setup_support.h"

#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "tests/e2e/e2e_support.h"
#include "tests/e2e/menu_driver.h"

namespace setup {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string SetupPath() {
    return Environment("KRY_SETUP");
}

std::string DefaultLanguageFile() {
    return Environment("KRY_DEFAULT_INI");
}

std::string LanguageFilePath() {
    char directory[MAX_PATH] = "";
    GetSystemDirectoryA(directory, MAX_PATH);
    return std::string(directory) + "\\LUMA64.ini";
}

std::optional<Started> Start(const std::string& commandLine, DWORD flags) {
    std::string line = commandLine;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr,
                        &startup, &info)) {
        return std::nullopt;
    }
    return Started{UniqueKernelHandle(info.hProcess), UniqueKernelHandle(info.hThread),
                   info.dwProcessId};
}

bool RunAndWait(const std::string& commandLine, DWORD* exitCode,
                std::chrono::milliseconds timeout) {
    const auto started = Start(commandLine);
    if (!started) {
        return false;
    }
    HANDLE process = started->process.get();
    if (WaitForSingleObject(process, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
        TerminateProcess(process, 99);
        return false;
    }
    return GetExitCodeProcess(process, exitCode) != FALSE;
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out);
}

bool PathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string FileVersion(const std::string& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    std::string block(size, '\0');
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    if (size == 0 || !GetFileVersionInfoA(path.c_str(), 0, size, block.data()) ||
        !VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &infoSize) ||
        infoSize < sizeof *info) {
        return "";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", HIWORD(info->dwFileVersionMS),
                  LOWORD(info->dwFileVersionMS), HIWORD(info->dwFileVersionLS),
                  LOWORD(info->dwFileVersionLS));
    return text;
}

std::vector<Copy> RunningProcesses(const char* exeName) {
    std::vector<Copy> copies;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return copies;
    }
    UniqueKernelHandle owner(snapshot);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, exeName) != 0) {
            continue;
        }
        Copy copy{entry.th32ProcessID, ""};
        UniqueKernelHandle process(
            OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
        char path[MAX_PATH];
        DWORD length = MAX_PATH;
        if (process && QueryFullProcessImageNameA(process.get(), 0, path, &length)) {
            copy.imagePath.assign(path, length);
        }
        copies.push_back(copy);
    }
    return copies;
}

bool ShowsTrayIcon(DWORD processId) {
    return menu_driver::TrayIconWindow(processId, menu_driver::kUnpluggedIcon) != nullptr ||
           menu_driver::TrayIconWindow(processId, menu_driver::kPluggedIcon) != nullptr;
}

UniqueKernelHandle OpenForWait(DWORD processId) {
    return UniqueKernelHandle(
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
}

void EndAllCopies() {
    for (const Copy& copy : RunningProcesses()) {
        UniqueKernelHandle process(
            OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, copy.processId));
        if (HWND controller = ControllerWindowOf(copy.processId)) {
            SendExitTo(controller);
        }
        if (process && WaitForSingleObject(process.get(), 5000) != WAIT_OBJECT_0) {
            TerminateProcess(process.get(), 99);
            WaitForSingleObject(process.get(), 5000);
        }
    }
}

}  // namespace setup
