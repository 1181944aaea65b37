// The thin dialog layer in this process: answers that travel as the dialog procedure's return
// value, and a main window whose destruction ends every modal loop running at that moment.
#include <gtest/gtest.h>

#include <functional>

#include "win/dialog_base_win32.h"

namespace {

constexpr UINT kTemplate = 900;  // test_resources.rc
constexpr UINT kStep = WM_APP + 1;

// A dialog that runs `step` once its modal loop runs, and answers two messages itself.
class TestDialog : public CDialogBase {
public:
    TestDialog(HWND parent, std::function<void(TestDialog&)> step)
        : CDialogBase(kTemplate, parent), m_step(std::move(step)) {}

    HICON dragIcon = reinterpret_cast<HICON>(0x1234560);
    bool timedOut = false;
    HWND window() const { return m_hWnd; }

protected:
    BOOL OnInitDialog() override {
        PostMessageA(m_hWnd, kStep, 0, 0);
        SetTimer(m_hWnd, 1, 3000, nullptr);  // a loop that fails to end, fails the test
        return TRUE;
    }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        switch (message) {
            case kStep:
                m_step(*this);
                return true;
            case WM_TIMER:
                timedOut = true;
                EndDialog(IDABORT);
                return true;
            case WM_QUERYDRAGICON:
                result = reinterpret_cast<LRESULT>(dragIcon);
                return true;
            case WM_APP + 2:
                result = 42;
                return true;
            default:
                return CDialogBase::OnMessage(message, wParam, lParam, result);
        }
    }

private:
    std::function<void(TestDialog&)> m_step;
};

// Drains a quit message that a test left in this thread's queue; true when there was one.
bool TakeQuitMessage() {
    MSG msg;
    bool quit = false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        quit = quit || msg.message == WM_QUIT;
    }
    return quit;
}

TEST(DialogLayer, AnswersQueryDragIconThroughTheReturnValue) {
    LRESULT dragIcon = 0, other = 0;
    TestDialog dialog(nullptr, [&](TestDialog& self) {
        dragIcon = SendMessageA(self.window(), WM_QUERYDRAGICON, 0, 0);
        other = SendMessageA(self.window(), WM_APP + 2, 0, 0);
        DestroyWindow(self.window());
    });
    dialog.DoModal();
    EXPECT_EQ(dragIcon, reinterpret_cast<LRESULT>(dialog.dragIcon));
    EXPECT_EQ(other, 42) << "other answers go through DWLP_MSGRESULT";
    EXPECT_FALSE(TakeQuitMessage()) << "only the main window's end quits";
}

TEST(DialogLayer, DestroyingTheMainWindowEndsANestedDialogOwnedByIt) {
    HWND nestedOwner = nullptr;
    bool nestedReturned = false;
    bool nestedTimedOut = false;
    TestDialog main(nullptr, [&](TestDialog& mainDialog) {
        // A dialog constructed without a parent, as the program's commands make them.
        TestDialog nested(nullptr, [&](TestDialog& self) {
            nestedOwner = GetWindow(self.window(), GW_OWNER);
            DestroyWindow(mainDialog.window());  // as "EXIT" does, from inside the nested loop
        });
        nested.DoModal();
        nestedReturned = true;
        nestedTimedOut = nested.timedOut;
    });
    CDialogBase::SetMainWindow(&main);
    main.DoModal();
    CDialogBase::SetMainWindow(nullptr);
    EXPECT_TRUE(nestedReturned);
    EXPECT_FALSE(nestedTimedOut) << "the nested loop outlived the main window";
    EXPECT_NE(nestedOwner, nullptr) << "owned by the main window";
    EXPECT_TRUE(TakeQuitMessage()) << "the quit message is left for the outer loops";
}

TEST(DialogLayer, QuitMessageEndsAModalLoopAndIsPostedAgain) {
    TestDialog dialog(nullptr, [](TestDialog&) { PostQuitMessage(3); });
    EXPECT_EQ(dialog.DoModal(), 0);
    EXPECT_EQ(dialog.window(), nullptr) << "the dialog is destroyed";
    EXPECT_TRUE(TakeQuitMessage());
}

}  // namespace
