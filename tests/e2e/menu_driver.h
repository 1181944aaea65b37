// Drives the tray icon's right-click menu from outside the program, as the shell and a user
// would: the icon's callback message opens it, the keyboard walks it, and the open menu
// windows ("#32768") give the menus to read.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "tray_test_fixture.h"

namespace menu_driver {

constexpr UINT kPluggedIcon = 130;
constexpr UINT kUnpluggedIcon = 131;

// The registered callback message of the program's tray icons.
UINT TrayNotifyMessage();

// The hidden window of the tray icon object whose icon `iconId` is in the notification area, or
// null. (The countdown overlay has the same window class but no icon.)
HWND TrayIconWindow(DWORD processId, UINT iconId);

// Visible top-level windows of the process with this class, topmost first.
std::vector<HWND> VisibleWindows(DWORD processId, const char* className);

// Posts the icon callback (wParam = icon id, lParam = mouse message) and waits for a menu
// window to show; null when none shows before the deadline.
HWND OpenTrayMenu(HWND trayWindow, UINT iconId,
                  std::chrono::milliseconds timeout = std::chrono::milliseconds(3000));

// Waits for a visible menu window other than those in `known` (an opened submenu).
HWND WaitForNewMenuWindow(DWORD processId, const std::vector<HWND>& known,
                          std::chrono::milliseconds timeout = std::chrono::milliseconds(3000));

// Waits until the process shows no menu window.
bool WaitMenusClosed(DWORD processId,
                     std::chrono::milliseconds timeout = std::chrono::milliseconds(3000));

// The menu that an open menu window shows (MN_GETHMENU).
HMENU MenuOfWindow(HWND menuWindow);

struct Item {
    UINT id = 0;  // 0xFFFFFFFF for an item that opens a submenu
    std::string text;
    UINT state = 0;           // GetMenuState flags (for a submenu: its item count << 8 | flags)
    HMENU submenu = nullptr;  // a handle of the program's process: read it with ReadMenu
    UINT flags() const { return submenu != nullptr ? state & 0xFF : state; }
    bool separator() const { return (flags() & MF_SEPARATOR) != 0; }
};

struct MenuContents {
    int defaultItem = -1;  // GetMenuDefaultItem by position
    std::vector<Item> items;
};

// Reads a menu of the program's process. Under Wine only a menu's own process can read it, so
// the first call loads the menu probe into the program. False (and a failure) when it cannot.
bool ReadMenu(DWORD processId, HMENU menu, MenuContents* contents);

// Waits until the item at `position` of a menu of the program is selected (highlighted).
::testing::AssertionResult WaitHighlighted(
    DWORD processId, HMENU menu, int position,
    std::chrono::milliseconds timeout = std::chrono::milliseconds(3000));

// Posts key presses to the menu window; the menu's tracking loop reads them in order.
void PressKey(HWND menuWindow, UINT virtualKey, int times = 1);

}  // namespace menu_driver

// The program with the simulated camera, its stand-in viewer, and a way to its tray menu.
class TrayMenuTest : public TrayTest {
protected:
    void SetUp() override;
    void TearDown() override;  // also closes a menu that a failed test left open

    // Plugs the camera in, starts the program and waits for the plugged-in icon.
    void StartPlugged(uint32_t cameraStatus = 0x01);
    // Starts the program without a camera and waits for the unplugged icon.
    void StartUnplugged();
    // Opens the menu of the icon shown; null (and a failure) when none shows.
    HWND OpenMenu();

    UINT iconId = 0;
    HWND iconWindow = nullptr;
};
