#include "tray_test_fixture.h"

#include <cstdio>

#include "standard_user.h"

void TrayTest::SetUp() {
    viewer.Clear();
}

void TrayTest::TearDown() {
    if (tray.Running()) {
        tray.SendExit();
        if (!tray.WaitExit(5s)) {
            ADD_FAILURE() << "the program did not end on EXIT";
            tray.Kill();
        }
    }
}

void TrayTest::StartTray(uint32_t trayEnabled, uint32_t debugLevel, uint32_t cameraStatus) {
    settings::Reset(trayEnabled, debugLevel, cameraStatus);
    if (standardUser) {
        ASSERT_TRUE(standard_user::RestrictSettingsKey());
    }
    ASSERT_TRUE(standardUser ? tray.StartAsStandardUser() : tray.Start());
    ASSERT_TRUE(PollUntil([&] { return tray.ControllerWindow() != nullptr; }, 10s))
        << "no controller window";
}

void TrayTest::ExpectCleanExit() {
    ASSERT_TRUE(tray.SendExit());
    DWORD exitCode = 1234;
    ASSERT_TRUE(tray.WaitExit(5s, &exitCode)) << "still running after EXIT";
    EXPECT_EQ(exitCode, 0u);
}
