#include "e2e_support.h"

#include <shellapi.h>
#define PSAPI_VERSION 2
#include <psapi.h>

#include <algorithm>
#include <cstring>

#include "win/handles_win32.h"

std::string BinDirectory() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string directory(path);
    return directory.substr(0, directory.find_last_of("\\/"));
}

namespace registry {
namespace {

UniqueRegKey Open(const char* key, REGSAM access, REGSAM view = KEY_WOW64_64KEY) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, access | view, &handle) != ERROR_SUCCESS) {
        return UniqueRegKey();
    }
    return UniqueRegKey(handle);
}

}  // namespace

std::optional<std::string> ReadRaw(const char* key, const char* name) {
    UniqueRegKey handle = Open(key, KEY_QUERY_VALUE);
    DWORD type = 0;
    char data[4096];
    DWORD size = sizeof data;
    if (!handle || RegQueryValueExA(handle.get(), name, nullptr, &type,
                                    reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::string(reinterpret_cast<const char*>(&type), sizeof type) + std::string(data, size);
}

std::optional<std::string> ReadString(const char* key, const char* name) {
    const auto raw = ReadRaw(key, name);
    if (!raw || raw->compare(0, 4, std::string("\x01\0\0\0", 4)) != 0) {  // REG_SZ
        return std::nullopt;
    }
    std::string text = raw->substr(4);
    while (!text.empty() && text.back() == '\0') {
        text.pop_back();
    }
    return text;
}

std::optional<DWORD> ReadDword(const char* key, const char* name) {
    const auto raw = ReadRaw(key, name);
    if (!raw || raw->size() != 8 || raw->compare(0, 4, std::string("\x04\0\0\0", 4)) != 0) {
        return std::nullopt;
    }
    DWORD value = 0;
    raw->copy(reinterpret_cast<char*>(&value), 4, 4);
    return value;
}

void WriteRaw(const char* key, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY handle = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                    nullptr, &handle, nullptr);
    const UniqueRegKey owner(handle);
    RegSetValueExA(handle, name, 0, type, static_cast<const BYTE*>(data), size);
}

void WriteString(const char* key, const char* name, const std::string& value) {
    WriteRaw(key, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

bool KeyExists(const char* key, REGSAM view) {
    return static_cast<bool>(Open(key, KEY_QUERY_VALUE, view));
}

void DeleteValue(const char* key, const char* name) {
    if (UniqueRegKey handle = Open(key, KEY_SET_VALUE)) {
        RegDeleteValueA(handle.get(), name);
    }
}

void DeleteTree(const char* key) {
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        if (UniqueRegKey handle = Open(
                key, DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | KEY_SET_VALUE, view)) {
            RegDeleteTreeA(handle.get(), nullptr);
            handle.reset();
            RegDeleteKeyExA(HKEY_LOCAL_MACHINE, key, view, 0);
        }
    }
}

std::vector<std::string> SubkeysWithDisplayName(const char* key, const char* displayName,
                                                REGSAM view) {
    std::vector<std::string> found;
    UniqueRegKey parent = Open(key, KEY_ENUMERATE_SUB_KEYS, view);
    for (DWORD index = 0; parent; ++index) {
        char name[256];
        DWORD length = sizeof name;
        if (RegEnumKeyExA(parent.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        char text[256] = "";
        DWORD size = sizeof text;
        if (RegGetValueA(parent.get(), name, "DisplayName", RRF_RT_REG_SZ, nullptr, text, &size) ==
                ERROR_SUCCESS &&
            std::string(text) == displayName) {
            found.push_back(name);
        }
    }
    return found;
}
}  // namespace registry

namespace settings {
void Reset(uint32_t trayEnabled, uint32_t debugLevel, uint32_t cameraStatus) {
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kKeyPath, KEY_WOW64_64KEY, 0);
    SetDword("KRYTray", trayEnabled);
    SetDword("debug", debugLevel);
    SetDword("CameraStatus", cameraStatus);
}

void SetDword(const char* name, uint32_t value) {
    SetRaw(name, REG_DWORD, &value, sizeof value);
}

void SetRaw(const char* name, DWORD type, const void* data, DWORD size) {
    registry::WriteRaw(kKeyPath, name, type, data, size);
}

bool ReadRaw(const char* name, std::string* bytes) {
    const std::optional<std::string> raw = registry::ReadRaw(kKeyPath, name);
    if (!raw) {
        return false;
    }
    bytes->assign(*raw, sizeof(DWORD));  // past the type
    return true;
}

bool ReadDword(const char* name, uint32_t* value) {
    std::string bytes;
    if (!ReadRaw(name, &bytes) || bytes.size() != 4) {
        return false;
    }
    std::memcpy(value, bytes.data(), 4);
    return true;
}

void Delete(const char* name) {
    registry::DeleteValue(kKeyPath, name);
}
}  // namespace settings

TrayProcess::~TrayProcess() {
    if (Running()) {
        SendExit();
        if (!WaitExit(5s)) {
            Kill();
        }
    }
    if (m_process != nullptr) {
        CloseHandle(m_process);
    }
}

bool TrayProcess::Start(const std::string& exeName) {
    const std::string path = BinDirectory() + "\\" + exeName;
    std::string commandLine = "\"" + path + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        BinDirectory().c_str(), &startup, &info)) {
        return false;
    }
    CloseHandle(info.hThread);
    m_process = info.hProcess;
    m_processId = info.dwProcessId;
    return true;
}

bool TrayProcess::Running() const {
    return m_process != nullptr && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
}

bool TrayProcess::WaitExit(std::chrono::milliseconds timeout, DWORD* exitCode) {
    if (m_process == nullptr) {
        return false;
    }
    if (WaitForSingleObject(m_process, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
        return false;
    }
    if (exitCode != nullptr) {
        GetExitCodeProcess(m_process, exitCode);
    }
    return true;
}

void TrayProcess::Kill() {
    if (Running()) {
        TerminateProcess(m_process, 99);
        WaitForSingleObject(m_process, 5000);
    }
}

HWND TrayProcess::ControllerWindow() const {
    return ControllerWindowOf(m_processId);
}

HWND TrayProcess::TrayWindow() const {
    return FindProcessWindow(m_processId, "KRYTrayWindow");
}

LRESULT TrayProcess::SendCopyData(ULONG_PTR dwData, const void* data, DWORD size) const {
    COPYDATASTRUCT record{dwData, size, const_cast<void*>(data)};
    DWORD_PTR result = 0;
    SendMessageTimeoutA(ControllerWindow(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record),
                        SMTO_ABORTIFHUNG, 5000, &result);
    return static_cast<LRESULT>(result);
}

bool TrayProcess::SendExit() const {
    HWND controller = ControllerWindow();
    if (controller == nullptr) {
        return false;
    }
    SendExitTo(controller);
    return true;
}

HWND ControllerWindowOf(DWORD processId) {
    return FindProcessWindow(processId, "#32770", "Velmora System Tray");
}

void SendExitTo(HWND controller) {
    char text[] = "EXIT";
    COPYDATASTRUCT record{4402, 4, text};
    DWORD_PTR result = 0;
    SendMessageTimeoutA(controller, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record),
                        SMTO_ABORTIFHUNG, 5000, &result);
}

namespace {
NOTIFYICONDATAA KeeperIconData(HWND window) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = 1;
    return data;
}
}  // namespace

KeeperIcon::KeeperIcon()
    : m_window(CreateWindowExA(0, "STATIC", "KRYE2EKeeper", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr)) {
    NOTIFYICONDATAA data = KeeperIconData(m_window);
    data.uFlags = NIF_ICON;
    data.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
    Shell_NotifyIconA(NIM_ADD, &data);
}

KeeperIcon::~KeeperIcon() {
    NOTIFYICONDATAA data = KeeperIconData(m_window);
    Shell_NotifyIconA(NIM_DELETE, &data);
    DestroyWindow(m_window);
}

bool TrayIconShown(HWND owner, UINT id) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = owner;
    data.uID = id;
    data.uFlags = 0;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

std::string WindowClass(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string WindowText(HWND window) {
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

namespace {
struct WindowSearch {
    DWORD processId;
    const std::function<bool(HWND)>& match;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectMatchingWindow(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if ((search->processId == 0 || owner == search->processId) && search->match(window)) {
        search->found.push_back(window);
    }
    return TRUE;
}
}  // namespace

std::vector<HWND> ProcessWindows(DWORD processId, const std::function<bool(HWND)>& match) {
    WindowSearch search{processId, match, {}};
    EnumWindows(CollectMatchingWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindProcessWindow(DWORD processId, const char* className, const char* title,
                       bool visibleOnly) {
    const auto found = ProcessWindows(processId, [&](HWND window) {
        return WindowClass(window) == className &&
               (title == nullptr || WindowText(window) == title) &&
               (!visibleOnly || IsWindowVisible(window));
    });
    return found.empty() ? nullptr : found.front();
}

UINT_PTR ProcessModuleBase(HANDLE process, const char* name) {
    HMODULE modules[1024];
    DWORD needed = 0;
    if (!K32EnumProcessModules(process, modules, sizeof modules, &needed)) {
        return 0;
    }
    const DWORD count = std::min<DWORD>(needed / sizeof(HMODULE), 1024);
    for (DWORD i = 0; i < count; ++i) {
        char baseName[MAX_PATH] = "";
        K32GetModuleBaseNameA(process, modules[i], baseName, sizeof baseName);
        if (_stricmp(baseName, name) == 0) {
            return reinterpret_cast<UINT_PTR>(modules[i]);
        }
    }
    return 0;
}

bool ProcessHasModule(DWORD processId, const char* name) {
    const UniqueKernelHandle process(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    return process && ProcessModuleBase(process.get(), name) != 0;
}
