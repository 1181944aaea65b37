// The tray commands end to end: a still image at once and after the self-timer's countdown in
// its overlay, the Quick Launch Setting dialog, and the capture filter's property pages.
#include <windows.h>
// after windows.h, which it needs
#include <dlgs.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "win/handles_win32.h"
#include "command_fixture.h"
#include "screenshot.h"
#include "sim_camera.h"
#include "stand_ins.h"
#include "standard_user.h"

namespace {

using menu_driver::PressKey;
using menu_driver::WaitHighlighted;

constexpr size_t kNotFound = static_cast<size_t>(-1);

// The first line at or after `from` that equals `line`.
size_t IndexOf(const std::vector<std::string>& lines, const std::string& line, size_t from = 0) {
    for (size_t i = from; i < lines.size(); ++i) {
        if (lines[i] == line) {
            return i;
        }
    }
    return kNotFound;
}

// The screen's pixels in `area`, row by row from the top, as 0x00RRGGBB.
std::vector<uint32_t> ScreenPixels(const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    const WindowDc screen(nullptr, GetDC(nullptr));
    const UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
    const UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    {
        const ScopedSelect select(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, width, height, screen.get(), area.left, area.top, SRCCOPY);
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    GetDIBits(memory.get(), bitmap.get(), 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    for (auto& pixel : pixels) {
        pixel &= 0x00FFFFFFu;
    }
    return pixels;
}

TEST_F(CommandTest, StillChosenInTheMenuIsTakenAtOnceAndOpensTheViewer) {
    StartPlugged();
    const unsigned status = sim::Status();
    sim::Camctl("journal-clear");
    HWND menuWindow = OpenMenu();
    ASSERT_NE(menuWindow, nullptr);
    HMENU menu = menu_driver::MenuOfWindow(menuWindow);
    PressKey(menuWindow, VK_DOWN, 4);  // title, "Video Capture Filter", effects, snapshot
    ASSERT_TRUE(WaitHighlighted(tray.Id(), menu, 4));
    PressKey(menuWindow, VK_RIGHT);  // opens the snapshot sizes, the self-timer item selected
    HWND sizesWindow = menu_driver::WaitForNewMenuWindow(tray.Id(), {menuWindow});
    ASSERT_NE(sizesWindow, nullptr);
    HMENU sizes = menu_driver::MenuOfWindow(sizesWindow);
    PressKey(menuWindow, VK_DOWN, 5);  // past the separator: 160x120 ... 640x480 (32764)
    ASSERT_TRUE(WaitHighlighted(tray.Id(), sizes, 6));
    PressKey(menuWindow, VK_RETURN);
    ASSERT_TRUE(menu_driver::WaitMenusClosed(tray.Id()));

    ASSERT_TRUE(PollUntil([] { return !sim::JournalLines("still ").empty(); }, 3s));
    const auto journal = sim::Journal();
    // Row 4 is 640x480; the still-ready bit is cleared before the trigger, the rest kept.
    const size_t sizeAt = IndexOf(journal, "set 12 4 0 0 0");
    ASSERT_NE(sizeAt, kNotFound);
    const size_t clearAt =
        IndexOf(journal, "set 18 5 " + std::to_string(status & ~0x08u) + " 0 0", sizeAt);
    ASSERT_NE(clearAt, kNotFound);
    EXPECT_NE(IndexOf(journal, "still 8", clearAt), kNotFound);
    EXPECT_EQ(sim::JournalLines("still ").size(), 1u);
    EXPECT_EQ(sim::JournalLines("set 12 ").size(), 1u);
    EXPECT_EQ(CountdownRecords().size(), 0u) << "no countdown with the self-timer off";

    // The driver sets the still-ready bit once the picture is stored; the status tick then
    // starts the viewer.
    ASSERT_TRUE(PollUntil([] { return !stand_in::Starts(stand_in::kViewer).empty(); }, 5s));
    EXPECT_TRUE(viewer.WaitFor("DEZAD.EXE", 2s));
    ExpectCleanExit();
}

TEST_F(CommandTest, SelfTimerCountsDownInTheOverlayAndTakesOneStill) {
    StartPlugged();
    sim::Camctl("journal-clear");
    Command(32778);
    ASSERT_TRUE(viewer.WaitFor("SetCameraStatus 0x11", 3s));
    EXPECT_EQ(sim::JournalLines("set 18 "), std::vector<std::string>{"set 18 5 17 0 0"});

    Command(32764);  // 640x480
    ASSERT_TRUE(viewer.WaitFor("4", 4s));
    Command(32762);  // 320x240: starts again from 5, with this size
    ASSERT_TRUE(viewer.WaitFor("5", 3s, 2));

    HWND overlay = nullptr;
    ASSERT_TRUE(PollUntil([&] { return (overlay = VisibleOverlay()) != nullptr; }, 2s));
    EXPECT_TRUE(OverlayIsWholeRectangle(overlay, 200, 150));
    EXPECT_NE(GetWindowLongPtrA(overlay, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);

    // Switching the self-timer off does not stop a countdown that runs.
    ASSERT_TRUE(viewer.WaitFor("3", 3s));
    Command(32778);
    ASSERT_TRUE(viewer.WaitFor("ClearCameraStatus 0x1", 3s));
    EXPECT_EQ(sim::Status() & 0x10u, 0u);

    // The face: a white frame around a red digit on black.
    const auto pixels = ScreenPixels(RECT{0, 0, 200, 150});
    EXPECT_TRUE(SaveScreenshot("countdown_overlay"));
    EXPECT_EQ(pixels[0], 0xFFFFFFu) << "frame";
    EXPECT_EQ(pixels[149 * 200 + 199], 0xFFFFFFu) << "frame";
    EXPECT_EQ(pixels[20 * 200 + 20], 0x000000u) << "field";
    size_t red = 0;
    for (uint32_t pixel : pixels) {
        red += pixel == 0xFF0000u ? 1 : 0;
    }
    EXPECT_GT(red, 500u) << "the digit";

    ASSERT_TRUE(viewer.WaitFor("Self-Timer Capture", 5s));
    EXPECT_TRUE(PollUntil([&] { return !IsWindowVisible(overlay); }, 2s)) << "overlay hidden";
    ASSERT_TRUE(PollUntil([] { return !sim::JournalLines("still ").empty(); }, 2s));
    EXPECT_EQ(sim::JournalLines("set 12 "), std::vector<std::string>{"set 12 2 0 0 0"});

    // Two more status ticks: the countdown timer has stopped, and the still was taken once.
    ASSERT_TRUE(PollUntil([] { return !stand_in::Starts(stand_in::kViewer).empty(); }, 5s));
    const int checks = viewer.Count("Check snap button");
    ASSERT_TRUE(viewer.WaitFor("Check snap button", 5s, checks + 2));
    EXPECT_EQ(sim::JournalLines("still "), std::vector<std::string>{"still 8"});
    EXPECT_FALSE(IsWindowVisible(overlay));

    const auto countdown = CountdownRecords();
    std::vector<std::string> texts;
    for (const auto& record : countdown) {
        texts.push_back(record.text);
    }
    EXPECT_EQ(texts,
              (std::vector<std::string>{"5", "4", "5", "4", "3", "2", "1", "Self-Timer Capture"}));
    for (size_t i = 1; i < countdown.size(); ++i) {
        const auto gap = countdown[i].when - countdown[i - 1].when;
        EXPECT_GT(gap, 600ms) << "before " << countdown[i].text << " (" << i << ")";
        EXPECT_LT(gap, 1600ms) << "before " << countdown[i].text << " (" << i << ")";
    }
    // The self-timer went off between "3" and "2".
    const auto records = viewer.Records();
    size_t three = kNotFound, cleared = kNotFound, two = kNotFound;
    for (size_t i = 0; i < records.size(); ++i) {
        if (records[i].text == "3" && three == kNotFound) {
            three = i;
        } else if (records[i].text == "ClearCameraStatus 0x1" && three != kNotFound &&
                   cleared == kNotFound) {
            cleared = i;
        } else if (records[i].text == "2" && two == kNotFound) {
            two = i;
        }
    }
    EXPECT_TRUE(three < cleared && cleared < two) << three << " " << cleared << " " << two;
    ExpectCleanExit();
}

TEST_F(CommandTest, CountdownLeavesTheKeyboardAloneAndTheScreenWhileTheCameraIsAway) {
    StartPlugged();
    Command(32778);  // the self-timer on
    ASSERT_TRUE(viewer.WaitFor("SetCameraStatus 0x11", 3s));
    const std::unique_ptr<HWND__, BOOL(WINAPI*)(HWND)> typing(
        CreateWindowExA(0, "STATIC", "KRYE2ETyping", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 300,
                        200, 100, nullptr, nullptr, nullptr, nullptr),
        DestroyWindow);
    const auto hasKeyboard = [&typing] {  // and answers what is sent to it meanwhile
        for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);) {
            DispatchMessageA(&message);
        }
        return GetForegroundWindow() == typing.get();
    };
    SetForegroundWindow(typing.get());
    ASSERT_TRUE(PollUntil(hasKeyboard, 2s));
    Command(32764);
    HWND overlay = nullptr;
    ASSERT_TRUE(PollUntil([&] { return (overlay = VisibleOverlay()) != nullptr; }, 3s));
    EXPECT_TRUE((GetWindowLongPtrA(overlay, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0 ||
                GetWindow(overlay, GW_OWNER) != nullptr);
    SetCursorPos(100, 75);  // drags the digit a little to the right
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_MOVE, 10, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    ASSERT_TRUE(viewer.WaitFor("3", 3s));
    EXPECT_TRUE(hasKeyboard()) << "while the digit counts, also after a drag of it";
    RECT moved{};
    EXPECT_TRUE(GetWindowRect(overlay, &moved) && moved.left > 0) << "dragged to the right";
    sim::Camctl("unplug");
    EXPECT_TRUE(PollUntil([&] { return VisibleOverlay() == nullptr; }, 3s))
        << "the digit leaves the screen while the camera is away";
    sim::Camctl("plug");
    ASSERT_TRUE(viewer.WaitFor("Self-Timer Capture", 10s));
    EXPECT_TRUE(hasKeyboard()) << "after the countdown";
    ExpectCleanExit();
}

TEST_F(CommandTest, QuickLaunchDialogStoresTheFieldOnlyOnOk) {
    StartUnplugged();  // the command is in both menus
    HWND dialog = OpenQuickLaunch();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(DialogText(dialog, 1000), "") << "nothing stored yet";
    const std::string path = stand_in::kQuickLaunchWithBlanks;
    SetDlgItemTextA(dialog, 1000, path.c_str());
    RedrawWindow(dialog, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_TRUE(SaveScreenshot("quick_launch_dialog"));
    Click(dialog, IDOK);
    ASSERT_TRUE(PollUntil([&] { return !IsWindow(dialog); }, 3s));
    EXPECT_TRUE(StoredQuickLaunchIs(path));

    dialog = OpenQuickLaunch();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(DialogText(dialog, 1000), path);
    SetDlgItemTextA(dialog, 1000, "C:\\somewhere\\else.exe");
    Click(dialog, IDCANCEL);
    ASSERT_TRUE(PollUntil([&] { return !IsWindow(dialog); }, 3s));
    EXPECT_TRUE(StoredQuickLaunchIs(path)) << "Cancel stores nothing";

    // More than the value holds: the first 511 characters are kept.
    dialog = OpenQuickLaunch();
    ASSERT_NE(dialog, nullptr);
    std::string longPath = "C:\\";
    for (int i = 0; longPath.size() < 600; ++i) {
        longPath += static_cast<char>('a' + i % 26);
    }
    SetDlgItemTextA(dialog, 1000, longPath.c_str());
    // An administrator's choice is the machine's: the user's own value, which would hide it, goes.
    standard_user::SetUserQuickLaunch(L"C:\\mine.exe");
    Click(dialog, IDOK);
    ASSERT_TRUE(PollUntil([&] { return !IsWindow(dialog); }, 3s));
    EXPECT_TRUE(StoredQuickLaunchIs(longPath.substr(0, 511)));
    EXPECT_FALSE(standard_user::UserQuickLaunch());

    // An emptied field is stored as an empty value: the button then starts nothing.
    dialog = OpenQuickLaunch();
    ASSERT_NE(dialog, nullptr);
    SetDlgItemTextA(dialog, 1000, "");
    Click(dialog, IDOK);
    ASSERT_TRUE(PollUntil([&] { return !IsWindow(dialog); }, 3s));
    EXPECT_TRUE(StoredQuickLaunchIs(""));
    ExpectCleanExit();
}

TEST_F(CommandTest, OpenPutsThePickedProgramInTheFieldAndCancelLeavesIt) {
    StartUnplugged();
    HWND dialog = OpenQuickLaunch();
    ASSERT_NE(dialog, nullptr);
    SetDlgItemTextA(dialog, 1000, "C:\\before.exe");
    EXPECT_FALSE(ProcessHasModule(tray.Id(), "comdlg32.dll"))
        << "the common dialogs are loaded before a file is picked";

    HWND files = OpenFileDialog(dialog);
    ASSERT_NE(files, nullptr) << "no file dialog";
    EXPECT_TRUE(ProcessHasModule(tray.Id(), "comdlg32.dll"));
    EXPECT_EQ(GetWindow(files, GW_OWNER), dialog) << "the file dialog is modal to ours";
    PostMessageA(files, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ASSERT_TRUE(PollUntil([&] { return !IsWindow(files); }, 3s));
    EXPECT_EQ(DialogText(dialog, 1000), "C:\\before.exe") << "a cancelled pick changes nothing";

    ASSERT_TRUE(PickFile(dialog, stand_in::kQuickLaunch));
    EXPECT_EQ(DialogText(dialog, 1000), stand_in::kQuickLaunch)
        << "the picked file replaces the field";

    Click(dialog, IDOK);
    ASSERT_TRUE(PollUntil([&] { return !IsWindow(dialog); }, 3s));
    EXPECT_TRUE(StoredQuickLaunchIs(stand_in::kQuickLaunch));
    ExpectCleanExit();
}

TEST_F(CommandTest, VideoCaptureFilterShowsThePropertyPagesWhileTheTimersRun) {
    StartPlugged();
    sim::Camctl("journal-clear");
    HWND frame = OpenPropertyFrame();
    ASSERT_NE(frame, nullptr) << "no property frame";
    EXPECT_NE(FindChildWithText(frame, "Press snapshot button"), nullptr)
        << "the camera's page is in the frame";
    EXPECT_FALSE(sim::JournalLines("pages").empty());

    // The frame runs its own modal loop; the status tick goes on and starts the viewer.
    sim::Camctl("set-status 9");
    EXPECT_TRUE(viewer.WaitFor("DEZAD.EXE", 3s));

    PostMessageA(frame, WM_COMMAND, IDCANCEL, 0);
    if (!PollUntil([&] { return !IsWindow(frame); }, 2s)) {
        ADD_FAILURE() << "Cancel did not close the frame";
        PostMessageA(frame, WM_CLOSE, 0, 0);
        ASSERT_TRUE(PollUntil([&] { return !IsWindow(frame); }, 2s));
    }
    ExpectCleanExit();
}

}  // namespace
