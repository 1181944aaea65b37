#include "sim/sim_settings.h"

#include "sim/reg_key.h"

namespace {

constexpr wchar_t kSensorKind[] = L"SensorKind";
constexpr wchar_t kSensorPixels[] = L"SensorPixels";
constexpr wchar_t kButtonPressed[] = L"ButtonPressed";
constexpr wchar_t kStillFolder[] = L"StillFolder";
constexpr wchar_t kJournalPath[] = L"JournalPath";
constexpr wchar_t kLastStill[] = L"LastStill";

RegKey OpenForRead() {
    return RegKey::Open(HKEY_CURRENT_USER, SimSettings::kKeyPath, KEY_QUERY_VALUE | kProgramView);
}

RegKey OpenForWrite(LONG* error) {
    return RegKey::Create(HKEY_CURRENT_USER, SimSettings::kKeyPath,
                          KEY_QUERY_VALUE | KEY_SET_VALUE | kProgramView, error);
}

DWORD ReadDword(const wchar_t* name, DWORD fallback) {
    const RegKey key = OpenForRead();
    return key ? key.ReadDword(name).value_or(fallback) : fallback;
}

std::wstring ReadString(const wchar_t* name, const wchar_t* fallback) {
    const RegKey key = OpenForRead();
    if (!key) {
        return fallback;
    }
    std::wstring value = key.ReadString(name).value_or(fallback);
    return value.empty() ? std::wstring(fallback) : value;
}

LONG WriteDword(const wchar_t* name, DWORD value) {
    LONG error = ERROR_SUCCESS;
    const RegKey key = OpenForWrite(&error);
    return key ? key.WriteDword(name, value) : error;
}

LONG WriteString(const wchar_t* name, const std::wstring& value) {
    LONG error = ERROR_SUCCESS;
    const RegKey key = OpenForWrite(&error);
    return key ? key.WriteString(name, value) : error;
}

}  // namespace

DWORD SimSettings::SensorKind() {
    return ReadDword(kSensorKind, kDefaultSensorKind);
}
DWORD SimSettings::SensorPixels() {
    return ReadDword(kSensorPixels, kDefaultSensorPixels);
}
bool SimSettings::ButtonPressed() {
    return ReadDword(kButtonPressed, 0) != 0;
}
std::wstring SimSettings::StillFolder() {
    return ReadString(kStillFolder, kDefaultStillFolder);
}
std::wstring SimSettings::JournalPath() {
    return ReadString(kJournalPath, kDefaultJournalPath);
}
std::wstring SimSettings::LastStillPath() {
    return ReadString(kLastStill, L"");
}

LONG SimSettings::SetSensorKind(DWORD kind) {
    return WriteDword(kSensorKind, kind);
}
LONG SimSettings::SetSensorPixels(DWORD pixels) {
    return WriteDword(kSensorPixels, pixels);
}
LONG SimSettings::SetButtonPressed(bool pressed) {
    return WriteDword(kButtonPressed, pressed);
}
LONG SimSettings::SetStillFolder(const std::wstring& folder) {
    return WriteString(kStillFolder, folder);
}
LONG SimSettings::SetJournalPath(const std::wstring& path) {
    return WriteString(kJournalPath, path);
}
LONG SimSettings::SetLastStillPath(const std::wstring& path) {
    return WriteString(kLastStill, path);
}

bool SimSettings::TakeButtonPress() {
    LONG error = ERROR_SUCCESS;
    const RegKey key = OpenForWrite(&error);
    if (!key || key.ReadDword(kButtonPressed).value_or(0) == 0) {
        return false;
    }
    key.WriteDword(kButtonPressed, 0);
    return true;
}
