// "EXIT" ends the program whatever it has open, and a second copy ends at once. A setup or an
// uninstaller sends "EXIT" and waits for the process before it replaces or deletes the file.
#include <windows.h>
// after windows.h, which it needs
#include <tlhelp32.h>

#include <string>

#include "command_fixture.h"
#include "sim_camera.h"
#include "win/handles_win32.h"

namespace {

constexpr auto kExitDeadline = 2s;

// How many processes run this program.
int CountTrayProcesses() {
    const UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Process32First(snapshot.get(), &entry); more;
         more = Process32Next(snapshot.get(), &entry)) {
        count += _stricmp(entry.szExeFile, "KRYTray.exe") == 0 ? 1 : 0;
    }
    return count;
}

class ExitTest : public CommandTest {
protected:
    // Sends "EXIT" while something modal is open: the process must end, exit code 0.
    void ExpectExitWithin(std::chrono::milliseconds deadline) {
        ASSERT_TRUE(tray.SendExit());
        DWORD exitCode = 1234;
        ASSERT_TRUE(tray.WaitExit(deadline, &exitCode)) << "still running after EXIT";
        EXPECT_EQ(exitCode, 0u);
    }
};

TEST_F(ExitTest, EndsTheProgramWhileTheTrayMenuIsOpen) {
    StartPlugged();
    ASSERT_NE(OpenMenu(), nullptr);
    ExpectExitWithin(kExitDeadline);
}

TEST_F(ExitTest, EndsTheProgramWhileQuickLaunchIsOpenAndStoresNothing) {
    StartUnplugged();
    settings::SetRaw("QuickLaunch", REG_SZ, "C:\\kept.exe", 12);
    HWND dialog = OpenQuickLaunch();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), tray.ControllerWindow()) << "owned by the main window";
    SetDlgItemTextA(dialog, 1000, "C:\\typed\\but\\not\\confirmed.exe");
    ExpectExitWithin(kExitDeadline);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_TRUE(StoredQuickLaunchIs("C:\\kept.exe"));
}

TEST_F(ExitTest, EndsTheProgramWhileTheFileDialogIsOpen) {
    StartUnplugged();
    settings::SetRaw("QuickLaunch", REG_SZ, "C:\\kept.exe", 12);
    HWND dialog = OpenQuickLaunch();
    ASSERT_NE(dialog, nullptr);
    HWND files = OpenFileDialog(dialog);
    ASSERT_NE(files, nullptr) << "no file dialog";
    ExpectExitWithin(kExitDeadline);
    EXPECT_TRUE(StoredQuickLaunchIs("C:\\kept.exe"));
}

TEST_F(ExitTest, EndsTheProgramWhileThePropertyFrameIsOpen) {
    StartPlugged();
    ASSERT_NE(OpenPropertyFrame(), nullptr) << "no property frame";
    ExpectExitWithin(kExitDeadline);
}

TEST_F(ExitTest, EndsTheProgramDuringTheCountdown) {
    StartPlugged(0x11);  // the self-timer on
    sim::Camctl("journal-clear");
    Command(32764);
    ASSERT_TRUE(viewer.WaitFor("4", 4s));
    ASSERT_NE(VisibleOverlay(), nullptr);
    ExpectExitWithin(kExitDeadline);
    EXPECT_TRUE(sim::JournalLines("still ").empty()) << "no still after EXIT";
}

TEST_F(ExitTest, SecondCopyEndsAtOnceAndTheFirstCarriesOn) {
    StartPlugged();
    ASSERT_TRUE(viewer.WaitFor("Thread Start", 5s));
    // The first copy goes on logging its checks of the button meanwhile: those are not counted.
    const auto ownRecords = [this] {
        return viewer.Records().size() -
               static_cast<std::size_t>(viewer.Count("Check snap button"));
    };
    const auto recordsBefore = ownRecords();

    TrayProcess second;
    ASSERT_TRUE(second.Start());
    DWORD exitCode = 1234;
    ASSERT_TRUE(second.WaitExit(kExitDeadline, &exitCode)) << "the second copy still runs";
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(ownRecords(), recordsBefore) << "the second copy logged";
    EXPECT_EQ(viewer.Count("Thread Start"), 1);
    EXPECT_EQ(CountTrayProcesses(), 1);

    // The first copy is untouched: its icon is shown and its menu opens.
    EXPECT_TRUE(tray.Running());
    EXPECT_TRUE(TrayIconShown(iconWindow, iconId));
    ASSERT_NE(OpenMenu(), nullptr);
    ExpectExitWithin(kExitDeadline);

    // Once the first has ended, a new copy starts as usual.
    viewer.Clear();
    StartTray();
    EXPECT_TRUE(viewer.WaitFor("Thread Start", 5s));
    ExpectCleanExit();
}

}  // namespace
