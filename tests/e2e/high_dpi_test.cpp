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
    EXPECT_TRUE(OverlayIsWholeRectangle(overlay, 300, 225));
    ASSERT_TRUE(viewer.WaitFor("4", 3s));
    RedrawWindow(overlay, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const RECT bounds{0, 0, 300, 225};
    EXPECT_TRUE(SaveScreenshot("countdown_overlay_144dpi", &bounds));
    EXPECT_TRUE(OverlayIsWholeRectangle(overlay, 300, 225)) << "the size holds from step to step";
    ExpectCleanExit();
}

}  // namespace
