#include "settings/registry_backend_win32.h"

#include <windows.h>

#include <string>

#include "win/system_library_win32.h"
#include "win/text_win32.h"

namespace {
HKEY AsHkey(ISettingsBackend::Key key) {
    return static_cast<HKEY>(key);
}
}  // namespace

bool RunningUnderWow64() {
    // Asked once: a process does not change its bitness, and every settings read would
    // otherwise ask the system again (under Wine a round trip to its server, each second).
    static const bool wow64 = [] {
        // Looked up at run time: older systems have no IsWow64Process.
        using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
        const auto isWow64 =
            LookUpLoadedFunction<IsWow64ProcessFn>(L"kernel32.dll", "IsWow64Process");
        BOOL flag = FALSE;
        return isWow64 != nullptr && isWow64(GetCurrentProcess(), &flag) != FALSE && flag == 1;
    }();
    return wow64;
}

bool RegistryBackend::RunningUnderWow64() {
    return ::RunningUnderWow64();
}

// The wide functions keep text values in UTF-16, which the ANSI ones would narrow to the system's
// code page. Key paths and value names are ASCII, which UTF-8 spells alike.
long RegistryBackend::Open(const char* path, uint32_t access, Key* key) {
    HKEY opened = nullptr;
    const LONG result =
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, FromUtf8(path).c_str(), 0, access, &opened);
    *key = opened;
    return result;
}

long RegistryBackend::OpenUser(const char* path, uint32_t access, bool create, Key* key) {
    HKEY opened = nullptr;
    const LONG result =
        create ? RegCreateKeyExW(HKEY_CURRENT_USER, FromUtf8(path).c_str(), 0, nullptr, 0, access,
                                 nullptr, &opened, nullptr)
               : RegOpenKeyExW(HKEY_CURRENT_USER, FromUtf8(path).c_str(), 0, access, &opened);
    *key = opened;
    return result;
}

long RegistryBackend::Query(Key key, const char* name, uint32_t* type, uint8_t* data,
                            uint32_t* size) {
    DWORD regType = *type;
    DWORD regSize = *size;
    const LONG result =
        RegQueryValueExW(AsHkey(key), FromUtf8(name).c_str(), nullptr, &regType, data, &regSize);
    *type = regType;
    *size = regSize;
    return result;
}

long RegistryBackend::SetString(Key key, const char* name, const uint8_t* data, uint32_t size) {
    return RegSetValueExW(AsHkey(key), FromUtf8(name).c_str(), 0, REG_SZ, data, size);
}

long RegistryBackend::DeleteValue(Key key, const char* name) {
    return RegDeleteValueW(AsHkey(key), FromUtf8(name).c_str());
}

void RegistryBackend::Close(Key key) {
    if (key != nullptr) {
        RegCloseKey(AsHkey(key));
    }
}
