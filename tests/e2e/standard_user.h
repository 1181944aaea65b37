// A standard user's view of the program's settings: the rights Windows gives a new key under
// HKLM\SOFTWARE, and the user's own quick-launch value under HKCU.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace standard_user {
// The settings key, under HKLM (64-bit view) or HKCU, alike but for the case.
constexpr const wchar_t* kKeyPath = L"Software\\Velmora\\QXLUMA64\\Current";

// Gives the settings key under `root` (created when missing) Windows' default ACL of a new
// HKLM\SOFTWARE key: administrators and the system may write, users may only read.
bool RestrictSettingsKey(HKEY root = HKEY_LOCAL_MACHINE);

std::optional<std::wstring> UserQuickLaunch();
void SetUserQuickLaunch(const std::wstring& text);
void DeleteUserQuickLaunch();
// Removes the user's own settings (HKCU\Software\Velmora).
void DeleteUserSettings();
}  // namespace standard_user
