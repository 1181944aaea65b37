#include "tray/system_tray_win32.h"

#include <chrono>
#include <cstring>
#include <optional>
#include <utility>

#include "tray/menu_anchor.h"
#include "tray/tray_menu_win32.h"
#include "tray/tray_tip.h"
#include "win/dpi_win32.h"
#include "win/system_library_win32.h"

// The record that carries uVersion and the 128-byte tip; the shell reads no further.
static_assert(sizeof(void*) != 4 || NOTIFYICONDATAA_V2_SIZE == 488,
              "the shell expects the 488-byte record on 32-bit Windows");

namespace {
bool IsAnsiLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}

// The menu's anchor: the icon's rectangle, where the shell can tell it (Windows 7 and later),
// for the keyboard, the pointer otherwise.
POINT MenuAnchorPoint(bool fromKeyboard, const NOTIFYICONDATAA& icon) {
    POINT cursor{};
    GetCursorPos(&cursor);
    std::optional<ScreenRect> iconRect;
    using GetRectFn = HRESULT(WINAPI*)(const NOTIFYICONIDENTIFIER*, RECT*);
    static const auto getRect =
        LookUpLoadedFunction<GetRectFn>(L"shell32.dll", "Shell_NotifyIconGetRect");
    if (fromKeyboard && getRect != nullptr) {
        NOTIFYICONIDENTIFIER id{};
        id.cbSize = sizeof id;
        id.hWnd = icon.hWnd;
        id.uID = icon.uID;
        RECT rect{};
        if (SUCCEEDED(getRect(&id, &rect))) {
            iconRect = ScreenRect{rect.left, rect.top, rect.right, rect.bottom};
        }
    }
    const ScreenPoint anchor = MenuAnchor(fromKeyboard, iconRect, {cursor.x, cursor.y});
    return POINT{anchor.x, anchor.y};
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
    ShowIcon();
    return m_bAdded;
}

void CSystemTray::ShowIcon() {
    m_bAdded = m_retry.Show();
    if (m_retry.Pending() && m_hWnd != nullptr) {
        const auto delay = std::chrono::duration_cast<std::chrono::milliseconds>(m_retry.Delay());
        SetTimer(m_hWnd, kTrayRetryTimerId, static_cast<UINT>(delay.count()), nullptr);
    } else if (m_hWnd != nullptr) {
        KillTimer(m_hWnd, kTrayRetryTimerId);
    }
}

bool CSystemTray::Add() {
    return Shell_NotifyIconA(NIM_ADD, &m_iconData) != FALSE;
}

bool CSystemTray::Has() {
    return Shell_NotifyIconA(NIM_MODIFY, &m_iconData) != FALSE;
}

void CSystemTray::SetVersion() {
    // Asked again after every add: a restarted shell knows nothing of the earlier one.
    m_iconData.uVersion = NOTIFYICON_VERSION;
    m_bVersion3 = Shell_NotifyIconA(NIM_SETVERSION, &m_iconData) != FALSE;
}

void CSystemTray::DeleteTrayIcon() {
    m_bWanted = false;
    // An add that timed out may have happened all the same: such an icon is removed too.
    const bool mayBeShown = m_bAdded || m_retry.Pending();
    m_retry.Stop();
    if (m_hWnd != nullptr) {
        KillTimer(m_hWnd, kTrayRetryTimerId);
    }
    if (!mayBeShown) {
        return;
    }
    m_iconData.uFlags = 0;
    Shell_NotifyIconA(NIM_DELETE, &m_iconData);
    m_bAdded = FALSE;
}

void CSystemTray::EnsureShown() {
    if (m_bWanted) {
        ShowIcon();
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
    if (message == WM_TIMER && wParam == kTrayRetryTimerId) {
        EnsureShown();
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
    // also when the first add failed because no shell was running yet. A shell that still
    // knows the icon (a broadcast without a restart) answers the modify and gets no second one.
    EnsureShown();
}

LRESULT CSystemTray::OnTrayCallback(WPARAM wParam, LPARAM lParam) {
    if (wParam != m_iconData.uID) {
        return 0;
    }
    // With the newer behaviour one right-click brings WM_RBUTTONUP and then WM_CONTEXTMENU:
    // only the latter opens the menu, so a click opens exactly one. A WM_CONTEXTMENU with no
    // release just before it is the menu key or Shift+F10.
    const UINT event = LOWORD(lParam);
    bool afterRightClick = m_bRightButtonUp;
    if (event != WM_MOUSEMOVE) {
        afterRightClick = std::exchange(m_bRightButtonUp, event == WM_RBUTTONUP);
    }
    const bool opensMenu =
        m_bVersion3 ? (event == WM_CONTEXTMENU || event == NIN_KEYSELECT) : event == WM_RBUTTONUP;
    if (!opensMenu) {
        return 1;
    }
    const bool fromKeyboard =
        m_bVersion3 && (event == NIN_KEYSELECT || (event == WM_CONTEXTMENU && !afterRightClick));
    const TrayMenuState state{m_iconData.uID, m_bSelfTimerChecked};
    UniqueMenu popup = BuildTrayPopup(state, m_menu);
    if (!popup) {
        return 0;
    }
    // Tracking runs a nested message loop in which a plug-state change may delete this object,
    // so from here on only locals are used.
    const HWND owner = m_mainWindow;
    NOTIFYICONDATAA icon{};
    icon.cbSize = m_iconData.cbSize;
    icon.hWnd = m_iconData.hWnd;
    icon.uID = m_iconData.uID;
    const POINT anchor = MenuAnchorPoint(fromKeyboard, icon);
    if (!TrackTrayMenu(std::move(popup), owner, anchor) && fromKeyboard) {
        // Fails harmlessly when the icon went while the menu was open.
        Shell_NotifyIconA(NIM_SETFOCUS, &icon);
    }
    return 1;
}
