// The hidden controller dialog: the application's main window. It owns the tray icon, the
// countdown overlay and the snap-button poller, and turns window messages into the
// controller's logic.
#pragma once

#include <windows.h>

#include <memory>

#include "app/controller_platform.h"
#include "win/dialog_base_win32.h"
#include "app/tray_controller_core.h"
#include "camera/camera_device.h"
#include "overlay/shaped_bitmap_wnd_win32.h"
#include "tray/tray_menu_source.h"

constexpr UINT_PTR kStatusTimerId = 103;
constexpr UINT_PTR kCountdownTimerId = 32778;
// Posted by the poller's thread with the CameraStatus it read (wParam) after its request.
constexpr UINT WM_KRY_STATUS_CHECK = WM_APP + 1;

class CKRYTrayDlg : public CDialogBase,
                    private IControllerPlatform,
                    public TrayControllerCore,
                    public ITrayMenuSource {
public:
    CKRYTrayDlg(HWND parent, CCameraDevice& camera, ICaptureSystem& captureSystem,
                SettingsStore& settings);
    ~CKRYTrayDlg() override;

    BOOL DestroyWindow() override;

    // ITrayMenuSource: what the tray menu asks of the controller.
    bool IsPlugIn() override { return m_bPlugIn; }
    CameraCapabilities& Capabilities() override { return *this; }
    ICameraOps& Camera() override { return m_camera; }

protected:
    BOOL OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnPaint();
    void OnTimer(UINT_PTR timerId);
    void OnTrayCommand(UINT commandId);
    LRESULT OnDeviceChange(WPARAM wParam, LPARAM lParam);
    void OnWindowPosChanging(WINDOWPOS* position);
    void ShowOrHide();

    // IControllerPlatform
    std::unique_ptr<ITrayIcon> CreateTrayIcon(int iconResourceId, unsigned trayId,
                                              bool selfTimerChecked) override;
    void StartProgram(const std::u16string& path) override;
    std::string AnsiText(const std::u16string& text) override;
    void SetCountdownTimer() override;
    void KillCountdownTimer() override;
    void ShowCountdownOverlay(int pictureBitmapId) override;
    void HideCountdownOverlay() override;
    void RunQuickLaunchDialog() override;
    DiscoveryResult FindCamera(bool afresh) override;
    void RequestStatusCheck(uint32_t status, uint32_t epoch) override;
    void DestroyControllerWindow() override;

    CCameraDevice& m_camera;
    ICaptureSystem& m_captureSystem;
    SettingsStore& m_settings;

    int m_bAllowShow = 0;  // never set: the controller is never shown
    std::unique_ptr<CShapedBitmapWnd> m_pCountdownWnd;
    UINT m_nTrayNotifyMsg = 0;
    HICON m_hIcon = nullptr;
};
