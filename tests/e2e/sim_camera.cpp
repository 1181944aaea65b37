#include "sim_camera.h"

#include <windows.h>

#include <sstream>

#include "e2e_support.h"

namespace sim {

std::string Camctl(const std::string& arguments, bool* ok) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    CreatePipe(&readEnd, &writeEnd, &inherit, 0);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    const std::string path = BinDirectory() + "\\camctl.exe";
    std::string commandLine = "\"" + path + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info{};
    const BOOL started = CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &info);
    CloseHandle(writeEnd);
    std::string output;
    if (started) {
        char buffer[4096];
        DWORD read = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &read, nullptr) && read > 0) {
            output.append(buffer, read);
        }
        WaitForSingleObject(info.hProcess, 10000);
        DWORD exitCode = 1;
        GetExitCodeProcess(info.hProcess, &exitCode);
        if (ok != nullptr) {
            *ok = exitCode == 0;
        }
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    } else if (ok != nullptr) {
        *ok = false;
    }
    CloseHandle(readEnd);
    return output;
}

void Reset() {
    Camctl("unplug");
    Camctl("unplug-plain");
    Camctl("kind 1");
    Camctl("pixels 307200");
    Camctl("journal-clear");
}

std::vector<std::string> Journal() {
    std::istringstream text(Camctl("journal"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty()) {
            lines.push_back(line);
        }
    }
    return lines;
}

std::vector<std::string> JournalLines(const std::string& prefix) {
    std::vector<std::string> matching;
    for (const auto& line : Journal()) {
        if (line.rfind(prefix, 0) == 0) {
            matching.push_back(line);
        }
    }
    return matching;
}

unsigned Status() {
    return static_cast<unsigned>(std::stoul(Camctl("status"), nullptr, 16));
}

}  // namespace sim
