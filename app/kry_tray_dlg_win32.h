// The hidden controller dialog: the application's main window. It owns the tray icon, the
// countdown overlay and the controller, and forwards window messages to the controller.
#pragma once

#include <windows.h>

#include <chrono>
#include <memory>

#include "app/controller_platform.h"
#include "app/tray_controller_core.h"
#include "camera/camera_device.h"
#include "camera/discovery.h"
#include "overlay/shaped_bitmap_wnd_win32.h"
#include "win/dialog_base_win32.h"

constexpr UINT_PTR kStatusTimerId = 103;
constexpr UINT_PTR kCountdownTimerId = 32778;
// Posted by the poller's thread with the CameraStatus it read (wParam) after its request.
constexpr UINT WM_KRY_STATUS_CHECK = WM_APP + 1;

class CKRYTrayDlg : public CDialogBase {
public:
    CKRYTrayDlg(HWND parent, CCameraDevice& camera, ICaptureSystem& captureSystem,
                SettingsStore& settings);
    ~CKRYTrayDlg() override;

    BOOL DestroyWindow() override;
    // False when ending left the poller inside a driver call: see TrayControllerCore.
    [[nodiscard]] bool PollerStopped() const { return m_core.PollerStopped(); }

protected:
    BOOL OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnTimer(UINT_PTR timerId);

    // What the controller asks of the window system, answered with this window, the camera
    // device and the capture system discovery opens it with.
    class Platform final : public IControllerPlatform {
    public:
        Platform(CKRYTrayDlg& dialog, CCameraDevice& device, ICaptureSystem& captureSystem,
                 SettingsStore& settings)
            : m_dialog(dialog),
              m_device(device),
              m_captureSystem(captureSystem),
              m_settings(settings) {}

        std::unique_ptr<ITrayIcon> CreateTrayIcon(int iconResourceId, unsigned trayId,
                                                  bool selfTimerChecked,
                                                  TrayMenuData menu) override;
        void StartProgram(const std::u16string& path) override;
        std::string AnsiText(const std::u16string& text) override;
        void SetCountdownTimer() override;
        void KillCountdownTimer() override;
        void ShowCountdownOverlay(int pictureBitmapId) override;
        void HideCountdownOverlay() override;
        void RunQuickLaunchDialog() override;
        DiscoveryOutcome FindCamera(DiscoveryRequest request,
                                    std::atomic<uint8_t>& present) override;
        void CloseCamera(std::atomic<uint8_t>& present) override;
        void SetStatusTimer(std::chrono::milliseconds period) override;
        std::chrono::steady_clock::time_point Now() override;
        SessionState QuerySession() override;
        void RequestStatusCheck(uint32_t status, uint32_t epoch) override;
        void DestroyControllerWindow() override;

    private:
        CKRYTrayDlg& m_dialog;
        CCameraDevice& m_device;
        ICaptureSystem& m_captureSystem;
        SettingsStore& m_settings;
        DeviceListMemory m_devices;
        std::chrono::milliseconds m_statusPeriod{0};
    };

    Platform m_windowPlatform;
    std::unique_ptr<CShapedBitmapWnd> m_pCountdownWnd;
    UINT m_nTrayNotifyMsg = 0;
    HICON m_hIcon = nullptr;
    bool m_sessionNotifications = false;
    // Built after what it refers to, destroyed before it.
    TrayControllerCore m_core;
};
