// The program's notification-area icon: a hidden window that owns the icon's record, adds and
// removes the icon, and turns a right-click on it into the tray menu.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "tray/icon_add_retry.h"
#include "tray/tray_icon.h"
#include "win/handles_win32.h"
#include "win/window_base_win32.h"

// A failed add is tried again on a timer of the icon's own window.
constexpr UINT_PTR kTrayRetryTimerId = 1;

class CSystemTray : public CWindowBase, public ITrayIcon, private IShellIcon {
public:
    // `mainWindow` owns the menu and receives its WM_COMMAND; `menu` is what the menu shows of
    // the controller. Neither creates a window or an icon yet.
    CSystemTray(HWND mainWindow, TrayMenuData menu);
    ~CSystemTray() override;

    // Creates the hidden window and adds the icon with the shell's keyboard-aware behaviour.
    // `parent` (may be null) receives the callback messages instead of this object's own
    // window; `tip` is cut to the tip field. The icon is icon resource `iconResourceId` of the
    // program, loaded at the small-icon size of the screen's DPI and loaded again when the DPI
    // or the display changes. Called once per object.
    BOOL CreateTrayIcon(HWND parent, UINT callbackMessage, const char* tip, UINT iconResourceId,
                        UINT id);
    // Removes the icon if it is shown; further calls do nothing.
    void DeleteTrayIcon() override;
    // Asks the shell whether it still has the icon (NIM_MODIFY) and adds it again when not.
    // Whenever an add fails it is tried again after 1, 2, 4 ... s (at most a minute apart)
    // until the icon is shown or deleted.
    void EnsureShown() override;

    void SetSelfTimerChecked(bool checked) override {
        m_bSelfTimerChecked = checked ? TRUE : FALSE;
    }

    BOOL m_bAdded = FALSE;
    NOTIFYICONDATAA m_iconData{};
    BOOL m_bSelfTimerChecked = FALSE;
    // The shell took NOTIFYICON_VERSION: it sends WM_CONTEXTMENU and NIN_KEYSELECT.
    bool m_bVersion3 = false;
    // The last event was a right-button release: a WM_CONTEXTMENU now comes from the mouse.
    bool m_bRightButtonUp = false;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // wParam: the icon's id; low word of lParam: the mouse or keyboard event. Shows the menu
    // on WM_CONTEXTMENU (a right-click, the menu key, Shift+F10) and NIN_KEYSELECT; with a
    // shell that knows only the old behaviour, on a right-button release. A menu asked for by
    // the keyboard opens at the icon and, closed without a choice, gives the keyboard back to
    // the icon.
    virtual LRESULT OnTrayCallback(WPARAM wParam, LPARAM lParam);

private:
    void OnTaskbarCreated();
    void OnDpiChanged(UINT dpi);
    // Shows the icon through the retry schedule and sets the retry timer to what it says.
    void ShowIcon();
    bool Add() override;
    bool Has() override;
    void SetVersion() override;
    // Loads the icon at the small-icon size of `dpi` into the record; false when it cannot.
    bool LoadIconForDpi(UINT dpi);

    HWND m_mainWindow;
    TrayMenuData m_menu;
    // The icon should be in the notification area: created and not deleted since. A restarted
    // shell has lost every icon, so the icon is added again while this holds.
    bool m_bWanted = false;
    UINT m_nIconResourceId = 0;
    int m_nIconSize = 0;
    IconAddRetry m_retry{*this};
    UniqueIcon m_icon;  // declared after the record that points to it: released last
};
