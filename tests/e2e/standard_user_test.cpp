// The quick-launch choice of a standard user: UAC's filtered token, the settings key with the
// rights Windows gives a new HKLM\SOFTWARE key, the simulated driver's privileged side storing
// the status bits as the kernel would.
#include <windows.h>

#include <cstring>
#include <string>

#include "command_fixture.h"
#include "sim/status_broker.h"
#include "sim_camera.h"
#include "stand_ins.h"
#include "standard_user.h"
#include "win/text_win32.h"

namespace {

class StandardUserTest : public CommandTest {
protected:
    void SetUp() override {
        CommandTest::SetUp();
        standardUser = true;
        standard_user::DeleteUserSettings();
    }
    void TearDown() override {
        CommandTest::TearDown();
        standard_user::DeleteUserSettings();
    }

    // Presses the camera's button and waits for `program` to be started once more.
    ::testing::AssertionResult PressStarts(const std::string& program) {
        const size_t before = stand_in::Starts(program).size();
        sim::Camctl("press");
        if (PollUntil([&] { return stand_in::Starts(program).size() > before; }, 5s)) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << "the button did not start " << program;
    }

    StatusBroker broker;
};

TEST_F(StandardUserTest, TheChoiceIsKeptForTheUserWhateverItsScriptAndTheMachinesIsTheFallback) {
    StartPlugged();
    settings::SetRaw("QuickLaunch", REG_SZ, stand_in::kQuickLaunch,
                     static_cast<DWORD>(std::strlen(stand_in::kQuickLaunch) + 1));
    HWND dialog = OpenQuickLaunch();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(DialogText(dialog, 1000), stand_in::kQuickLaunch) << "the machine's choice";

    ASSERT_TRUE(PickFile(dialog, stand_in::kQuickLaunchCyrillic));
    EXPECT_EQ(DialogText(dialog, 1000), stand_in::kQuickLaunchCyrillic);
    Click(dialog, IDOK);
    ASSERT_TRUE(PollUntil([&] { return !IsWindow(dialog); }, 3s)) << "OK did not close";
    EXPECT_EQ(standard_user::UserQuickLaunch(), FromUtf8(stand_in::kQuickLaunchCyrillic));
    EXPECT_TRUE(StoredQuickLaunchIs(stand_in::kQuickLaunch)) << "the machine's value stays";
    EXPECT_TRUE(PressStarts(stand_in::kQuickLaunchCyrillic));
    // The record keeps the ANSI code page, which has no Cyrillic letters.
    EXPECT_TRUE(viewer.WaitFor("C:\\krytest\\????\\quick.exe", 3s));

    ExpectCleanExit();
    ASSERT_TRUE(tray.StartAsStandardUser());
    ASSERT_TRUE(viewer.WaitFor("plug in and play!", 10s, 2));
    dialog = OpenQuickLaunch();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(DialogText(dialog, 1000), stand_in::kQuickLaunchCyrillic) << "after a restart";
    Click(dialog, IDCANCEL);
    ASSERT_TRUE(PollUntil([&] { return !IsWindow(dialog); }, 3s));

    standard_user::DeleteUserQuickLaunch();
    EXPECT_TRUE(PressStarts(stand_in::kQuickLaunch));
    ExpectCleanExit();
}

TEST_F(StandardUserTest, NeitherKeyWritableKeepsTheDialogOpenAndSaysWhy) {
    ASSERT_TRUE(standard_user::RestrictSettingsKey(HKEY_CURRENT_USER));
    StartUnplugged();
    HWND dialog = OpenQuickLaunch();
    ASSERT_NE(dialog, nullptr);
    SetDlgItemTextA(dialog, 1000, "C:\\lost.exe");
    Click(dialog, IDOK);
    HWND box = nullptr;
    ASSERT_TRUE(PollUntil(
        [&] {
            return (box = FindProcessWindow(tray.Id(), "#32770", "Quick Launch Setting", true));
        },
        3s))
        << "no message box";
    EXPECT_NE(WindowText(GetDlgItem(box, 0xFFFF)).find("could not be saved"), std::string::npos);
    EXPECT_TRUE(
        viewer.WaitFor("QuickLaunch not stored: machine key error 5, user key error 5", 3s));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(PollUntil([&] { return !IsWindow(box); }, 3s));
    EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog closed on a failed save";
    EXPECT_EQ(DialogText(dialog, 1000), "C:\\lost.exe");
    std::string machine;
    EXPECT_FALSE(settings::ReadRaw("QuickLaunch", &machine));
    EXPECT_FALSE(standard_user::UserQuickLaunch());
    Click(dialog, IDCANCEL);
    ASSERT_TRUE(PollUntil([&] { return !IsWindow(dialog); }, 3s));
    ExpectCleanExit();
}

}  // namespace
