#include "sim_camera.h"

#include <windows.h>

#include <sstream>

#include "e2e_support.h"

namespace sim {
namespace {

// Appends what the pipe holds; with `toEnd`, everything until the writer has gone.
void Drain(HANDLE pipe, std::string* output, bool toEnd) {
    char buffer[4096];
    for (;;) {
        DWORD available = 0;
        if (!toEnd &&
            (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) || available == 0)) {
            return;
        }
        DWORD read = 0;
        if (!ReadFile(pipe, buffer, sizeof buffer, &read, nullptr) || read == 0) {
            return;
        }
        output->append(buffer, read);
    }
}

}  // namespace

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
        // camctl may broadcast WM_DEVICECHANGE and wait for every top-level window, this
        // thread's too: they answer while it runs (otherwise each broadcast stalls for its whole
        // timeout), and its output is drained so that it never blocks on a full pipe.
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        for (;;) {
            Drain(readEnd, &output, false);
            const DWORD wait =
                MsgWaitForMultipleObjects(1, &info.hProcess, FALSE, 10, QS_SENDMESSAGE);
            if (wait == WAIT_OBJECT_0 || std::chrono::steady_clock::now() >= deadline) {
                break;
            }
            MSG message;
            PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
        Drain(readEnd, &output, true);
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
    Camctl("fault none");
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
