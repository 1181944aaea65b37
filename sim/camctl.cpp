// camctl: command line control of the simulated camera (see simcam_control.h).
//   camctl plug | unplug | plug-plain | unplug-plain | devchange
//   camctl press | kind <n> | pixels <n> | active on|off
//   camctl status | set-status <hex>
//   camctl journal | journal-clear | journal-path <path> | still-dir <path>
//   camctl wait-journal <line> [timeout-ms]
//   camctl fault none|hang|fail|crash|gone
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "sim/driver_fault.h"
#include "sim/simcam_control.h"
#include "sim/text_convert.h"

namespace {

constexpr DWORD kDefaultWaitMs = 5000;

using Args = std::vector<std::string>;

struct Command {
    const char* name;
    size_t minArgs;
    size_t maxArgs;
    const char* usage;
    int (*run)(const Args& args);
};

std::string ErrorText(LONG error) {
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = length > 0 ? std::string(buffer, length) : "error " + std::to_string(error);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    return text;
}

int Report(LONG error, const char* what) {
    if (error == ERROR_SUCCESS) {
        return 0;
    }
    std::fprintf(stderr, "camctl: %s failed: %s\n", what, ErrorText(error).c_str());
    return 1;
}

// Parses a whole unsigned 32-bit number in the given base; false on anything else.
bool ParseNumber(const std::string& text, int base, DWORD& value) {
    if (text.empty() || text[0] == '-') {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const unsigned long long parsed = std::strtoull(text.c_str(), &end, base);
    if (errno != 0 || *end != '\0' || parsed > 0xFFFFFFFFull) {
        return false;
    }
    value = static_cast<DWORD>(parsed);
    return true;
}

int BadNumber(const std::string& text) {
    std::fprintf(stderr, "camctl: not a valid number: %s\n", text.c_str());
    return 2;
}

int RunPlug(const Args&) {
    return Report(simcam::Plug(simcam::Device::Camera), "plug");
}
int RunUnplug(const Args&) {
    return Report(simcam::Unplug(simcam::Device::Camera), "unplug");
}
int RunPlugPlain(const Args&) {
    return Report(simcam::Plug(simcam::Device::Plain), "plug");
}
int RunUnplugPlain(const Args&) {
    return Report(simcam::Unplug(simcam::Device::Plain), "unplug");
}

int RunDevChange(const Args&) {
    simcam::BroadcastDeviceChange();
    return 0;
}

int RunPress(const Args&) {
    return Report(simcam::PressButton(), "press");
}

int RunKind(const Args& args) {
    DWORD kind = 0;
    if (!ParseNumber(args[0], 10, kind)) {
        return BadNumber(args[0]);
    }
    return Report(simcam::SetSensorKind(kind), "kind");
}

int RunPixels(const Args& args) {
    DWORD pixels = 0;
    if (!ParseNumber(args[0], 10, pixels)) {
        return BadNumber(args[0]);
    }
    return Report(simcam::SetSensorPixels(pixels), "pixels");
}

int RunActive(const Args& args) {
    if (args[0] != "on" && args[0] != "off") {
        std::fprintf(stderr, "camctl: active takes on or off, not %s\n", args[0].c_str());
        return 2;
    }
    return Report(simcam::SetActive(args[0] == "on"), "active");
}

int RunStatus(const Args&) {
    std::printf("0x%lx\n", static_cast<unsigned long>(simcam::ReadCameraStatus().value_or(0)));
    return 0;
}

int RunSetStatus(const Args& args) {
    DWORD value = 0;
    if (!ParseNumber(args[0], 16, value)) {
        return BadNumber(args[0]);
    }
    return Report(simcam::WriteCameraStatus(value), "set-status");
}

int RunJournal(const Args&) {
    const std::string text = simcam::ReadJournal();
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

int RunJournalClear(const Args&) {
    return Report(simcam::ClearJournal(), "journal-clear");
}

int RunJournalPath(const Args& args) {
    return Report(simcam::SetJournalPath(WidenAnsi(args[0])), "journal-path");
}

int RunStillDir(const Args& args) {
    return Report(simcam::SetStillFolder(WidenAnsi(args[0])), "still-dir");
}

int RunWaitJournal(const Args& args) {
    DWORD timeout = kDefaultWaitMs;
    if (args.size() > 1 && !ParseNumber(args[1], 10, timeout)) {
        return BadNumber(args[1]);
    }
    if (simcam::WaitForJournalLine(args[0], timeout)) {
        return 0;
    }
    std::fprintf(stderr, "camctl: journal line \"%s\" not seen within %lu ms\n", args[0].c_str(),
                 static_cast<unsigned long>(timeout));
    return 1;
}

int RunFault(const Args& args) {
    const std::optional<DriverFault> fault = driver_fault::Parse(args[0]);
    if (!fault) {
        std::fprintf(stderr, "camctl: fault takes none, hang, fail, crash or gone, not %s\n",
                     args[0].c_str());
        return 2;
    }
    return Report(driver_fault::Set(*fault), "fault");
}

const Command kCommands[] = {
    {"plug", 0, 0, "plug", RunPlug},
    {"unplug", 0, 0, "unplug", RunUnplug},
    {"plug-plain", 0, 0, "plug-plain", RunPlugPlain},
    {"unplug-plain", 0, 0, "unplug-plain", RunUnplugPlain},
    {"devchange", 0, 0, "devchange", RunDevChange},
    {"press", 0, 0, "press", RunPress},
    {"kind", 1, 1, "kind <n>", RunKind},
    {"pixels", 1, 1, "pixels <n>", RunPixels},
    {"active", 1, 1, "active on|off", RunActive},
    {"status", 0, 0, "status", RunStatus},
    {"set-status", 1, 1, "set-status <hex>", RunSetStatus},
    {"journal", 0, 0, "journal", RunJournal},
    {"journal-clear", 0, 0, "journal-clear", RunJournalClear},
    {"journal-path", 1, 1, "journal-path <path>", RunJournalPath},
    {"still-dir", 1, 1, "still-dir <path>", RunStillDir},
    {"wait-journal", 1, 2, "wait-journal <line> [timeout-ms]", RunWaitJournal},
    {"fault", 1, 1, "fault none|hang|fail|crash|gone", RunFault},
};

int Usage() {
    std::fprintf(stderr, "usage: camctl <command>\ncommands:\n");
    for (const Command& command : kCommands) {
        std::fprintf(stderr, "  %s\n", command.usage);
    }
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return Usage();
    }
    const std::string name = argv[1];
    const Args args(argv + 2, argv + argc);
    for (const Command& command : kCommands) {
        if (name != command.name) {
            continue;
        }
        if (args.size() < command.minArgs || args.size() > command.maxArgs) {
            std::fprintf(stderr, "usage: camctl %s\n", command.usage);
            return 2;
        }
        return command.run(args);
    }
    std::fprintf(stderr, "camctl: unknown command: %s\n", name.c_str());
    return Usage();
}
