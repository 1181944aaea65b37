// Start-up, staying hidden, the debug records and the "EXIT" command.
#include <cstring>
#include <string>

#include "tray_test_fixture.h"

namespace {

using SpineTest = TrayTest;

TEST_F(SpineTest, StartsHiddenAndLogsTheTraySwitchFirst) {
    StartTray(1, 103, 0);
    ASSERT_TRUE(viewer.WaitFor("Thread Start", 5s));
    const auto records = viewer.Records();
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records[0].text, "CKRYTrayDlg, ulCameraStatus = 0x1");
    EXPECT_EQ(records[0].level, 103u);
    EXPECT_EQ(viewer.Count("ClearCameraStatus 0x0"), 1) << "the start-up clear of all five bits";
    EXPECT_FALSE(IsWindowVisible(tray.ControllerWindow()));
    ExpectCleanExit();
}

TEST_F(SpineTest, ShowRequestsFromOutsideLeaveItHidden) {
    StartTray();
    HWND controller = tray.ControllerWindow();
    ShowWindow(controller, SW_SHOW);
    SendMessageA(controller, WM_SYSCOMMAND, SC_RESTORE, 0);
    SendMessageA(controller, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    SetWindowPos(controller, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
    EXPECT_FALSE(IsWindowVisible(controller));
    ExpectCleanExit();
}

TEST_F(SpineTest, DebugLevelFiltersRecords) {
    StartTray(1, 100, 0);
    ASSERT_TRUE(tray.SendExit());
    ASSERT_TRUE(tray.WaitExit(5s));
    for (const auto& record : viewer.Records()) {
        EXPECT_LE(record.level, 100u) << record.text;
    }
    viewer.Clear();
    StartTray(1, 0xFFFFFFFF, 0);  // -1: nothing at all
    ExpectCleanExit();
    EXPECT_TRUE(viewer.Records().empty());
}

TEST_F(SpineTest, ExitClearsTheTrayExitBitWithoutTheNotificationArea) {
    StartTray(0, 103, 0x1F);
    ExpectCleanExit();
    EXPECT_EQ(viewer.Count("ClearCameraStatus 0x1b"), 1);
    EXPECT_EQ(tray.TrayWindow(), nullptr);
}

TEST_F(SpineTest, ViewerThatStopsRespondingDoesNotFreezeTheProgram) {
    viewer.Stall();
    StartTray(1, 103, 0);
    ASSERT_TRUE(PollUntil([&] { return tray.TrayWindow() != nullptr; }, 10s))
        << "start-up went on past the records the viewer did not take";
    ASSERT_TRUE(tray.SendExit());
    EXPECT_TRUE(tray.WaitExit(10s));
    viewer.Resume();
}

TEST_F(SpineTest, StartUpClearLeavesTheStoredStatusAlone) {
    StartTray(1, 103, 0x1F);
    ASSERT_TRUE(viewer.WaitFor("Thread Start", 5s));
    EXPECT_EQ(viewer.Count("ClearCameraStatus 0x0"), 1);
    uint32_t stored = 0;
    ASSERT_TRUE(settings::ReadDword("CameraStatus", &stored));
    EXPECT_EQ(stored, 0x1Fu) << "only the driver writes CameraStatus";
    ExpectCleanExit();
}

struct Payload {
    const char* name;
    ULONG_PTR dwData;
    std::string bytes;
};

class ExitPayloadTest : public TrayTest, public ::testing::WithParamInterface<Payload> {};

TEST_P(ExitPayloadTest, EndsTheProgram) {
    StartTray(1, 103, 0);
    const Payload& payload = GetParam();
    tray.SendCopyData(payload.dwData, payload.bytes.data(),
                      static_cast<DWORD>(payload.bytes.size()));
    DWORD exitCode = 1234;
    ASSERT_TRUE(tray.WaitExit(5s, &exitCode));
    EXPECT_EQ(exitCode, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, ExitPayloadTest,
    ::testing::Values(Payload{"NoTerminator", 4402, std::string("EXIT", 4)},
                      Payload{"WithTerminator", 4402, std::string("EXIT\0", 5)},
                      Payload{"TrailingJunk", 4402, std::string("EXIT\0junk", 9)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SpineTest, OtherCopyDataChangesNothing) {
    StartTray(1, 103, 0);
    const Payload rejected[] = {{"lower", 4402, "exit"},
                                {"blank", 4402, "EXIT "},
                                {"longer", 4402, "EXITS"},
                                {"shorter", 4402, "EXI"},
                                {"otherId", 4401, "EXIT"},
                                {"empty", 4402, ""},
                                {"long", 4402, std::string(600, 'E')}};
    for (const auto& payload : rejected) {
        tray.SendCopyData(payload.dwData, payload.bytes.data(),
                          static_cast<DWORD>(payload.bytes.size()));
        EXPECT_TRUE(tray.Running()) << payload.name;
    }
    ExpectCleanExit();
}

}  // namespace
