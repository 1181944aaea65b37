#include "settings/registry_backend_win32.h"

#include <windows.h>

namespace {
HKEY AsHkey(ISettingsBackend::Key key) {
    return static_cast<HKEY>(key);
}
}  // namespace

bool RunningUnderWow64() {
    // Looked up at run time: older systems have no IsWow64Process.
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    HMODULE kernel = GetModuleHandleA("kernel32");
    auto isWow64 = kernel ? reinterpret_cast<IsWow64ProcessFn>(
                                reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")))
                          : nullptr;
    if (isWow64 == nullptr) {
        return false;
    }
    BOOL flag = FALSE;
    isWow64(GetCurrentProcess(), &flag);
    return flag == 1;
}

bool RegistryBackend::RunningUnderWow64() {
    return ::RunningUnderWow64();
}

long RegistryBackend::Open(const char* path, uint32_t access, Key* key) {
    HKEY opened = nullptr;
    const LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, access, &opened);
    *key = opened;
    return result;
}

long RegistryBackend::Query(Key key, const char* name, uint32_t* type, uint8_t* data,
                            uint32_t* size) {
    DWORD regType = *type;
    DWORD regSize = *size;
    const LONG result = RegQueryValueExA(AsHkey(key), name, nullptr, &regType, data, &regSize);
    *type = regType;
    *size = regSize;
    return result;
}

long RegistryBackend::SetString(Key key, const char* name, const uint8_t* data, uint32_t size) {
    return RegSetValueExA(AsHkey(key), name, 0, REG_SZ, data, size);
}

void RegistryBackend::Close(Key key) {
    if (key != nullptr) {
        RegCloseKey(AsHkey(key));
    }
}
