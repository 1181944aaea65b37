// Menus that follow the dark app theme, on the Windows versions that offer it to programs.
#pragma once

#include <windows.h>

// Lets the process's menus follow the user's app theme (dark or light). Call once at start-up,
// before any window is made. Nothing happens on Windows before 10 version 1903, under Wine, or
// where the functions are missing; with high contrast on, menus keep the system's colours.
void FollowAppThemeInMenus();

// For WM_SETTINGCHANGE of a Unicode window: when the app theme ("ImmersiveColorSet") or high
// contrast changed, open and later menus take the new colours.
void OnMenuThemeSettingChange(WPARAM wParam, LPARAM lParam);
