// The tray icon object in this process: the record it gives the shell, with the newer keyboard
// behaviour and a tip cut to the field without splitting a character.
#include <gtest/gtest.h>

#include <string>

#include "e2e_support.h"
#include "tray/system_tray_win32.h"

namespace {

constexpr UINT kTrayIconId = 133;  // test_resources.rc

// The width and height of an icon's image.
SIZE IconSize(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) {
        return SIZE{0, 0};
    }
    BITMAP bitmap{};
    GetObjectA(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    const SIZE size{bitmap.bmWidth,
                    info.hbmColor != nullptr ? bitmap.bmHeight : bitmap.bmHeight / 2};
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return size;
}

TEST(TrayIcon, AddsTheNewerBehaviourAndATipCutToTheField) {
    const std::string tip = "ZOZEZA Tray - " + std::string(200, 'x');
    {
        CSystemTray tray(nullptr, TrayMenuData{});  // menus are never built here
        ASSERT_TRUE(tray.CreateTrayIcon(nullptr, WM_APP + 9, tip.c_str(), kTrayIconId, 77));
        EXPECT_TRUE(TrayIconShown(tray.GetSafeHwnd(), 77));
        EXPECT_EQ(tray.m_iconData.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V2_SIZE));
        EXPECT_TRUE(tray.m_bVersion3) << "the shell took NOTIFYICON_VERSION";
        EXPECT_EQ(std::string(tray.m_iconData.szTip), tip.substr(0, 127));
        // The small-icon size of the screen: 16 at 96 DPI, 24 at 144 DPI.
        const SIZE size = IconSize(tray.m_iconData.hIcon);
        EXPECT_EQ(size.cx, GetSystemMetrics(SM_CXSMICON));
        EXPECT_EQ(size.cy, GetSystemMetrics(SM_CYSMICON));
        RecordProperty("tray_icon_size", static_cast<int>(size.cx));
        tray.DeleteTrayIcon();
        EXPECT_FALSE(TrayIconShown(tray.GetSafeHwnd(), 77));
    }
}

}  // namespace
