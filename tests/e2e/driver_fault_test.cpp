// A camera driver that hangs, fails, crashes or loses its device never takes the tray down; nor
// do sleep and Restart Manager.
#include <windows.h>
// after windows.h, which they need
#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "command_fixture.h"
#include "sim_camera.h"
#include "stand_ins.h"
#include "win/handles_win32.h"

namespace {

constexpr UINT kEffect = 32711;  // the second effect of the menu

std::string DumpFolder() {
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path);
    return std::string(path) + "\\Velmora\\KRYTray\\";
}

std::vector<std::string> Dumps() {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    const HANDLE search = FindFirstFileA((DumpFolder() + "crash-*.dmp").c_str(), &entry);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &entry)) {
        names.push_back(DumpFolder() + entry.cFileName);
    }
    const UniqueFindHandle owner(search != INVALID_HANDLE_VALUE ? search : nullptr);
    return names;
}

void DeleteDumps() {
    for (const std::string& dump : Dumps()) {
        DeleteFileA(dump.c_str());
    }
}

// The process of every controller window: a copy restarted after a crash is not `tray`.
std::vector<DWORD> ControllerProcesses() {
    std::vector<DWORD> processes;
    for (HWND window :
         ProcessWindows(0, [](HWND w) { return WindowText(w) == "Velmora System Tray"; })) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        processes.push_back(processId);
    }
    return processes;
}

class DriverFaultTest : public CommandTest {
protected:
    void SetUp() override {
        CommandTest::SetUp();
        DeleteDumps();
        stand_in::ClearStarts(stand_in::kQuickLaunch);
    }
    void TearDown() override {
        sim::Camctl("fault none");
        CommandTest::TearDown();
        for (DWORD processId : ControllerProcesses()) {  // a restarted copy ends too
            const UniqueKernelHandle process(
                OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId));
            SendExitTo(ControllerWindowOf(processId));
            if (process && WaitForSingleObject(process.get(), 5000) != WAIT_OBJECT_0) {
                ADD_FAILURE() << "a restarted copy did not end on EXIT";
                TerminateProcess(process.get(), 1);
            }
        }
        DeleteDumps();
    }

    // Sets the fault and waits until the poller's next request is inside the driver.
    void HangThePoller() {
        sim::Camctl("fault hang");
        viewer.Clear();
        ASSERT_TRUE(viewer.WaitFor("Check snap button", 3s));
    }

    // Crashes the running copy through the driver; the copy that took over with its plugged-in
    // icon within `deadline`, or 0.
    static DWORD CrashAndFindSuccessor(DWORD crashed, std::chrono::milliseconds deadline) {
        sim::Camctl("fault crash");
        DWORD successor = 0;
        PollUntil(
            [&] {
                for (DWORD processId : ControllerProcesses()) {
                    if (processId != crashed &&
                        menu_driver::TrayIconWindow(processId, menu_driver::kPluggedIcon)) {
                        successor = processId;
                    }
                }
                return successor != 0;
            },
            deadline);
        return successor;
    }
};

TEST_F(DriverFaultTest, HungCallLeavesTheMenuOpeningAndExitEndingTheProgram) {
    StartPlugged();
    ASSERT_TRUE(viewer.WaitFor("Thread Start", 5s));
    HangThePoller();
    HWND menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    menu_driver::PressKey(menu, VK_ESCAPE);
    ASSERT_TRUE(menu_driver::WaitMenusClosed(tray.Id()));

    Command(kEffect);
    ASSERT_TRUE(viewer.WaitFor("Camera busy", 2s)) << "dropped, and said so";
    sim::Camctl("fault none");
    Command(kEffect);
    ASSERT_TRUE(PollUntil([] { return !sim::JournalLines("set 3 ").empty(); }, 3s));
    EXPECT_EQ(sim::JournalLines("set 3 ").size(), 1u) << "the busy one was not queued";

    HangThePoller();
    ASSERT_TRUE(tray.SendExit());
    DWORD exitCode = 1234;
    ASSERT_TRUE(tray.WaitExit(2s, &exitCode)) << "still running after EXIT";
    EXPECT_EQ(exitCode, 0u);
}

TEST_F(DriverFaultTest, FailingClearsStartEachProgramOnceAndThePressAfterRecoveryWorks) {
    StartPlugged();
    settings::SetRaw("QuickLaunch", REG_SZ, stand_in::kQuickLaunch,
                     static_cast<DWORD>(strlen(stand_in::kQuickLaunch)));
    sim::Camctl("fault fail");
    sim::Camctl("set-status b");  // active, button and still
    ASSERT_TRUE(viewer.WaitFor("CameraStatus 0xa not cleared, clearing again", 10s, 2));
    EXPECT_EQ(stand_in::Starts(stand_in::kQuickLaunch).size(), 1u);
    EXPECT_EQ(stand_in::Starts(stand_in::kViewer).size(), 1u);

    sim::Camctl("fault none");
    ASSERT_TRUE(PollUntil([] { return sim::Status() == 0x1; }, 3s)) << "the retried clear lands";
    sim::Camctl("press");
    EXPECT_TRUE(PollUntil([] { return stand_in::Starts(stand_in::kQuickLaunch).size() == 2; }, 4s));
}

TEST_F(DriverFaultTest, GoneDeviceIsOpenedAgainUnaskedAndTheButtonThenWorks) {
    StartPlugged();
    settings::SetRaw("QuickLaunch", REG_SZ, stand_in::kQuickLaunch,
                     static_cast<DWORD>(strlen(stand_in::kQuickLaunch)));
    ASSERT_TRUE(viewer.WaitFor("Thread Start", 5s));
    const std::size_t filters = sim::JournalLines("filter-created").size();
    for (int message = 0; message < 40; ++message) {  // a storm of device messages first
        PostMessageA(tray.ControllerWindow(), WM_DEVICECHANGE, 0x0007 /*DBT_DEVNODES_CHANGED*/, 0);
    }
    DWORD_PTR answer = 0;
    EXPECT_NE(SendMessageTimeoutA(tray.ControllerWindow(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000,
                                  &answer),
              0);
    EXPECT_EQ(sim::JournalLines("filter-created").size(), filters) << "the storm opened a filter";
    viewer.Clear();
    sim::Camctl("fault gone");  // no device message: the camera keeps its place in the list
    ASSERT_TRUE(viewer.WaitFor("plug in and play!", 5s)) << "not opened again by itself";
    EXPECT_EQ(sim::JournalLines("filter-created").size(), filters + 1);
    sim::Camctl("press");
    EXPECT_TRUE(PollUntil([] { return stand_in::Starts(stand_in::kQuickLaunch).size() == 1; }, 4s));
    EXPECT_EQ(viewer.Count("plug in and play!"), 1);
}

// The camera's bits are one for the machine: a copy whose session is locked neither polls nor
// acts, and on unlock clears what was pressed meanwhile instead of acting on it.
TEST_F(DriverFaultTest, LockedSessionLeavesThePressAndClearsItOnUnlock) {
    StartPlugged();
    settings::SetRaw("QuickLaunch", REG_SZ, stand_in::kQuickLaunch,
                     static_cast<DWORD>(strlen(stand_in::kQuickLaunch)));
    ASSERT_TRUE(viewer.WaitFor("Thread Start", 5s));
    DWORD session = 0;
    ASSERT_TRUE(ProcessIdToSessionId(tray.Id(), &session));
    PostMessageA(tray.ControllerWindow(), WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, session);
    ASSERT_TRUE(viewer.WaitFor("session in the background", 3s));
    viewer.Clear();
    sim::Camctl("set-status 3");  // pressed, as another copy's poll would have it recorded
    EXPECT_FALSE(
        PollUntil([] { return !stand_in::Starts(stand_in::kQuickLaunch).empty(); }, 2500ms));
    EXPECT_EQ(sim::Status(), 0x3u) << "the bit is left to the copy in front";
    EXPECT_LE(viewer.Count("Check snap button"), 1) << "a locked copy polls on";

    PostMessageA(tray.ControllerWindow(), WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, session);
    EXPECT_TRUE(PollUntil([] { return sim::Status() == 0x1; }, 3s)) << "cleared on unlock";
    sim::Camctl("press");
    EXPECT_TRUE(PollUntil([] { return stand_in::Starts(stand_in::kQuickLaunch).size() == 1; }, 4s));
}

TEST_F(DriverFaultTest, ResumeBringsBackTheIconTheShellLostAndTheCamera) {
    StartPlugged();
    ASSERT_TRUE(viewer.WaitFor("Thread Start", 5s));
    NOTIFYICONDATAA icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = iconWindow;
    icon.uID = iconId;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &icon));  // the shell forgot it across sleep
    ASSERT_FALSE(TrayIconShown(iconWindow, iconId));
    const std::size_t filters = sim::JournalLines("filter-created").size();
    viewer.Clear();

    PostMessageA(tray.ControllerWindow(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    PostMessageA(tray.ControllerWindow(), WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
    EXPECT_TRUE(PollUntil(
        [&] { return menu_driver::TrayIconWindow(tray.Id(), menu_driver::kPluggedIcon); }, 3s));
    ASSERT_TRUE(viewer.WaitFor("plug in and play!", 3s));
    EXPECT_EQ(sim::JournalLines("filter-created").size(), filters + 1) << "opened once afresh";
    ASSERT_TRUE(viewer.WaitFor("Check snap button", 3s, 2));
    EXPECT_EQ(viewer.Count("plug in and play!"), 1);
}

TEST_F(DriverFaultTest, RestartManagersCloseEndsTheProgramWithinTwoSecondsWhileACallHangs) {
    StartPlugged();
    ASSERT_TRUE(viewer.WaitFor("Thread Start", 5s));
    HangThePoller();
    const HWND controller = tray.ControllerWindow();
    DWORD_PTR answer = 0;
    ASSERT_NE(SendMessageTimeoutA(controller, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP,
                                  SMTO_ABORTIFHUNG, 1000, &answer),
              0);
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
    SendMessageTimeoutA(controller, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP, SMTO_ABORTIFHUNG,
                        2000, &answer);
    DWORD exitCode = 1234;
    ASSERT_TRUE(tray.WaitExit(2s, &exitCode)) << "still running after Restart Manager's close";
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(TrayIconShown(iconWindow, iconId));
}

TEST_F(DriverFaultTest, CrashLeavesADumpAndTheIconBackUntilTheFourthInTenMinutes) {
    StartPlugged();
    ASSERT_TRUE(viewer.WaitFor("Thread Start", 5s));
    const DWORD successor = CrashAndFindSuccessor(tray.Id(), 5s);
    ASSERT_NE(successor, 0u) << "no plugged-in icon of a restarted copy within 5 s";
    DWORD exitCode = 0;
    ASSERT_TRUE(tray.WaitExit(0ms, &exitCode));
    EXPECT_EQ(exitCode, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    ASSERT_EQ(Dumps().size(), 1u);

    // Two more crashes in these ten minutes, as their dumps tell: the next one is the fourth.
    CopyFileA(Dumps()[0].c_str(), (DumpFolder() + "crash-20000101-000000-001.dmp").c_str(), TRUE);
    CopyFileA(Dumps()[0].c_str(), (DumpFolder() + "crash-20000101-000000-002.dmp").c_str(), TRUE);
    EXPECT_EQ(CrashAndFindSuccessor(successor, 3s), 0u) << "restarted after the fourth crash";
    EXPECT_EQ(Dumps().size(), 4u);
    EXPECT_TRUE(ControllerProcesses().empty());
}

}  // namespace
