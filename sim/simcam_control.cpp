#include "sim/simcam_control.h"

#include <dbt.h>

#include <sstream>

#include "settings/camera_status.h"
#include "sim/camera_status_register.h"
#include "sim/com_registration.h"
#include "sim/journal.h"
#include "sim/reg_key.h"
#include "sim/sim_settings.h"
#include "sim/simcam_ids.h"
#include "sim/text_convert.h"

namespace simcam {

namespace {

constexpr DWORD kBroadcastTimeoutMs = 5000;
constexpr DWORD kPollIntervalMs = 20;

struct DeviceEntry {
    const wchar_t* instanceName;
    const char* friendlyName;
    const GUID* clsid;
};

DeviceEntry EntryOf(Device device) {
    if (device == Device::Camera) {
        return {kSimCameraInstanceName, kSimCameraFriendlyName, &CLSID_KRYSimCamera};
    }
    return {kSimPlainInstanceName, kSimPlainFriendlyName, &CLSID_KRYSimPlainCamera};
}

std::wstring InstancePath(Device device) {
    return std::wstring(kVideoInputInstanceKey) + L"\\" + EntryOf(device).instanceName;
}

template <typename Condition>
bool PollUntil(DWORD timeoutMs, Condition condition) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) {
            return true;
        }
        if (GetTickCount64() >= deadline) {
            return false;
        }
        Sleep(kPollIntervalMs);
    }
}

}  // namespace

LONG Plug(Device device) {
    const DeviceEntry entry = EntryOf(device);
    LONG error = ERROR_SUCCESS;
    const RegKey key =
        RegKey::Create(HKEY_CLASSES_ROOT, InstancePath(device), KEY_WRITE | kProgramView, &error);
    if (!key) {
        return error;
    }
    error = key.WriteString(L"FriendlyName", WidenAnsi(entry.friendlyName));
    if (error == ERROR_SUCCESS) {
        error = key.WriteString(L"CLSID", ComRegistration::GuidText(*entry.clsid));
    }
    if (error == ERROR_SUCCESS) {
        BroadcastDeviceChange();
    }
    return error;
}

LONG Unplug(Device device) {
    const LONG error = DeleteRegistryTree(HKEY_CLASSES_ROOT, InstancePath(device), kProgramView);
    if (error == ERROR_SUCCESS) {
        BroadcastDeviceChange();
    }
    return error;
}

bool IsPlugged(Device device) {
    return static_cast<bool>(
        RegKey::Open(HKEY_CLASSES_ROOT, InstancePath(device), KEY_QUERY_VALUE | kProgramView));
}

void BroadcastDeviceChange() {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(HWND_BROADCAST, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0, SMTO_ABORTIFHUNG,
                        kBroadcastTimeoutMs, &result);
}

LONG PressButton() {
    return SimSettings::SetButtonPressed(true);
}
bool ButtonPressed() {
    return SimSettings::ButtonPressed();
}

LONG SetSensorKind(DWORD kind) {
    return SimSettings::SetSensorKind(kind);
}
LONG SetSensorPixels(DWORD pixels) {
    return SimSettings::SetSensorPixels(pixels);
}

std::optional<DWORD> ReadCameraStatus() {
    return CameraStatusRegister::Read();
}
LONG WriteCameraStatus(DWORD value) {
    return CameraStatusRegister::Write(value);
}

LONG SetActive(bool active) {
    return active ? CameraStatusRegister::SetBits(STATUS_ACTIVE)
                  : CameraStatusRegister::ClearBits(STATUS_ACTIVE);
}

LONG SetStillFolder(const std::wstring& folder) {
    return SimSettings::SetStillFolder(folder);
}
LONG SetJournalPath(const std::wstring& path) {
    return SimSettings::SetJournalPath(path);
}
std::wstring StillFolder() {
    return SimSettings::StillFolder();
}
std::wstring JournalPath() {
    return SimSettings::JournalPath();
}
std::wstring LastStillPath() {
    return SimSettings::LastStillPath();
}

std::string ReadJournal() {
    return Journal::Read();
}

std::vector<std::string> JournalLines() {
    std::vector<std::string> lines;
    std::istringstream text(Journal::Read());
    std::string line;
    while (std::getline(text, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

LONG ClearJournal() {
    return Journal::Clear();
}

bool WaitForJournalLine(const std::string& line, DWORD timeoutMs) {
    return PollUntil(timeoutMs, [&line] {
        for (const std::string& entry : JournalLines()) {
            if (entry == line) {
                return true;
            }
        }
        return false;
    });
}

bool WaitForCameraStatus(DWORD mask, DWORD expected, DWORD timeoutMs) {
    return PollUntil(timeoutMs, [mask, expected] {
        return (CameraStatusRegister::Read().value_or(0) & mask) == expected;
    });
}

}  // namespace simcam
