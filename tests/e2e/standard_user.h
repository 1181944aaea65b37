// A standard user's view of the program's settings: the rights Windows gives a new key under
// HKLM\SOFTWARE, and the user's own quick-launch value under HKCU.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace standard_user {
// Gives the key (created when missing) Windows' default ACL of a new HKLM\SOFTWARE key:
// administrators and the system may write, users may only read.
bool RestrictKey(HKEY root, const char* path, REGSAM view);
// The program's settings key so, in the 64-bit view.
bool RestrictSettingsKey();

constexpr const char* kUserKeyPath = "Software\\Velmora\\QXLUMA64\\Current";
std::optional<std::wstring> UserQuickLaunch();
void SetUserQuickLaunch(const std::wstring& text);
void DeleteUserQuickLaunch();
// Removes the user's own settings (HKCU\Software\Velmora).
void DeleteUserSettings();
}  // namespace standard_user
