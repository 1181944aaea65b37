#include "command_fixture.h"

#include <dlgs.h>

#include "win/handles_win32.h"
#include "win/text_win32.h"

::testing::AssertionResult StoredQuickLaunchIs(const std::string& expected) {
    // Written without a terminator, but RegSetValueExA (on Windows NT and Wine alike) counts one
    // in when the byte after the given length is a NUL.
    std::string stored;
    if (!settings::ReadRaw("QuickLaunch", &stored)) {
        return ::testing::AssertionFailure() << "no QuickLaunch value";
    }
    if (stored == expected || stored == expected + '\0') {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "QuickLaunch holds " << stored.size() << " bytes \""
                                         << stored << "\", expected \"" << expected << "\"";
}

std::string DialogText(HWND dialog, int controlId) {
    wchar_t text[1024] = L"";
    GetDlgItemTextW(dialog, controlId, text, 1024);
    return ToUtf8(text);
}

::testing::AssertionResult OverlayIsWholeRectangle(HWND overlay, int width, int height) {
    RECT bounds{};
    GetWindowRect(overlay, &bounds);
    if (bounds.left != 0 || bounds.top != 0 || bounds.right != width || bounds.bottom != height) {
        return ::testing::AssertionFailure() << "overlay at " << bounds.left << "," << bounds.top
                                             << "-" << bounds.right << "," << bounds.bottom;
    }
    const UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
    const int regionType = GetWindowRgn(overlay, region.get());
    if (regionType == ERROR) {
        return ::testing::AssertionSuccess();  // no region: the whole window
    }
    RECT box{};
    GetRgnBox(region.get(), &box);
    if (regionType != SIMPLEREGION || box.left != 0 || box.top != 0 || box.right != width ||
        box.bottom != height) {
        return ::testing::AssertionFailure() << "region " << regionType << " " << box.left << ","
                                             << box.top << "-" << box.right << "," << box.bottom;
    }
    return ::testing::AssertionSuccess();
}

namespace {
struct ChildSearch {
    const std::string& text;
    HWND found;
};

BOOL CALLBACK MatchChildText(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<ChildSearch*>(lParam);
    if (WindowText(window) == search->text) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND FindChildWithText(HWND parent, const std::string& text) {
    ChildSearch search{text, nullptr};
    EnumChildWindows(parent, MatchChildText, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND CommandTest::OpenQuickLaunch() {
    Command(32785);
    HWND dialog = nullptr;
    PollUntil([&] { return (dialog = FindProcessWindow(tray.Id(), "#32770", "Dialog", true)); },
              3s);
    return dialog;
}

HWND CommandTest::OpenFileDialog(HWND quickLaunch) {
    Click(quickLaunch, 1001);
    HWND dialog = nullptr;
    PollUntil([&] { return (dialog = FindProcessWindow(tray.Id(), "#32770", "Open", true)); }, 5s);
    return dialog;
}

bool CommandTest::PickFile(HWND quickLaunch, const std::string& utf8Path) {
    HWND files = OpenFileDialog(quickLaunch);
    // The file name box: a combo box in the explorer-style dialog, an edit in the older one.
    HWND name = files == nullptr                      ? nullptr
                : GetDlgItem(files, cmb13) != nullptr ? GetDlgItem(files, cmb13)
                                                      : GetDlgItem(files, edt1);
    if (name == nullptr) {
        ADD_FAILURE() << "no file dialog or no file name box";
        return false;
    }
    SetWindowTextW(name, FromUtf8(utf8Path).c_str());
    PostMessageA(files, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(files, IDOK)));
    return PollUntil([&] { return !IsWindow(files); }, 3s);
}

HWND CommandTest::OpenPropertyFrame() {
    Command(32786);
    HWND frame = nullptr;
    PollUntil(
        [&] {
            const auto frames = ProcessWindows(tray.Id(), [](HWND window) {
                return IsWindowVisible(window) && WindowText(window).rfind("Properties", 0) == 0;
            });
            frame = frames.empty() ? nullptr : frames.front();
            return frame != nullptr;
        },
        5s);
    return frame;
}

void CommandTest::Click(HWND dialog, int buttonId) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

HWND CommandTest::VisibleOverlay() const {
    const auto windows = menu_driver::VisibleWindows(tray.Id(), "KRYTrayWindow");
    return windows.empty() ? nullptr : windows.front();
}

std::vector<DebugRecord> CommandTest::CountdownRecords() const {
    std::vector<DebugRecord> countdown;
    for (const auto& record : viewer.Records()) {
        if (record.level == 102) {
            countdown.push_back(record);
        }
    }
    return countdown;
}
