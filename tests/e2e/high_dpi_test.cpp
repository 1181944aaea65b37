// The program on a screen scaled to 150 % (144 DPI): the countdown overlay keeps its physical
// size, its picture and shape scaled alike. run_e2e.sh runs these after switching the prefix to
// 144 DPI; at any other DPI they are skipped.
#include "command_fixture.h"
#include "screenshot.h"
#include "win/handles_win32.h"

namespace {

constexpr int kHighDpi = 144;

int ScreenDpi() {
    const WindowDc screen(nullptr, GetDC(nullptr));
    return GetDeviceCaps(screen.get(), LOGPIXELSX);
}

class HighDpi : public CommandTest {
protected:
    void SetUp() override {
        if (ScreenDpi() != kHighDpi) {
            GTEST_SKIP() << "the screen is at " << ScreenDpi() << " DPI";
        }
        CommandTest::SetUp();
    }
    void TearDown() override {
        if (!IsSkipped()) {
            CommandTest::TearDown();
        }
    }
};

TEST_F(HighDpi, CountdownOverlayIs300By225AndCutLikeItsBitmap) {
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), 24) << "the tray icon's size at this DPI";
    StartPlugged(0x11);  // the self-timer on
    // Wine's notification area, with the program's icon drawn at 24 x 24.
    if (HWND trayArea = FindWindowA(nullptr, "Wine System Tray")) {
        RECT area{};
        GetWindowRect(trayArea, &area);
        SaveScreenshot("tray_icon_144dpi", &area);
    }
    Command(32764);
    ASSERT_TRUE(viewer.WaitFor("5", 4s));
    HWND overlay = nullptr;
    ASSERT_TRUE(PollUntil([&] { return (overlay = VisibleOverlay()) != nullptr; }, 2s));
    RECT bounds{};
    GetWindowRect(overlay, &bounds);
    EXPECT_EQ(bounds.left, 0);
    EXPECT_EQ(bounds.top, 0);
    EXPECT_EQ(bounds.right, 300);
    EXPECT_EQ(bounds.bottom, 225);
    // The shipped shape is all white: the scaled region is the whole window.
    const UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
    if (GetWindowRgn(overlay, region.get()) != ERROR) {
        RECT box{};
        GetRgnBox(region.get(), &box);
        EXPECT_TRUE(box.left == 0 && box.top == 0 && box.right == 300 && box.bottom == 225)
            << box.left << "," << box.top << "," << box.right << "," << box.bottom;
    }
    ASSERT_TRUE(viewer.WaitFor("4", 3s));
    RedrawWindow(overlay, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_TRUE(SaveScreenshot("countdown_overlay_144dpi", &bounds));
    GetWindowRect(overlay, &bounds);
    EXPECT_EQ(bounds.right - bounds.left, 300) << "the size holds from step to step";
    ExpectCleanExit();
}

}  // namespace
