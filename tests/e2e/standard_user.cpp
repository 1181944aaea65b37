#include "standard_user.h"

#include <sddl.h>

#include "e2e_support.h"
#include "win/handles_win32.h"

namespace standard_user {
namespace {
constexpr const char* kDefaultMachineAcl = "D:P(A;OICI;KA;;;BA)(A;OICI;KA;;;SY)(A;OICI;KR;;;BU)";

HKEY OpenUserKey() {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, kUserKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    return key;
}
}  // namespace

bool RestrictKey(HKEY root, const char* path, REGSAM view) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    bool done = ConvertStringSecurityDescriptorToSecurityDescriptorA(
                    kDefaultMachineAcl, SDDL_REVISION_1, &descriptor, nullptr) != FALSE;
    if (done) {
        done = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
        LocalFree(descriptor);
    }
    RegCloseKey(key);
    return done;
}

bool RestrictSettingsKey() {
    return RestrictKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Velmora\\QXLUMA64\\Current", KEY_WOW64_64KEY);
}

std::optional<std::wstring> UserQuickLaunch() {
    HKEY key = OpenUserKey();
    wchar_t text[1024];
    DWORD size = sizeof text;
    const LONG result = RegQueryValueExW(key, L"QuickLaunch", nullptr, nullptr,
                                         reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::wstring value(text, size / sizeof(wchar_t));
    return value.substr(0, value.find(L'\0'));
}

void SetUserQuickLaunch(const std::wstring& text) {
    HKEY key = OpenUserKey();
    RegSetValueExW(key, L"QuickLaunch", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

void DeleteUserQuickLaunch() {
    HKEY key = OpenUserKey();
    RegDeleteValueW(key, L"QuickLaunch");
    RegCloseKey(key);
}

void DeleteUserSettings() {
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Velmora");
}
}  // namespace standard_user

// UAC's filtered token: the Administrators group only denies, the privileges go.
bool TrayProcess::StartAsStandardUser(const std::string& exeName) {
    HANDLE own = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, &own)) {
        return false;
    }
    const UniqueKernelHandle token(own);
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof sid;
    CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &sidSize);
    SID_AND_ATTRIBUTES administrators{sid, 0};
    HANDLE restricted = nullptr;
    if (!CreateRestrictedToken(token.get(), DISABLE_MAX_PRIVILEGE, 1, &administrators, 0, nullptr,
                               0, nullptr, &restricted)) {
        return false;
    }
    const UniqueKernelHandle user(restricted);
    const std::string bin = BinDirectory();  // ASCII, as the build folder's path is
    const std::wstring directory(bin.begin(), bin.end());
    const std::wstring path = directory + L"\\" + std::wstring(exeName.begin(), exeName.end());
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessAsUserW(user.get(), path.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                              0, nullptr, directory.c_str(), &startup, &info)) {
        return false;
    }
    CloseHandle(info.hThread);
    if (m_process != nullptr) {
        CloseHandle(m_process);
    }
    m_process = info.hProcess;
    m_processId = info.dwProcessId;
    return true;
}
