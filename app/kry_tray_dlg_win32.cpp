#include "app/kry_tray_dlg_win32.h"

#include <utility>

#include "app/launcher_win32.h"
#include "camera/discovery.h"
#include "diag/debug_log.h"
#include "res/resource.h"
#include "settings/quick_launch_dialog_win32.h"
#include "tray/system_tray_win32.h"
#include "tray/tray_tip.h"
#include "win/dark_menus_win32.h"
#include "win/dpi_win32.h"
#include "win/system_library_win32.h"
#include "win/session_win32.h"
#include "win/text_win32.h"

namespace {
// How late Windows may deliver the status tick so that it wakes the machine together with others.
constexpr ULONG kStatusToleranceMs = 50;
constexpr UINT kCountdownPeriodMs = 1000;
constexpr RECT kCountdownRect = {0, 0, 200, 150};

HINSTANCE Instance() {
    return GetModuleHandleA(nullptr);
}

// SetCoalescableTimer where the system has it (Windows 8 and later), SetTimer otherwise.
void SetStatusTimer(HWND window, UINT periodMs) {
    using SetCoalescableTimerFn = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC, ULONG);
    static const auto setCoalescable =
        LookUpLoadedFunction<SetCoalescableTimerFn>(L"user32.dll", "SetCoalescableTimer");
    if (setCoalescable == nullptr ||
        setCoalescable(window, kStatusTimerId, periodMs, nullptr, kStatusToleranceMs) == 0) {
        SetTimer(window, kStatusTimerId, periodMs, nullptr);
    }
}
}  // namespace

CKRYTrayDlg::CKRYTrayDlg(HWND parent, CCameraDevice& camera, ICaptureSystem& captureSystem,
                         SettingsStore& settings)
    : CDialogBase(IDD_KRYTRAY_DIALOG, parent),
      m_windowPlatform(*this, camera, captureSystem, settings),
      m_core(settings, camera, m_windowPlatform) {
    m_nTrayNotifyMsg = RegisterWindowMessageA("TrayIcon notification");
    m_hIcon = LoadIconA(Instance(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    m_core.ReadStartupSettings();
}

CKRYTrayDlg::~CKRYTrayDlg() {
    // The poller reads the controller and the camera: it must end before either goes away.
    m_core.PrepareDestroyWindow();
}

BOOL CKRYTrayDlg::OnInitDialog() {
    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    m_sessionNotifications = RegisterSessionNotifications(m_hWnd);
    m_core.BeginInitialise();  // clears the status bits before discovery can open a camera
    m_core.OnDeviceChange();
    m_core.FinishInitialise();
    m_core.StartSnapButtonPoller();
    return TRUE;
}

bool CKRYTrayDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_TIMER:
            OnTimer(wParam);
            return false;
        case WM_SYSCOMMAND:
            m_core.OnSysCommand(static_cast<uint32_t>(wParam));
            return false;
        case WM_COMMAND:
            if (HIWORD(wParam) == 0 && LOWORD(wParam) >= ID_TRAY_COMMAND_FIRST &&
                LOWORD(wParam) <= ID_TRAY_COMMAND_LAST) {
                m_core.OnTrayCommand(LOWORD(wParam));
                return true;
            }
            // The hidden controller has no OK or Cancel: it ends only by Exit or "EXIT".
            return LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL;
        case WM_DEVICECHANGE:
            // Every broadcast, whatever the device or event, runs a discovery.
            m_core.OnDeviceChange();
            result = TRUE;
            return true;
        case WM_POWERBROADCAST:
            m_core.OnPowerBroadcast(static_cast<uint32_t>(wParam));
            result = TRUE;
            return true;
        case WM_WTSSESSION_CHANGE:
            m_core.OnSessionChange(static_cast<uint32_t>(wParam));
            return true;
        case WM_SETTINGCHANGE:
            OnMenuThemeSettingChange(wParam, lParam);
            return false;
        case WM_QUERYENDSESSION:
            result = TRUE;  // at once, also while a driver call hangs
            return true;
        case WM_ENDSESSION:
            m_core.OnEndSession(wParam != FALSE, static_cast<uint32_t>(lParam));
            result = 0;
            return true;
        case WM_WINDOWPOSCHANGING:
            // The template is WS_VISIBLE, and the dialog manager shows it after
            // WM_INITDIALOG: the controller stays hidden.
            reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~SWP_SHOWWINDOW;
            return false;
        case WM_KRY_STATUS_CHECK:
            m_core.OnPolledStatus(static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam));
            return true;
        case WM_COPYDATA:
            if (const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam)) {
                m_core.OnCopyData(data->dwData, data->lpData, data->cbData);
            }
            return false;
        default:
            return false;
    }
}

void CKRYTrayDlg::OnTimer(UINT_PTR timerId) {
    if (timerId == kStatusTimerId) {
        m_core.OnStatusTick();
    } else if (timerId == kCountdownTimerId) {
        m_core.OnCountdownTick();
    }
}

BOOL CKRYTrayDlg::DestroyWindow() {
    m_core.PrepareDestroyWindow();  // no tray icon may be created any more; the poller stops
    if (m_sessionNotifications && m_hWnd != nullptr) {
        UnregisterSessionNotifications(m_hWnd);
        m_sessionNotifications = false;
    }
    return CDialogBase::DestroyWindow();
}

std::unique_ptr<ITrayIcon> CKRYTrayDlg::Platform::CreateTrayIcon(int iconResourceId,
                                                                 unsigned trayId,
                                                                 bool selfTimerChecked,
                                                                 TrayMenuData menu) {
    auto tray = std::make_unique<CSystemTray>(m_dialog.m_hWnd, std::move(menu));
    tray->SetSelfTimerChecked(selfTimerChecked);
    const std::string tip =
        TrayTipText(iconResourceId == IDI_TRAY_PLUGGED, m_device.FriendlyName());
    tray->CreateTrayIcon(nullptr, m_dialog.m_nTrayNotifyMsg, tip.c_str(),
                         static_cast<UINT>(iconResourceId), trayId);
    return tray;
}

void CKRYTrayDlg::Platform::StartProgram(const std::u16string& path) {
    StartProgramNoWait(AsWide(path));
}

std::string CKRYTrayDlg::Platform::AnsiText(const std::u16string& text) {
    return ToAnsi(AsWide(text));
}

void CKRYTrayDlg::Platform::SetCountdownTimer() {
    SetTimer(m_dialog.m_hWnd, kCountdownTimerId, kCountdownPeriodMs, nullptr);
}

void CKRYTrayDlg::Platform::KillCountdownTimer() {
    KillTimer(m_dialog.m_hWnd, kCountdownTimerId);
}

void CKRYTrayDlg::Platform::ShowCountdownOverlay(int pictureBitmapId) {
    // The same physical size on every screen: the 96-DPI rectangle scaled to the screen's DPI.
    const UINT dpi = SystemDpi();
    const RECT rect{kCountdownRect.left, kCountdownRect.top, ScaleForDpi(kCountdownRect.right, dpi),
                    ScaleForDpi(kCountdownRect.bottom, dpi)};
    if (m_dialog.m_pCountdownWnd && m_dialog.m_pCountdownWnd->Dpi() == dpi) {
        m_dialog.m_pCountdownWnd->Reshape(IDB_OVERLAY_SHAPE, pictureBitmapId);
        RedrawWindow(m_dialog.m_pCountdownWnd->GetSafeHwnd(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    } else {
        if (!m_dialog.m_pCountdownWnd) {
            m_dialog.m_pCountdownWnd = std::make_unique<CShapedBitmapWnd>();
        }
        m_dialog.m_pCountdownWnd->SetDpi(dpi);
        m_dialog.m_pCountdownWnd->CreateShaped("", rect, IDB_OVERLAY_SHAPE, pictureBitmapId);
    }
    ShowWindow(m_dialog.m_pCountdownWnd->GetSafeHwnd(), SW_SHOWNA);
}

void CKRYTrayDlg::Platform::HideCountdownOverlay() {
    // Its pictures and shape are held only while a countdown shows, not all day at rest; making
    // them again at the next countdown costs a few milliseconds.
    m_dialog.m_pCountdownWnd.reset();
}

void CKRYTrayDlg::Platform::RunQuickLaunchDialog() {
    CQuickLaunchDialog dialog(m_settings, nullptr);
    dialog.DoModal();
}

DiscoveryOutcome CKRYTrayDlg::Platform::FindCamera(DiscoveryRequest request,
                                                   std::atomic<uint8_t>& present) {
    return DiscoverCamera(m_device, m_captureSystem, present, m_devices, request);
}

void CKRYTrayDlg::Platform::CloseCamera(std::atomic<uint8_t>& present) {
    present = 0;  // before Close: the poller must stop sending first
    m_device.Close();
}

void CKRYTrayDlg::Platform::SetStatusTimer(std::chrono::milliseconds period) {
    if (period == m_statusPeriod || m_dialog.m_hWnd == nullptr) {
        return;  // setting it again would restart its second
    }
    m_statusPeriod = period;
    if (period.count() == 0) {
        KillTimer(m_dialog.m_hWnd, kStatusTimerId);
    } else {
        ::SetStatusTimer(m_dialog.m_hWnd, static_cast<UINT>(period.count()));
    }
}

std::chrono::steady_clock::time_point CKRYTrayDlg::Platform::Now() {
    return std::chrono::steady_clock::now();
}

SessionState CKRYTrayDlg::Platform::QuerySession() {
    return {OwnSessionOnConsole(), OwnSessionLocked()};
}

void CKRYTrayDlg::Platform::RequestStatusCheck(uint32_t status, uint32_t epoch) {
    // The poller is stopped before the window goes, so the handle is valid here.
    PostMessageA(m_dialog.m_hWnd, WM_KRY_STATUS_CHECK, status, epoch);
}

void CKRYTrayDlg::Platform::DestroyControllerWindow() {
    m_dialog.DestroyWindow();
}
