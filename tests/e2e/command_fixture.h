// The program with the simulated camera, driven through its tray commands: the Quick Launch
// dialog, the property frame and the countdown overlay, as the command tests reach them.
#pragma once

#include <string>
#include <vector>

#include "menu_driver.h"

// The stored quick-launch value holds exactly `expected` (a single trailing NUL allowed).
::testing::AssertionResult StoredQuickLaunchIs(const std::string& expected);

// A control's text, in UTF-8.
std::string DialogText(HWND dialog, int controlId);

// The countdown overlay is at (0, 0), `width` x `height`, and its shape (the shipped one is all
// white) cuts nothing out: no region, or one covering the whole window.
::testing::AssertionResult OverlayIsWholeRectangle(HWND overlay, int width, int height);

// A child window of `parent` whose text is exactly `text`, or null.
HWND FindChildWithText(HWND parent, const std::string& text);

class CommandTest : public TrayMenuTest {
protected:
    void Command(UINT id) { PostMessageA(tray.ControllerWindow(), WM_COMMAND, id, 0); }

    // Runs the Quick Launch command and waits for its dialog.
    HWND OpenQuickLaunch();
    // Clicks Open in the Quick Launch dialog and waits for the file dialog.
    HWND OpenFileDialog(HWND quickLaunch);
    // Opens the file dialog, types `utf8Path` into its file name box and presses Open; true
    // once the file dialog has closed.
    bool PickFile(HWND quickLaunch, const std::string& utf8Path);
    // Runs "Video Capture Filter" and waits for the property frame.
    HWND OpenPropertyFrame();

    // Presses a dialog button as a click would: the button's notification to the dialog.
    static void Click(HWND dialog, int buttonId);

    // The countdown overlay: the program's only visible window of the tray objects' class.
    HWND VisibleOverlay() const;

    std::vector<DebugRecord> CountdownRecords() const;
};
