// Once per run: keeps one icon of our own in the notification area, so that Wine's tray window
// stays shown between tests (showing and hiding it costs seconds without a window manager), and
// starts the program once so that every test finds Wine and DirectShow warm.
#include "e2e_support.h"

#include <gtest/gtest.h>
#include <shellapi.h>

namespace {

class TrayEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        m_window = CreateWindowExA(0, "STATIC", "KRYE2EKeeper", WS_POPUP, 0, 0, 1, 1, nullptr,
                                   nullptr, GetModuleHandleA(nullptr), nullptr);
        NOTIFYICONDATAA data = Icon();
        data.uFlags = NIF_ICON;
        data.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
        Shell_NotifyIconA(NIM_ADD, &data);

        settings::Reset(1, 0, 0);
        TrayProcess warmUp;
        if (warmUp.Start()) {
            PollUntil([&] { return warmUp.ControllerWindow() != nullptr; }, 20s);
        }
    }

    void TearDown() override {
        NOTIFYICONDATAA data = Icon();
        Shell_NotifyIconA(NIM_DELETE, &data);
        DestroyWindow(m_window);
    }

private:
    NOTIFYICONDATAA Icon() const {
        NOTIFYICONDATAA data{};
        data.cbSize = NOTIFYICONDATAA_V1_SIZE;
        data.hWnd = m_window;
        data.uID = 1;
        return data;
    }

    HWND m_window = nullptr;
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new TrayEnvironment);

}  // namespace
