// The tray icon's right-click menu as the user gets it: its layout and texts in both plug
// states and for different sensors, the clicks that open nothing, and commands chosen with the
// keyboard.
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "menu_driver.h"
#include "screenshot.h"
#include "sim_camera.h"

namespace {

using menu_driver::Item;
using menu_driver::MenuContents;
using menu_driver::PressKey;
using menu_driver::ReadMenu;
using menu_driver::WaitHighlighted;

constexpr UINT kPopup = 0xFFFFFFFF;  // GetMenuItemID of an item that opens a submenu
constexpr UINT kSeparator = 0;

// The installed language file's text for `key`, read as the program reads it.
std::string LanguageText(const char* key) {
    char directory[MAX_PATH] = "";
    GetSystemDirectoryA(directory, sizeof directory);
    const std::string path = std::string(directory) + "\\LUMA64.ini";
    char text[60] = "";
    GetPrivateProfileStringA("Language", key, "", text, sizeof text, path.c_str());
    EXPECT_STRNE(text, "") << key << " is missing from " << path;
    return text;
}

struct Expected {
    UINT id;
    std::string text;
};

void ExpectItems(const std::vector<Item>& items, const std::vector<Expected>& expected,
                 const char* menuName) {
    ASSERT_EQ(items.size(), expected.size()) << menuName;
    for (size_t position = 0; position < items.size(); ++position) {
        const Item& item = items[position];
        SCOPED_TRACE(std::string(menuName) + " position " + std::to_string(position));
        EXPECT_EQ(item.id, expected[position].id);
        EXPECT_EQ(item.separator(), expected[position].id == kSeparator);
        EXPECT_EQ(item.submenu != nullptr, expected[position].id == kPopup);
        if (!item.separator()) {
            EXPECT_EQ(item.text, expected[position].text);
            EXPECT_EQ(item.flags() & (MF_GRAYED | MF_DISABLED), 0u) << "enabled";
        }
    }
}

std::vector<Expected> ExpectedTopLevel(bool pluggedIn) {
    if (!pluggedIn) {
        return {{32783, "ZOZEZA Tray"},
                {kSeparator, ""},
                {32785, LanguageText("ID_QUICKLAUNCH")},
                {kSeparator, ""},
                {32798, LanguageText("ID_MENU_EXIT")}};
    }
    return {{32783, "ZOZEZA Tray"},
            {kSeparator, ""},
            {32786, LanguageText("ID_VIDEO_CAPTURE_FILTER")},
            {kPopup, LanguageText("IDD_EFFECT_PAGE_TITLE")},
            {kPopup, LanguageText("ID_SNAPONE")},
            {kSeparator, ""},
            {32785, LanguageText("ID_QUICKLAUNCH")},
            {kSeparator, ""},
            {32798, LanguageText("ID_MENU_EXIT")}};
}

std::vector<Expected> ExpectedEffects() {
    std::vector<Expected> effects;
    char key[32];
    for (int row = 0; row < 21; ++row) {
        std::snprintf(key, sizeof key, "IDC_SE_RADIO%d", row + 1);
        effects.push_back({32710u + row, LanguageText(key)});
    }
    effects.push_back({kSeparator, ""});  // row 21 has no effect
    for (int row = 22; row < 33; ++row) {
        std::snprintf(key, sizeof key, "IDC_FRAME_RADIO%d", row - 21);
        effects.push_back({32710u + row, LanguageText(key)});
    }
    return effects;
}

std::vector<Expected> ExpectedSnapshot(size_t sizeCount) {
    static const char* const kSizes[] = {"160x120", "176x144",  "320x240",  "352x288",  "640x480",
                                         "800x600", "1024x768", "1280x720", "1280x800", "1280x960"};
    std::vector<Expected> items = {{32778, LanguageText("ID_SNAPONE_DELAY")}, {kSeparator, ""}};
    for (size_t i = 0; i < sizeCount; ++i) {
        items.push_back({static_cast<UINT>(32760 + i), kSizes[i]});
    }
    return items;
}

using MenuTest = TrayMenuTest;

TEST_F(MenuTest, PluggedInMenuFollowsTheSensorAndTheSelfTimer) {
    StartPlugged();
    HWND menuWindow = OpenMenu();
    ASSERT_NE(menuWindow, nullptr);
    MenuContents top;
    ASSERT_TRUE(ReadMenu(tray.Id(), menu_driver::MenuOfWindow(menuWindow), &top));
    ExpectItems(top.items, ExpectedTopLevel(true), "menu");
    EXPECT_EQ(top.defaultItem, 0) << "the title is the default item";
    ASSERT_EQ(top.items.size(), 9u);
    MenuContents effects;
    ASSERT_TRUE(ReadMenu(tray.Id(), top.items[3].submenu, &effects));
    ExpectItems(effects.items, ExpectedEffects(), "effects");
    // A 307200-pixel sensor offers the sizes up to 1280x960: 32769 at position 11 is the last.
    MenuContents snapshot;
    ASSERT_TRUE(ReadMenu(tray.Id(), top.items[4].submenu, &snapshot));
    ExpectItems(snapshot.items, ExpectedSnapshot(10), "snapshot");
    EXPECT_EQ(snapshot.items[0].flags() & MF_CHECKED, 0u) << "self-timer off";
    PressKey(menuWindow, VK_ESCAPE);
    ASSERT_TRUE(menu_driver::WaitMenusClosed(tray.Id()));

    // The sensor is read as the camera opens: another one shows once it is plugged in again.
    // The check mark follows the self-timer.
    sim::Camctl("kind 3");
    sim::Camctl("pixels 76800");
    sim::Camctl("unplug");
    ASSERT_TRUE(viewer.WaitFor("plug out or stop", 3s));
    sim::Camctl("plug");
    ASSERT_TRUE(viewer.WaitFor("plug in and play!", 3s, 2));
    ASSERT_TRUE(PollUntil(
        [&] { return (iconWindow = menu_driver::TrayIconWindow(tray.Id(), iconId)) != nullptr; },
        3s));
    PostMessageA(tray.ControllerWindow(), WM_COMMAND, 32778, 0);
    ASSERT_TRUE(viewer.WaitFor("SetCameraStatus 0x11", 3s));
    menuWindow = OpenMenu();
    ASSERT_NE(menuWindow, nullptr);
    ASSERT_TRUE(ReadMenu(tray.Id(), menu_driver::MenuOfWindow(menuWindow), &top));
    ExpectItems(top.items, ExpectedTopLevel(true), "menu");
    ASSERT_EQ(top.items.size(), 9u);
    ASSERT_TRUE(ReadMenu(tray.Id(), top.items[3].submenu, &effects));
    ExpectItems(effects.items, {{32710, LanguageText("IDC_SE_RADIO1")}},
                "effects without effect support");
    ASSERT_TRUE(ReadMenu(tray.Id(), top.items[4].submenu, &snapshot));
    ExpectItems(snapshot.items, ExpectedSnapshot(5), "snapshot of a 76800-pixel sensor");
    EXPECT_NE(snapshot.items[0].flags() & MF_CHECKED, 0u) << "self-timer on";
    PressKey(menuWindow, VK_ESCAPE);
    ASSERT_TRUE(menu_driver::WaitMenusClosed(tray.Id()));
    ExpectCleanExit();
}

TEST_F(MenuTest, UnpluggedMenuHasNoCameraEntries) {
    StartUnplugged();
    HWND menuWindow = OpenMenu();
    ASSERT_NE(menuWindow, nullptr);
    MenuContents menu;
    ASSERT_TRUE(ReadMenu(tray.Id(), menu_driver::MenuOfWindow(menuWindow), &menu));
    ExpectItems(menu.items, ExpectedTopLevel(false), "unplugged menu");
    EXPECT_EQ(menu.defaultItem, 0) << "the title is the default item";
    PressKey(menuWindow, VK_ESCAPE);
    EXPECT_TRUE(menu_driver::WaitMenusClosed(tray.Id()));
    ExpectCleanExit();
}

TEST_F(MenuTest, OnlyTheContextMenuAndKeySelectOnTheIconsOwnIdOpenTheMenu) {
    StartPlugged();
    struct Callback {
        const char* name;
        WPARAM iconId;
        LPARAM event;
        LRESULT result;
    };
    const Callback ignored[] = {
        {"the unplugged menu's id", menu_driver::kUnpluggedIcon, WM_CONTEXTMENU, 0},
        {"right button up alone", menu_driver::kPluggedIcon, WM_RBUTTONUP, 1},
        {"right button down", menu_driver::kPluggedIcon, WM_RBUTTONDOWN, 1},
        {"left button up", menu_driver::kPluggedIcon, WM_LBUTTONUP, 1},
        {"left double click", menu_driver::kPluggedIcon, WM_LBUTTONDBLCLK, 1},
        {"NIN_SELECT", menu_driver::kPluggedIcon, NIN_SELECT, 1},
    };
    for (const Callback& callback : ignored) {
        // Sent: a callback that tracked a menu would not return before the deadline.
        DWORD_PTR result = 1234;
        const LRESULT answered =
            SendMessageTimeoutA(iconWindow, menu_driver::TrayNotifyMessage(), callback.iconId,
                                callback.event, SMTO_ABORTIFHUNG, 2000, &result);
        ASSERT_NE(answered, 0) << callback.name << ": the callback did not return";
        EXPECT_EQ(static_cast<LRESULT>(result), callback.result) << callback.name;
        EXPECT_TRUE(menu_driver::VisibleWindows(tray.Id(), "#32768").empty()) << callback.name;
    }
    // The keyboard: Enter or Space on the selected icon, then the menu key or Shift+F10.
    for (LPARAM event : {static_cast<LPARAM>(NIN_KEYSELECT), static_cast<LPARAM>(WM_CONTEXTMENU)}) {
        PostMessageA(iconWindow, menu_driver::TrayNotifyMessage(), iconId, event);
        HWND menuWindow = nullptr;
        ASSERT_TRUE(PollUntil(
            [&] {
                const auto open = menu_driver::VisibleWindows(tray.Id(), "#32768");
                menuWindow = open.empty() ? nullptr : open.front();
                return menuWindow != nullptr;
            },
            3s))
            << "no menu on event " << event;
        PressKey(menuWindow, VK_ESCAPE);
        ASSERT_TRUE(menu_driver::WaitMenusClosed(tray.Id()));
    }
    // One right-click, reported as WM_RBUTTONUP then WM_CONTEXTMENU, opens exactly one menu.
    HWND menuWindow = OpenMenu();
    ASSERT_NE(menuWindow, nullptr);
    PressKey(menuWindow, VK_ESCAPE);
    EXPECT_TRUE(menu_driver::WaitMenusClosed(tray.Id()));
    EXPECT_FALSE(
        PollUntil([&] { return !menu_driver::VisibleWindows(tray.Id(), "#32768").empty(); }, 700ms))
        << "a second menu opened after the first closed";
    ExpectCleanExit();
}

TEST_F(MenuTest, EffectChosenWithTheKeyboardReachesTheDriver) {
    StartPlugged();
    sim::Camctl("journal-clear");
    HWND menuWindow = OpenMenu();
    ASSERT_NE(menuWindow, nullptr);
    HMENU menu = menu_driver::MenuOfWindow(menuWindow);
    PressKey(menuWindow, VK_DOWN, 3);  // title, "Video Capture Filter", effects
    ASSERT_TRUE(WaitHighlighted(tray.Id(), menu, 3));
    PressKey(menuWindow, VK_RIGHT);  // opens the effects with their first row selected
    HWND effectsWindow = menu_driver::WaitForNewMenuWindow(tray.Id(), {menuWindow});
    ASSERT_NE(effectsWindow, nullptr);
    HMENU effects = menu_driver::MenuOfWindow(effectsWindow);
    MenuContents top;
    ASSERT_TRUE(ReadMenu(tray.Id(), menu, &top));
    ASSERT_EQ(top.items.size(), 9u);
    ASSERT_EQ(effects, top.items[3].submenu);
    // Row 24, "IDC_FRAME_RADIO3": the keys pass over the separator at row 21.
    PressKey(menuWindow, VK_DOWN, 23);
    ASSERT_TRUE(WaitHighlighted(tray.Id(), effects, 24));
    EXPECT_TRUE(SaveScreenshot("tray_menu_effects"));
    PressKey(menuWindow, VK_RETURN);
    ASSERT_TRUE(menu_driver::WaitMenusClosed(tray.Id()));
    // The row's effect id (53), not the command id, goes to the driver.
    ASSERT_TRUE(PollUntil([] { return !sim::JournalLines("set 3 ").empty(); }, 3s));
    EXPECT_EQ(sim::JournalLines("set 3 "), std::vector<std::string>{"set 3 53 0 0 0"});
    ExpectCleanExit();
}

TEST_F(MenuTest, ExitChosenInTheMenuEndsTheProgram) {
    StartPlugged(0x05);  // the tray-exit bit set: this way out leaves it alone
    sim::Camctl("journal-clear");
    HWND menuWindow = OpenMenu();
    ASSERT_NE(menuWindow, nullptr);
    HMENU menu = menu_driver::MenuOfWindow(menuWindow);
    PressKey(menuWindow, VK_UP);  // from no selection, up selects the last item
    ASSERT_TRUE(WaitHighlighted(tray.Id(), menu, 8));
    PressKey(menuWindow, VK_RETURN);
    DWORD exitCode = 1234;
    ASSERT_TRUE(tray.WaitExit(5s, &exitCode)) << "still running after Exit";
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(TrayIconShown(iconWindow, iconId));
    EXPECT_TRUE(sim::JournalLines("set 18 ").empty()) << "no status change on the way out";
}

}  // namespace
