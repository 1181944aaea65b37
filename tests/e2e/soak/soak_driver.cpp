// krytray_soak: drives a running KRYTray.exe through plug/unplug cycles of the simulated camera,
// opening and closing its tray menu now and then, and checks that it keeps up and ends with the
// camera open. tools/scripts/soak.sh starts the program and watches its memory around two runs.
//
// Usage: krytray_soak [--cycles N] [--menu-every M]
// The program must run with the debug level 103 (its records pace the cycles). A cycle unplugs
// the camera, waits for "plug out or stop", plugs it in again and waits for "plug in and play!".
// Exit code: 0 when every check held, 1 otherwise, 2 on a usage error.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "check_report.h"
#include "sim/simcam_control.h"
#include "win/handles_win32.h"

#include "debug_viewer.h"
#include "e2e_support.h"
#include "menu_driver.h"

namespace {

constexpr auto kTickDeadline = 5s;  // a status tick comes every second

bool Check(bool ok, const std::string& what) {
    return Expect(ok, what, true);
}

// Opens the plugged-in menu from its icon, opens the effects submenu, and closes both with Escape.
bool OpenAndCloseMenu(DWORD processId) {
    HWND icon = nullptr;
    if (!PollUntil(
            [&] {
                return (icon = menu_driver::TrayIconWindow(processId, menu_driver::kPluggedIcon)) !=
                       nullptr;
            },
            3s)) {
        return Check(false, "no plugged-in icon to open the menu from");
    }
    HWND menu = menu_driver::OpenTrayMenu(icon, menu_driver::kPluggedIcon);
    if (!Check(menu != nullptr, "the tray menu did not open")) {
        return false;
    }
    menu_driver::PressKey(menu, VK_DOWN, 3);  // title, "Video Capture Filter", effects
    menu_driver::PressKey(menu, VK_RIGHT);
    const bool submenu = menu_driver::WaitForNewMenuWindow(processId, {menu}) != nullptr;
    Check(submenu, "the effects submenu did not open");
    menu_driver::PressKey(menu, VK_ESCAPE, submenu ? 2 : 1);
    return Check(menu_driver::WaitMenusClosed(processId), "the tray menu did not close");
}

std::ptrdiff_t LastIndexOf(const std::vector<std::string>& lines, const std::string& line) {
    const auto found = std::find(lines.rbegin(), lines.rend(), line);
    return found == lines.rend() ? -1 : std::distance(found, lines.rend()) - 1;
}

// The camera stays open after the last plug-in: every filter but one was released, and the
// poller still reaches the open one.
void CheckCameraOpen(DebugViewer& viewer) {
    std::vector<std::string> lines = simcam::JournalLines();
    const auto created = std::count(lines.begin(), lines.end(), "filter-created");
    const auto released = std::count(lines.begin(), lines.end(), "filter-released");
    std::printf("driver journal: %lld filters created, %lld released, %lld snap-button polls\n",
                static_cast<long long>(created), static_cast<long long>(released),
                static_cast<long long>(std::count(lines.begin(), lines.end(), "set 14 4 0 0 0")));
    Check(created == released + 1, "filters created " + std::to_string(created) + ", released " +
                                       std::to_string(released) + ": one should stay open");
    viewer.Clear();
    // The poller sleeps up to five seconds between checks.
    Check(viewer.WaitFor("Check snap button", 7s), "no snap-button check after the last plug-in");
    const bool polled = PollUntil(
        [&] {
            lines = simcam::JournalLines();
            return LastIndexOf(lines, "set 14 4 0 0 0") > LastIndexOf(lines, "filter-created");
        },
        3s);
    Check(polled && LastIndexOf(lines, "filter-created") > LastIndexOf(lines, "filter-released"),
          "the camera is not open at the end, or the poller does not reach it");
}

int Usage() {
    std::fprintf(stderr, "usage: krytray_soak [--cycles N] [--menu-every M]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    int cycles = 500;
    int menuEvery = 25;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--cycles") == 0 && i + 1 < argc) {
            cycles = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--menu-every") == 0 && i + 1 < argc) {
            menuEvery = std::atoi(argv[++i]);
        } else {
            return Usage();
        }
    }
    if (cycles < 0 || menuEvery <= 0) {
        return Usage();
    }

    const KeeperIcon keeper;
    DebugViewer viewer;
    HWND controller = nullptr;
    if (!PollUntil([&] { return (controller = ControllerWindowOf(0)); }, 20s)) {
        std::printf("FAIL KRYTray is not running\n");
        return 1;
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(controller, &processId);
    const UniqueKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
    const auto alive = [&] { return WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT; };

    simcam::SetActive(true);
    if (!simcam::IsPlugged(simcam::Device::Camera)) {
        simcam::Plug(simcam::Device::Camera);
    }
    Check(PollUntil(
              [&] {
                  return menu_driver::TrayIconWindow(processId, menu_driver::kPluggedIcon) !=
                         nullptr;
              },
              kTickDeadline),
          "the plugged-in icon is not shown at the start");

    const auto start = std::chrono::steady_clock::now();
    int menus = 0;
    for (int cycle = 1; cycle <= cycles && g_failures == 0; ++cycle) {
        const std::string name = "cycle " + std::to_string(cycle) + ": ";
        viewer.Clear();
        simcam::Unplug(simcam::Device::Camera);  // returns once the program handled the change
        Check(viewer.WaitFor("plug out or stop", kTickDeadline), name + "no \"plug out or stop\"");
        viewer.Clear();
        simcam::Plug(simcam::Device::Camera);
        Check(viewer.WaitFor("plug in and play!", kTickDeadline),
              name + "no \"plug in and play!\"");
        if (cycle % menuEvery == 0) {
            OpenAndCloseMenu(processId);
            ++menus;
        }
        Check(alive(), name + "the program has ended");
        if (cycle % 25 == 0 || cycle == cycles) {
            const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                std::chrono::steady_clock::now() - start);
            std::printf("%d/%d cycles, %d menus, %lld s\n", cycle, cycles, menus,
                        static_cast<long long>(seconds.count()));
            std::fflush(stdout);
        }
    }
    if (g_failures == 0) {
        Check(menu_driver::TrayIconWindow(processId, menu_driver::kPluggedIcon) != nullptr,
              "the plugged-in icon is not shown at the end");
        CheckCameraOpen(viewer);
        Check(alive(), "the program has ended");
    }
    std::printf(g_failures == 0 ? "soak OK\n" : "soak FAILED\n");
    return g_failures == 0 ? 0 : 1;
}
