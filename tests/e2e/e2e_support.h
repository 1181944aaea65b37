// What the end-to-end tests need around the program: starting and ending it, finding its
// windows, its settings key and the notification area.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

// Polls `condition` every `interval` until it holds or the deadline passes.
template <typename Condition>
bool PollUntil(Condition condition, std::chrono::milliseconds timeout,
               std::chrono::milliseconds interval = std::chrono::milliseconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(interval);
    }
    return true;
}

std::string BinDirectory();  // where KRYTray.exe and this test program live

// Values under HKLM, in the 64-bit view unless `view` says KEY_WOW64_32KEY.
namespace registry {
// Type and bytes, for checking that a value stayed exactly as it was.
std::optional<std::string> ReadRaw(const char* key, const char* name);
std::optional<std::string> ReadString(const char* key, const char* name);
std::optional<DWORD> ReadDword(const char* key, const char* name);
void WriteRaw(const char* key, const char* name, DWORD type, const void* data, DWORD size);
void WriteString(const char* key, const char* name, const std::string& value);
bool KeyExists(const char* key, REGSAM view = KEY_WOW64_64KEY);
void DeleteValue(const char* key, const char* name);
void DeleteTree(const char* key);
std::vector<std::string> SubkeysWithDisplayName(const char* key, const char* displayName,
                                                REGSAM view);
}  // namespace registry

// The program's settings key in the 64-bit registry view, for every test support.
namespace settings {
constexpr const char* kKeyPath = "SOFTWARE\\Velmora\\QXLUMA64\\Current";
void Reset(uint32_t trayEnabled, uint32_t debugLevel, uint32_t cameraStatus);
void SetDword(const char* name, uint32_t value);
bool ReadDword(const char* name, uint32_t* value);
void SetRaw(const char* name, DWORD type, const void* data, DWORD size);
bool ReadRaw(const char* name, std::string* bytes);
void Delete(const char* name);
}  // namespace settings

class TrayProcess {
public:
    TrayProcess() = default;
    ~TrayProcess();  // ends the program if it still runs
    TrayProcess(const TrayProcess&) = delete;
    TrayProcess& operator=(const TrayProcess&) = delete;

    bool Start(const std::string& exeName = "KRYTray.exe");
    // As a standard user of UAC: this token with the Administrators group disabled.
    bool StartAsStandardUser(const std::string& exeName = "KRYTray.exe");
    bool Running() const;
    bool WaitExit(std::chrono::milliseconds timeout, DWORD* exitCode = nullptr);
    void Kill();
    DWORD Id() const { return m_processId; }

    // The hidden controller dialog, or null.
    HWND ControllerWindow() const;
    // The tray icon object's hidden window, or null.
    HWND TrayWindow() const;
    // Sends WM_COPYDATA to the controller; returns SendMessage's result.
    LRESULT SendCopyData(ULONG_PTR dwData, const void* data, DWORD size) const;
    bool SendExit() const;

private:
    HANDLE m_process = nullptr;
    DWORD m_processId = 0;
};

// One icon of our own in the notification area while it lives, as on a desktop with other icons:
// without one, Wine hides and shows its tray window whenever the program replaces its icon, which
// costs seconds where no window manager runs.
class KeeperIcon {
public:
    KeeperIcon();
    ~KeeperIcon();
    KeeperIcon(const KeeperIcon&) = delete;
    KeeperIcon& operator=(const KeeperIcon&) = delete;

private:
    HWND m_window;
};

// The hidden controller dialog of the program's process `processId`, or null.
HWND ControllerWindowOf(DWORD processId);
// Sends the "EXIT" record (dwData 4402, the four bytes) to a controller window, waiting at most
// 5 s for the answer.
void SendExitTo(HWND controller);

// The icon (hWnd, uID) is in the notification area: NIM_MODIFY with no flags succeeds exactly then.
bool TrayIconShown(HWND owner, UINT id);

std::string WindowClass(HWND window);
std::string WindowText(HWND window);

// Every top-level window of `processId` (of any process for 0) for which `match` holds, in
// z-order.
std::vector<HWND> ProcessWindows(DWORD processId, const std::function<bool(HWND)>& match);

// A top-level window of `processId` with this class (and title, when given), or null.
HWND FindProcessWindow(DWORD processId, const char* className, const char* title = nullptr,
                       bool visibleOnly = false);

// The base address of the module `name` ("comdlg32.dll") loaded in `process`, or 0.
UINT_PTR ProcessModuleBase(HANDLE process, const char* name);
bool ProcessHasModule(DWORD processId, const char* name);
