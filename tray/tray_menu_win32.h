// The tray icon's right-click menu on Windows: Win32 menus made from the portable menu
// description, and the tracking of them at the pointer or the icon.
#pragma once

#include <windows.h>

#include "win/handles_win32.h"
#include "tray/menu_description.h"

#include "tray/tray_icon.h"

// What the menu needs from the tray object, copied out of it.
struct TrayMenuState {
    UINT menuId = 0;  // the icon's id: 130 plugged in, 131 unplugged
    BOOL selfTimerChecked = FALSE;
};

// The menu for `state.menuId` with texts from the language file and what `data` gives; built from
// the portable description alone (the menu resources are generated from it), so an id it has no
// menu for gives no menu (null).
UniqueMenu BuildTrayPopup(const TrayMenuState& state, const TrayMenuData& data);

// Win32 menus for a description; the submenus belong to the returned popup.
UniqueMenu CreatePopupFromDescription(const MenuDescription& description);

// Shows `popup` at `anchor`, aligned as the user's handedness setting says, with `owner` as the
// window that receives the chosen WM_COMMAND, then destroys it. Runs a nested message loop.
// False when the menu closed without a choice.
bool TrackTrayMenu(UniqueMenu popup, HWND owner, POINT anchor);
