#include "menu_driver.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "win/handles_win32.h"
#include "menu_probe/menu_probe.h"

#include "e2e_support.h"
#include "sim_camera.h"
#include "stand_ins.h"

namespace menu_driver {

namespace {
constexpr UINT kGetMenuMessage = 0x01E1;  // MN_GETHMENU
constexpr const char* kMenuClass = "#32768";
constexpr const char* kTrayClass = "KRYTrayWindow";
constexpr const char* kProbeName = "krymenu_probe.dll";

std::vector<HWND> Windows(DWORD processId, const char* className, bool visibleOnly) {
    return ProcessWindows(processId, [&](HWND window) {
        return WindowClass(window) == className && (!visibleOnly || IsWindowVisible(window));
    });
}

std::string TempFileName(const char* prefix) {
    char directory[MAX_PATH] = "";
    GetTempPathA(sizeof directory, directory);
    char path[MAX_PATH] = "";
    GetTempFileNameA(directory, prefix, 0, path);
    return path;
}

// Runs `start(data)` on a new thread of `process` with a copy of `data` in that process.
bool RunRemoteThread(HANDLE process, UINT_PTR start, const void* data, size_t size,
                     DWORD* exitCode) {
    void* remote = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (remote == nullptr) {
        return false;
    }
    bool finished = false;
    if (WriteProcessMemory(process, remote, data, size, nullptr)) {
        const UniqueKernelHandle thread(
            CreateRemoteThread(process, nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(start),
                               remote, 0, nullptr));
        finished = thread && WaitForSingleObject(thread.get(), 5000) == WAIT_OBJECT_0 &&
                   GetExitCodeThread(thread.get(), exitCode);
    }
    if (finished) {  // a thread that has not ended may still read the copy
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    return finished;
}

template <typename T>
bool ReadRemote(HANDLE process, UINT_PTR address, T* value, size_t count = 1) {
    SIZE_T read = 0;
    return ReadProcessMemory(process, reinterpret_cast<const void*>(address), value,
                             sizeof(T) * count, &read) &&
           read == sizeof(T) * count;
}

// The address of the probe's export in the image loaded at `base` of `process`, read from the
// image's export table there (the probe is never loaded into this process), or 0.
UINT_PTR RemoteProbeExport(HANDLE process, UINT_PTR base) {
    IMAGE_DOS_HEADER dos{};
    IMAGE_NT_HEADERS nt{};
    IMAGE_EXPORT_DIRECTORY exports{};
    if (!ReadRemote(process, base, &dos) ||
        !ReadRemote(process, base + static_cast<UINT_PTR>(dos.e_lfanew), &nt)) {
        return 0;
    }
    const IMAGE_DATA_DIRECTORY directory =
        nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (directory.VirtualAddress == 0 ||
        !ReadRemote(process, base + directory.VirtualAddress, &exports)) {
        return 0;
    }
    std::vector<DWORD> names(exports.NumberOfNames);
    std::vector<WORD> ordinals(exports.NumberOfNames);
    if (names.empty() ||
        !ReadRemote(process, base + exports.AddressOfNames, names.data(), names.size()) ||
        !ReadRemote(process, base + exports.AddressOfNameOrdinals, ordinals.data(),
                    ordinals.size())) {
        return 0;
    }
    for (size_t i = 0; i < names.size(); ++i) {
        char name[32] = "";
        ReadProcessMemory(process, reinterpret_cast<const void*>(base + names[i]), name,
                          sizeof name - 1, nullptr);
        // "KryDumpMenu@4" is the stdcall name on i686.
        if (std::strcmp(name, "KryDumpMenu") == 0 || std::strcmp(name, "KryDumpMenu@4") == 0) {
            DWORD function = 0;
            return ReadRemote(process,
                              base + exports.AddressOfFunctions + sizeof(DWORD) * ordinals[i],
                              &function)
                       ? base + function
                       : 0;
        }
    }
    return 0;
}

// Runs the probe on `request` in the process; returns what went wrong, or "".
std::string RunProbe(DWORD processId, const MenuProbeRequest& request, DWORD* result) {
    const UniqueKernelHandle process(OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION |
                                                     PROCESS_VM_OPERATION | PROCESS_VM_READ |
                                                     PROCESS_VM_WRITE,
                                                 FALSE, processId));
    if (!process) {
        return "OpenProcess failed, error " + std::to_string(GetLastError());
    }
    UINT_PTR base = ProcessModuleBase(process.get(), kProbeName);
    if (base == 0) {
        // kernel32 lies at the same address in every process of one bitness.
        const auto loadLibrary = reinterpret_cast<UINT_PTR>(
            GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA"));
        const std::string path = BinDirectory() + "\\" + kProbeName;
        DWORD loaded = 0;
        if (!RunRemoteThread(process.get(), loadLibrary, path.c_str(), path.size() + 1, &loaded)) {
            return "the remote LoadLibraryA failed, error " + std::to_string(GetLastError());
        }
        base = ProcessModuleBase(process.get(), kProbeName);
        if (base == 0) {
            return "the probe is not loaded in the program";
        }
    }
    const UINT_PTR dump = RemoteProbeExport(process.get(), base);
    if (dump == 0) {
        return "no KryDumpMenu export";
    }
    if (!RunRemoteThread(process.get(), dump, &request, sizeof request, result)) {
        return "the probe's thread failed, error " + std::to_string(GetLastError());
    }
    return *result == 0 ? ""
                        : "the menu is not a menu of the program (" + std::to_string(*result) + ")";
}
}  // namespace

UINT TrayNotifyMessage() {
    static const UINT message = RegisterWindowMessageA("TrayIcon notification");
    return message;
}

HWND TrayIconWindow(DWORD processId, UINT iconId) {
    for (HWND window : Windows(processId, kTrayClass, false)) {
        if (TrayIconShown(window, iconId)) {
            return window;
        }
    }
    return nullptr;
}

std::vector<HWND> VisibleWindows(DWORD processId, const char* className) {
    return Windows(processId, className, true);
}

HWND OpenTrayMenu(HWND trayWindow, UINT iconId, std::chrono::milliseconds timeout) {
    DWORD processId = 0;
    GetWindowThreadProcessId(trayWindow, &processId);
    // Posted, not sent: the callback returns only when the menu closes. A right-click, in the
    // order the shell reports it to an icon with the newer behaviour.
    PostMessageA(trayWindow, TrayNotifyMessage(), iconId, WM_RBUTTONUP);
    PostMessageA(trayWindow, TrayNotifyMessage(), iconId, WM_CONTEXTMENU);
    HWND menu = nullptr;
    PollUntil(
        [&] {
            const auto open = VisibleWindows(processId, kMenuClass);
            menu = open.empty() ? nullptr : open.front();
            return menu != nullptr;
        },
        timeout);
    return menu;
}

HWND WaitForNewMenuWindow(DWORD processId, const std::vector<HWND>& known,
                          std::chrono::milliseconds timeout) {
    HWND fresh = nullptr;
    PollUntil(
        [&] {
            for (HWND window : VisibleWindows(processId, kMenuClass)) {
                if (std::find(known.begin(), known.end(), window) == known.end()) {
                    fresh = window;
                    return true;
                }
            }
            return false;
        },
        timeout);
    return fresh;
}

bool WaitMenusClosed(DWORD processId, std::chrono::milliseconds timeout) {
    return PollUntil([&] { return VisibleWindows(processId, kMenuClass).empty(); }, timeout);
}

HMENU MenuOfWindow(HWND menuWindow) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(menuWindow, kGetMenuMessage, 0, 0, SMTO_ABORTIFHUNG, 2000, &result);
    return reinterpret_cast<HMENU>(result);
}

namespace {
// Reads a menu of the program; returns what went wrong, or "".
std::string TryReadMenu(DWORD processId, HMENU menu, MenuContents* contents) {
    const std::string path = TempFileName("krymenu");
    MenuProbeRequest request{};
    request.menu = reinterpret_cast<UINT_PTR>(menu);
    std::snprintf(request.path, sizeof request.path, "%s", path.c_str());
    DWORD result = 1234;
    std::string problem = RunProbe(processId, request, &result);
    if (problem.empty()) {
        std::ifstream in(path, std::ios::binary);
        std::string line;
        int count = -1;
        std::getline(in, line);
        std::sscanf(line.c_str(), "count %d default %d", &count, &contents->defaultItem);
        contents->items.clear();
        while (static_cast<int>(contents->items.size()) < count && std::getline(in, line)) {
            Item item;
            unsigned long long submenu = 0;
            int textStart = 0;
            std::sscanf(line.c_str(), "%u %u %llx %n", &item.id, &item.state, &submenu, &textStart);
            item.submenu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(submenu));
            item.text = line.substr(static_cast<size_t>(textStart));
            contents->items.push_back(std::move(item));
        }
        if (static_cast<int>(contents->items.size()) != count) {
            problem = "the probe wrote " + std::to_string(contents->items.size()) + " of " +
                      std::to_string(count) + " items";
        }
    }
    DeleteFileA(path.c_str());
    return problem;
}
}  // namespace

bool ReadMenu(DWORD processId, HMENU menu, MenuContents* contents) {
    const std::string problem = TryReadMenu(processId, menu, contents);
    if (!problem.empty()) {
        ADD_FAILURE() << "reading menu " << menu << " of process " << processId << ": " << problem;
    }
    return problem.empty();
}

::testing::AssertionResult WaitHighlighted(DWORD processId, HMENU menu, int position,
                                           std::chrono::milliseconds timeout) {
    std::string seen;
    const bool highlighted = PollUntil(
        [&] {
            MenuContents contents;
            seen = TryReadMenu(processId, menu, &contents);
            if (!seen.empty()) {
                return false;
            }
            if (position >= static_cast<int>(contents.items.size())) {
                seen = "only " + std::to_string(contents.items.size()) + " items";
                return false;
            }
            seen = "not selected";
            return (contents.items[static_cast<size_t>(position)].flags() & MF_HILITE) != 0;
        },
        timeout);
    if (highlighted) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "item " << position << " of menu " << menu << ": " << seen;
}

void PressKey(HWND menuWindow, UINT virtualKey, int times) {
    for (int i = 0; i < times; ++i) {
        PostMessageA(menuWindow, WM_KEYDOWN, virtualKey, 1);
        PostMessageA(menuWindow, WM_KEYUP, virtualKey, static_cast<LPARAM>(0xC0000001u));
    }
}

}  // namespace menu_driver

void TrayMenuTest::SetUp() {
    TrayTest::SetUp();
    sim::Reset();
    stand_in::Install();
    stand_in::ClearStarts(stand_in::kViewer);
}

void TrayMenuTest::TearDown() {
    for (HWND menu : menu_driver::VisibleWindows(tray.Id(), "#32768")) {
        menu_driver::PressKey(menu, VK_ESCAPE, 3);
    }
    menu_driver::WaitMenusClosed(tray.Id());
    TrayTest::TearDown();
    sim::Reset();
}

void TrayMenuTest::StartPlugged(uint32_t cameraStatus) {
    sim::Camctl("plug");
    StartTray(1, 103, cameraStatus);
    ASSERT_TRUE(viewer.WaitFor("plug in and play!", 5s));
    iconId = menu_driver::kPluggedIcon;
    ASSERT_TRUE(PollUntil(
        [&] { return (iconWindow = menu_driver::TrayIconWindow(tray.Id(), iconId)) != nullptr; },
        3s))
        << "no plugged-in icon";
}

void TrayMenuTest::StartUnplugged() {
    StartTray(1, 103, 0);
    iconId = menu_driver::kUnpluggedIcon;
    ASSERT_TRUE(PollUntil(
        [&] { return (iconWindow = menu_driver::TrayIconWindow(tray.Id(), iconId)) != nullptr; },
        3s))
        << "no unplugged icon";
}

HWND TrayMenuTest::OpenMenu() {
    HWND menu = menu_driver::OpenTrayMenu(iconWindow, iconId);
    if (menu == nullptr) {
        ADD_FAILURE() << "no menu opened on icon " << iconId;
    }
    return menu;
}
