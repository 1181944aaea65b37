#include "tray/system_tray_win32.h"

#include <cstring>
#include <utility>

#include "tray/tray_menu_win32.h"
#include "tray/tray_tip.h"
#include "win/dpi_win32.h"

// The record that carries uVersion and the 128-byte tip; the shell reads no further.
static_assert(sizeof(void*) != 4 || NOTIFYICONDATAA_V2_SIZE == 488,
              "the shell expects the 488-byte record on 32-bit Windows");

namespace {
bool IsAnsiLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}

// Sent by the shell to every top-level window when the taskbar has been (re)created.
UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}
}  // namespace

CSystemTray::CSystemTray(HWND mainWindow, TrayMenuData menu)
    : m_mainWindow(mainWindow), m_menu(std::move(menu)) {}

CSystemTray::~CSystemTray() {
    DeleteTrayIcon();
    DestroyWindow();
}

BOOL CSystemTray::CreateTrayIcon(HWND parent, UINT callbackMessage, const char* tip,
                                 UINT iconResourceId, UINT id) {
    // A hidden top-level window, not a message-only one: only top-level windows hear the
    // shell's "TaskbarCreated" broadcast.
    const RECT rect{0, 0, 10, 10};
    CreateEx(0, "", WS_POPUP, rect, nullptr);

    m_iconData.cbSize = NOTIFYICONDATAA_V2_SIZE;
    m_iconData.hWnd = parent != nullptr ? parent : m_hWnd;
    m_iconData.uID = id;
    m_iconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_iconData.uCallbackMessage = callbackMessage;
    m_nIconResourceId = iconResourceId;
    LoadIconForDpi(WindowDpi(m_hWnd));
    const std::string text =
        CutToBytes(tip != nullptr ? tip : "", sizeof(m_iconData.szTip) - 1, IsAnsiLeadByte);
    std::memcpy(m_iconData.szTip, text.c_str(), text.size() + 1);

    m_bWanted = true;
    m_bAdded = AddIcon();
    return m_bAdded;
}

bool CSystemTray::AddIcon() {
    if (!Shell_NotifyIconA(NIM_ADD, &m_iconData)) {
        return false;
    }
    // Asked again after every add: a restarted shell knows nothing of the earlier one.
    m_iconData.uVersion = NOTIFYICON_VERSION;
    m_bVersion3 = Shell_NotifyIconA(NIM_SETVERSION, &m_iconData) != FALSE;
    return true;
}

void CSystemTray::DeleteTrayIcon() {
    m_bWanted = false;
    if (!m_bAdded) {
        return;
    }
    m_iconData.uFlags = 0;
    Shell_NotifyIconA(NIM_DELETE, &m_iconData);
    m_bAdded = FALSE;
}

void CSystemTray::EnsureShown() {
    if (m_bWanted && !Shell_NotifyIconA(NIM_MODIFY, &m_iconData)) {
        m_bAdded = AddIcon();
    }
}

LRESULT CSystemTray::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_iconData.uCallbackMessage != 0 && message == m_iconData.uCallbackMessage) {
        return OnTrayCallback(wParam, lParam);
    }
    if (message == TaskbarCreatedMessage()) {
        OnTaskbarCreated();
    }
    if (message == WM_DPICHANGED) {
        OnDpiChanged(LOWORD(wParam));
        return 0;
    }
    if (message == WM_DISPLAYCHANGE) {
        OnDpiChanged(WindowDpi(m_hWnd));
    }
    return DefWindowProc(message, wParam, lParam);
}

bool CSystemTray::LoadIconForDpi(UINT dpi) {
    const int size = MetricForDpi(SM_CXSMICON, dpi);
    // Not shared: a shared icon would keep the size it was first loaded at.
    UniqueIcon icon(static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr),
                                                  MAKEINTRESOURCEA(m_nIconResourceId), IMAGE_ICON,
                                                  size, size, 0)));
    if (!icon) {
        return false;
    }
    m_iconData.hIcon = icon.get();
    m_icon = std::move(icon);
    m_nIconSize = size;
    return true;
}

void CSystemTray::OnDpiChanged(UINT dpi) {
    if (MetricForDpi(SM_CXSMICON, dpi) == m_nIconSize) {
        return;
    }
    UniqueIcon shown = std::move(m_icon);  // kept until the shell has the new one
    if (!LoadIconForDpi(dpi)) {
        m_icon = std::move(shown);
        return;
    }
    if (m_bAdded) {
        m_iconData.uFlags = NIF_ICON;
        Shell_NotifyIconA(NIM_MODIFY, &m_iconData);
        m_iconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    }
}

void CSystemTray::OnTaskbarCreated() {
    // The new shell starts with an empty notification area, so the icon is added again,
    // also when the first add failed because no shell was running yet.
    // A shell that still knows the icon (a broadcast without a restart) refuses the add; the
    // icon is then still there and must stay marked as added so that it gets removed.
    if (m_bWanted) {
        m_bAdded = AddIcon() || Shell_NotifyIconA(NIM_MODIFY, &m_iconData);
    }
}

LRESULT CSystemTray::OnTrayCallback(WPARAM wParam, LPARAM lParam) {
    if (wParam != m_iconData.uID) {
        return 0;
    }
    // With the newer behaviour one right-click brings WM_RBUTTONUP and then WM_CONTEXTMENU:
    // only the latter opens the menu, so a click opens exactly one.
    const UINT event = LOWORD(lParam);
    const bool opensMenu =
        m_bVersion3 ? (event == WM_CONTEXTMENU || event == NIN_KEYSELECT) : event == WM_RBUTTONUP;
    if (!opensMenu) {
        return 1;
    }
    const TrayMenuState state{m_iconData.uID, m_bSelfTimerChecked};
    UniqueMenu popup = BuildTrayPopup(state, m_menu);
    if (!popup) {
        return 0;
    }
    // Tracking runs a nested message loop in which a plug-state change may delete this object,
    // so from here on only locals are used.
    const HWND owner = m_mainWindow;
    TrackTrayMenu(std::move(popup), owner);
    return 1;
}
