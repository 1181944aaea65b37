// kry_perf_probe: measures the tray programs from outside, as a person or the shell sees them.
//
//   kry_perf_probe startup [--runs N]          both programs, started in turn: time to the
//                                              first tray icon and to the camera's filter
//   kry_perf_probe wait-icon <program> [ms]    waits for the program's tray icon
//   kry_perf_probe stop <program>              ends the running program the way it is asked to
//   kry_perf_probe press <stand-in> [--count N] [--seed S]
//                                              snapshot-button presses at random phases, timed
//                                              to the quick-launch stand-in's recorded start
//   kry_perf_probe menu [--count N] [--seed S] right-click on KRYTray's icon to its menu shown
//   kry_perf_probe driver-call [--count N]     CPU time of one button poll answered by the
//                                              camera's driver in the caller's process, and of
//                                              one CameraStatus read
//
// <program> is "minimal" or "krytray". Results go to standard output as name=value lines.
#include <windows.h>
#include <dshow.h>
#include <wrl/client.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "camera/kry_extension_win32.h"
#include "settings/camera_status.h"
#include "sim/simcam_control.h"
#include "e2e_support.h"
#include "menu_driver.h"
#include "stand_ins.h"
#include "tools/perf/process_cpu_win32.h"
#include "win/handles_win32.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Microsoft::WRL::ComPtr;

struct Program {
    const char* key;
    const char* exe;
    const char* iconWindowClass;
    std::vector<UINT> iconIds;  // any of them shown counts as the program's icon
};

const Program kMinimal{"minimal", "kry_minimal_tray.exe", "KRYMinimalTray", {1}};
// KRYTray adds its unplugged icon first, then the plugged-in one once the camera is found.
const Program kKRYTray{"krytray", "KRYTray.exe", "KRYTrayWindow", {131, 130}};
constexpr UINT kPluggedIconId = 130;

const Program* FindProgram(const char* key) {
    for (const Program* program : {&kMinimal, &kKRYTray}) {
        if (std::strcmp(program->key, key) == 0) {
            return program;
        }
    }
    return nullptr;
}

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The top-level windows of this class, of `processId` or of any process for 0.
std::vector<HWND> Windows(DWORD processId, const char* className, bool visibleOnly = false) {
    return ProcessWindows(processId, [&](HWND window) {
        return WindowClass(window) == className && (!visibleOnly || IsWindowVisible(window));
    });
}

// The window of `program` (in `processId`, or any process for 0) whose icon `id` is shown.
HWND IconWindow(const Program& program, DWORD processId, UINT id) {
    for (HWND window : Windows(processId, program.iconWindowClass)) {
        if (TrayIconShown(window, id)) {
            return window;
        }
    }
    return nullptr;
}

bool AnyIconShown(const Program& program, DWORD processId) {
    return std::any_of(program.iconIds.begin(), program.iconIds.end(),
                       [&](UINT id) { return IconWindow(program, processId, id) != nullptr; });
}

// Asks the program to end as its users do: KRYTray by its "EXIT" record, the minimal program by
// WM_CLOSE. False when no window of it is found.
bool AskToEnd(const Program& program, DWORD processId) {
    if (&program == &kKRYTray) {
        HWND controller = ControllerWindowOf(processId);
        if (controller != nullptr) {
            SendExitTo(controller);
        }
        return controller != nullptr;
    }
    const std::vector<HWND> windows = Windows(processId, program.iconWindowClass);
    for (HWND window : windows) {
        PostMessageA(window, WM_CLOSE, 0, 0);
    }
    return !windows.empty();
}

struct Stats {
    double median = 0;
    double worst = 0;
};

Stats Summarise(std::vector<double> values) {
    if (values.empty()) {
        return {};
    }
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    const double median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {median, values.back()};
}

void PrintSeries(const std::string& name, const std::vector<double>& values) {
    const Stats stats = Summarise(values);
    std::printf("%s.median=%.0f\n%s.worst=%.0f\n%s.all=", name.c_str(), stats.median, name.c_str(),
                stats.worst, name.c_str());
    for (size_t i = 0; i < values.size(); ++i) {
        std::printf("%s%.0f", i == 0 ? "" : " ", values[i]);
    }
    std::printf("\n");
}

bool JournalHasFilterCreated() {
    for (const std::string& line : simcam::JournalLines()) {
        if (line == "filter-created") {
            return true;
        }
    }
    return false;
}

struct StartTimes {
    double iconMs = -1;
    double cameraMs = -1;
};

// One start of `program`: from CreateProcess to its first icon in the notification area and to
// the camera's capture filter being created (the simulated driver's journal). Ends it after.
bool TimeOneStart(const Program& program, StartTimes* times) {
    simcam::SetActive(true);
    simcam::ClearJournal();
    const std::string directory = BinDirectory();
    const std::string path = directory + "\\" + program.exe;
    std::string commandLine = "\"" + path + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const auto start = Clock::now();
    if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.c_str(), &startup, &info)) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", path.c_str(), GetLastError());
        return false;
    }
    const UniqueKernelHandle process(info.hProcess);
    const UniqueKernelHandle thread(info.hThread);
    PollUntil(
        [&] {
            if (times->iconMs < 0 && AnyIconShown(program, info.dwProcessId)) {
                times->iconMs = MsSince(start);
            }
            if (times->cameraMs < 0 && JournalHasFilterCreated()) {
                times->cameraMs = MsSince(start);
            }
            return times->iconMs >= 0 && times->cameraMs >= 0;
        },
        15s, 2ms);
    AskToEnd(program, info.dwProcessId);
    if (WaitForSingleObject(process.get(), 10000) != WAIT_OBJECT_0) {
        std::fprintf(stderr, "%s did not end when asked; terminated\n", program.exe);
        TerminateProcess(process.get(), 99);
        WaitForSingleObject(process.get(), 5000);
    }
    return times->iconMs >= 0 && times->cameraMs >= 0;
}

int RunStartup(int runs) {
    // One untimed start of each first: the first start after building reads the files from
    // disk and fills caches both programs share.
    for (const Program* program : {&kMinimal, &kKRYTray}) {
        StartTimes ignored;
        TimeOneStart(*program, &ignored);
    }
    const Program* const programs[] = {&kMinimal, &kKRYTray};
    std::vector<double> icon[2];
    std::vector<double> camera[2];
    bool ok = true;
    for (int run = 0; run < runs; ++run) {
        // Alternate which program goes first, so neither always follows the other's exit.
        for (int turn = 0; turn < 2; ++turn) {
            const int which = (run + turn) % 2;
            StartTimes times;
            ok = TimeOneStart(*programs[which], &times) && ok;
            icon[which].push_back(times.iconMs);
            camera[which].push_back(times.cameraMs);
            std::this_thread::sleep_for(300ms);
        }
    }
    for (int which = 0; which < 2; ++which) {
        const std::string key = std::string("startup.") + programs[which]->key;
        PrintSeries(key + ".icon_ms", icon[which]);
        PrintSeries(key + ".camera_ms", camera[which]);
    }
    return ok ? 0 : 1;
}

int RunWaitIcon(const Program& program, int timeoutMs) {
    return PollUntil([&] { return AnyIconShown(program, 0); }, std::chrono::milliseconds(timeoutMs),
                     20ms)
               ? 0
               : 1;
}

int RunStop(const Program& program) {
    // The process of the program's icon window: the one the script started.
    const std::vector<HWND> windows = Windows(0, program.iconWindowClass);
    if (windows.empty()) {
        std::fprintf(stderr, "no %s running\n", program.exe);
        return 1;
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(windows.front(), &processId);
    const UniqueKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
    if (!AskToEnd(program, processId) || !process ||
        WaitForSingleObject(process.get(), 10000) != WAIT_OBJECT_0) {
        std::fprintf(stderr, "%s did not end when asked\n", program.exe);
        return 1;
    }
    return 0;
}

// Presses at a random point of the one-second poll period; the stand-in records its own start
// time with the same clock (GetTickCount64).
int RunPress(const std::string& standIn, int count, unsigned seed) {
    stand_in::ClearStarts(standIn);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> phase(0, 999);
    std::vector<double> delays;
    for (int press = 1; press <= count; ++press) {
        std::this_thread::sleep_for(std::chrono::milliseconds(phase(random)));
        const ULONGLONG pressedAt = GetTickCount64();
        if (simcam::PressButton() != ERROR_SUCCESS) {
            std::fprintf(stderr, "the press failed\n");
            return 1;
        }
        std::vector<std::string> starts;
        if (!PollUntil(
                [&] {
                    starts = stand_in::Starts(standIn);
                    return starts.size() >= static_cast<size_t>(press);
                },
                5s, 2ms)) {
            std::fprintf(stderr, "press %d started nothing within 5 s\n", press);
            return 1;
        }
        const ULONGLONG startedAt = std::strtoull(starts[press - 1].c_str(), nullptr, 10);
        delays.push_back(static_cast<double>(startedAt - pressedAt));
        // The next press only after this one is consumed and its status bit cleared.
        simcam::WaitForCameraStatus(STATUS_SNAP_BUTTON, 0, 3000);
    }
    std::this_thread::sleep_for(1500ms);  // a press acted on twice would show up by now
    std::printf("press.seed=%u\n", seed);
    std::printf("press.starts=%zu\n", stand_in::Starts(standIn).size());
    PrintSeries("press.delay_ms", delays);
    return 0;
}

// Posts the icon's callback as the shell reports a right-click to an icon with the newer
// behaviour (WM_RBUTTONUP, then WM_CONTEXTMENU) and waits for a visible menu window.
int RunMenu(int count, unsigned seed) {
    HWND icon = IconWindow(kKRYTray, 0, kPluggedIconId);
    if (icon == nullptr) {
        std::fprintf(stderr, "KRYTray shows no plugged-in icon\n");
        return 1;
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(icon, &processId);
    const UINT callback = menu_driver::TrayNotifyMessage();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> phase(0, 999);
    std::vector<double> delays;
    for (int i = 0; i < count; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(phase(random)));
        const auto start = Clock::now();
        PostMessageA(icon, callback, kPluggedIconId, WM_RBUTTONUP);
        PostMessageA(icon, callback, kPluggedIconId, WM_CONTEXTMENU);
        HWND menu = nullptr;
        if (!PollUntil(
                [&] {
                    const auto open = Windows(processId, "#32768", true);
                    menu = open.empty() ? nullptr : open.front();
                    return menu != nullptr;
                },
                5s, 1ms)) {
            std::fprintf(stderr, "no menu within 5 s\n");
            return 1;
        }
        delays.push_back(MsSince(start));
        menu_driver::PressKey(menu, VK_ESCAPE);
        if (!PollUntil([&] { return Windows(processId, "#32768", true).empty(); }, 5s, 2ms)) {
            std::fprintf(stderr, "the menu did not close\n");
            return 1;
        }
    }
    PrintSeries("menu.open_ms", delays);
    return 0;
}

// The first video input device's private interface, as both programs find the camera.
ComPtr<IKRYExtension> OpenExtension() {
    ComPtr<ICreateDevEnum> devices;
    ComPtr<IEnumMoniker> monikers;
    ComPtr<IMoniker> moniker;
    ComPtr<IBaseFilter> filter;
    ComPtr<IKRYExtension> extension;
    if (SUCCEEDED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ICreateDevEnum,
                                   reinterpret_cast<void**>(devices.GetAddressOf()))) &&
        devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, monikers.GetAddressOf(),
                                       0) == S_OK &&
        monikers->Next(1, moniker.GetAddressOf(), nullptr) == S_OK &&
        SUCCEEDED(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter,
                                        reinterpret_cast<void**>(filter.GetAddressOf())))) {
        filter->QueryInterface(IID_IKRYExtension,
                               reinterpret_cast<void**>(extension.GetAddressOf()));
    }
    return extension;
}

// KRYTray's button poll is a driver call in its own process; with the simulated driver that
// call reads the simulation's settings and appends to its journal, which a real driver does
// not. Timed here so the report can tell that share from the program's own.
int RunDriverCall(int count) {
    if (FAILED(CoInitialize(nullptr))) {
        return 1;
    }
    int result = 1;
    if (const ComPtr<IKRYExtension> extension = OpenExtension()) {
        double before = ProcessCpuMs();
        for (int i = 0; i < count; ++i) {
            ExtensionBuffer block{};
            block.words[0] = kSnapPollWord;
            extension->SetProperty(PROP_SNAP_POLL, &block, kExtensionBlockLength);
        }
        std::printf("driver_call.cpu_ms=%.3f\n", (ProcessCpuMs() - before) / count);
        before = ProcessCpuMs();
        for (int i = 0; i < count; ++i) {
            simcam::ReadCameraStatus();
        }
        std::printf("status_read.cpu_ms=%.3f\n", (ProcessCpuMs() - before) / count);
        result = 0;
    } else {
        std::fprintf(stderr, "no camera with the driver's interface\n");
    }
    CoUninitialize();
    return result;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: kry_perf_probe startup [--runs N] | wait-icon <program> [ms] |"
                 " stop <program> | press <stand-in> [--count N] [--seed S] |"
                 " menu [--count N] [--seed S] | driver-call [--count N]\n"
                 "   <program>: minimal | krytray\n");
    return 2;
}

// The value after `flag` among the arguments, or `fallback`.
long Option(int argc, char** argv, const char* flag, long fallback) {
    for (int i = 2; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], flag) == 0) {
            return std::strtol(argv[i + 1], nullptr, 10);
        }
    }
    return fallback;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return Usage();
    }
    const std::string command = argv[1];
    const auto seed = static_cast<unsigned>(
        Option(argc, argv, "--seed", static_cast<long>(GetTickCount64() % 100000)));
    if (command == "startup") {
        return RunStartup(static_cast<int>(Option(argc, argv, "--runs", 9)));
    }
    if (command == "menu") {
        return RunMenu(static_cast<int>(Option(argc, argv, "--count", 9)), seed);
    }
    if (command == "driver-call") {
        return RunDriverCall(static_cast<int>(Option(argc, argv, "--count", 1000)));
    }
    if (argc < 3) {
        return Usage();
    }
    if (command == "press") {
        return RunPress(argv[2], static_cast<int>(Option(argc, argv, "--count", 20)), seed);
    }
    const Program* program = FindProgram(argv[2]);
    if (program == nullptr) {
        return Usage();
    }
    if (command == "wait-icon") {
        return RunWaitIcon(*program, argc > 3 ? std::atoi(argv[3]) : 10000);
    }
    if (command == "stop") {
        return RunStop(*program);
    }
    return Usage();
}
