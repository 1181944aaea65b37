#include "sim/camera_status_register.h"

#include <string>

#include "settings/camera_status.h"
#include "sim/reg_key.h"
#include "sim/status_broker.h"

namespace {

std::wstring KeyPath() {
    // The shared path ends in a backslash, which RegCreateKeyEx does not take.
    std::wstring path;
    for (const char* p = SettingsKeyPath; *p != '\0'; ++p) {
        path.push_back(static_cast<wchar_t>(*p));
    }
    while (!path.empty() && path.back() == L'\\') {
        path.pop_back();
    }
    return path;
}

std::wstring ValueName() {
    const std::string name = kValueCameraStatus;
    return std::wstring(name.begin(), name.end());
}

}  // namespace

std::optional<DWORD> CameraStatusRegister::Read() {
    const RegKey key = RegKey::Open(HKEY_LOCAL_MACHINE, KeyPath(), KEY_QUERY_VALUE | kStatusView);
    return key ? key.ReadDword(ValueName().c_str()) : std::nullopt;
}

LONG CameraStatusRegister::Write(DWORD value) {
    LONG error = ERROR_SUCCESS;
    const RegKey key = RegKey::Create(HKEY_LOCAL_MACHINE, KeyPath(),
                                      KEY_QUERY_VALUE | KEY_SET_VALUE | kStatusView, &error);
    const LONG result = key ? key.WriteDword(ValueName().c_str(), value) : error;
    // A standard user's program may not write the key: the driver's privileged side does.
    return result == ERROR_ACCESS_DENIED ? StatusBroker::Forward(value) : result;
}

LONG CameraStatusRegister::SetBits(DWORD mask) {
    return Write(Read().value_or(0) | mask);
}

LONG CameraStatusRegister::ClearBits(DWORD mask) {
    return Write(Read().value_or(0) & ~mask);
}
