// The program's notification-area icon: a hidden window that owns the icon's record, adds and
// removes the icon, and turns a right-click on it into the tray menu.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "app/controller_platform.h"
#include "win/window_base_win32.h"

class ITrayMenuSource;

class CSystemTray : public CWindowBase, public ITrayIcon {
public:
    // `mainWindow` owns the menu and receives its WM_COMMAND; `source` answers what the menu
    // offers (plug state, camera capabilities). Neither creates a window or an icon yet.
    CSystemTray(HWND mainWindow, ITrayMenuSource& source);
    ~CSystemTray() override;

    // Creates the hidden window and adds the icon. `parent` (may be null) receives the callback
    // messages instead of this object's own window. Called once per object.
    BOOL CreateTrayIcon(HWND parent, UINT callbackMessage, const char* tip, HICON icon, UINT id);
    // Removes the icon if it is shown; further calls do nothing.
    void DeleteTrayIcon() override;

    void SetSelfTimerChecked(bool checked) override {
        m_bSelfTimerChecked = checked ? TRUE : FALSE;
    }

    BOOL m_bAdded = FALSE;
    NOTIFYICONDATAA m_iconData{};
    UINT m_nDefaultItem = 0;
    BOOL m_bDefaultByPos = TRUE;
    BOOL m_bEffectsSupported = TRUE;
    BOOL m_bSelfTimerChecked = FALSE;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // wParam: the icon's id; low word of lParam: the mouse message. Shows the menu on a
    // right-button release.
    virtual LRESULT OnTrayCallback(WPARAM wParam, LPARAM lParam);

private:
    void OnTaskbarCreated();

    HWND m_mainWindow;
    ITrayMenuSource& m_source;
    // The icon should be in the notification area: created and not deleted since. A restarted
    // shell has lost every icon, so the icon is added again while this holds.
    bool m_bWanted = false;
};
