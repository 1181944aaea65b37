#include "standard_user.h"

#include <sddl.h>

#include "e2e_support.h"
#include "win/handles_win32.h"

namespace standard_user {

bool RestrictSettingsKey(HKEY root) {
    HKEY key = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const bool done =
        RegCreateKeyExW(root, kKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr,
                        &key, nullptr) == ERROR_SUCCESS &&
        ConvertStringSecurityDescriptorToSecurityDescriptorA(
            "D:P(A;OICI;KA;;;BA)(A;OICI;KA;;;SY)(A;OICI;KR;;;BU)", SDDL_REVISION_1, &descriptor,
            nullptr) &&
        RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
    LocalFree(descriptor);
    RegCloseKey(key);
    return done;
}

std::optional<std::wstring> UserQuickLaunch() {
    wchar_t text[1024];
    DWORD size = sizeof text;
    if (RegGetValueW(HKEY_CURRENT_USER, kKeyPath, L"QuickLaunch", RRF_RT_REG_SZ, nullptr, text,
                     &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return text;
}

void SetUserQuickLaunch(const std::wstring& text) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kKeyPath, L"QuickLaunch", REG_SZ, text.c_str(),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void DeleteUserQuickLaunch() {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kKeyPath, L"QuickLaunch");
}

void DeleteUserSettings() {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Velmora");
}
}  // namespace standard_user

// UAC's filtered token: the Administrators group only denies, the privileges go.
bool TrayProcess::StartAsStandardUser(const std::string& exeName) {
    HANDLE own = nullptr;
    HANDLE restricted = nullptr;
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof sid;
    SID_AND_ATTRIBUTES administrators{sid, 0};
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, &own) ||
        !CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &sidSize) ||
        !CreateRestrictedToken(own, DISABLE_MAX_PRIVILEGE, 1, &administrators, 0, nullptr, 0,
                               nullptr, &restricted)) {
        CloseHandle(own);
        return false;
    }
    const UniqueKernelHandle token(own);
    const UniqueKernelHandle user(restricted);
    const std::string path = BinDirectory() + "\\" + exeName;
    std::string commandLine = "\"" + path + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessAsUserA(user.get(), path.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                              0, nullptr, BinDirectory().c_str(), &startup, &info)) {
        return false;
    }
    CloseHandle(info.hThread);
    CloseHandle(m_process);
    m_process = info.hProcess;
    m_processId = info.dwProcessId;
    return true;
}
