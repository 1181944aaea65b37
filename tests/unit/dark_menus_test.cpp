#include "win/dark_menus.h"

#include <gtest/gtest.h>

namespace {

TEST(DarkMenusTest, OnlyWindows10From1903AndNotInHighContrast) {
    EXPECT_TRUE(AllowDarkMenus(10, 18362, false));
    EXPECT_TRUE(AllowDarkMenus(10, 26100, false));   // Windows 11 reports 10
    EXPECT_FALSE(AllowDarkMenus(10, 17763, false));  // 1809: export 135 meant something else
    EXPECT_FALSE(AllowDarkMenus(6, 19041, false));
    EXPECT_FALSE(AllowDarkMenus(11, 30000, false));
    EXPECT_FALSE(AllowDarkMenus(10, 22631, true));
}

}  // namespace
