#include "app/kry_tray_dlg_win32.h"

#include <utility>

#include "app/launcher_win32.h"
#include "camera/discovery.h"
#include "diag/debug_log.h"
#include "res/resource.h"
#include "settings/quick_launch_dialog_win32.h"
#include "tray/system_tray_win32.h"
#include "tray/tray_tip.h"
#include "win/dpi_win32.h"
#include "win/system_library_win32.h"
#include "win/text_win32.h"

namespace {
constexpr UINT kStatusPeriodMs = 1000;
// How late Windows may deliver the status tick so that it wakes the machine together with others.
constexpr ULONG kStatusToleranceMs = 50;
constexpr UINT kCountdownPeriodMs = 1000;
constexpr RECT kCountdownRect = {0, 0, 200, 150};

HINSTANCE Instance() {
    return GetModuleHandleA(nullptr);
}

// SetCoalescableTimer where the system has it (Windows 8 and later), SetTimer otherwise.
void SetStatusTimer(HWND window) {
    using SetCoalescableTimerFn = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC, ULONG);
    static const auto setCoalescable =
        LookUpLoadedFunction<SetCoalescableTimerFn>(L"user32.dll", "SetCoalescableTimer");
    if (setCoalescable == nullptr ||
        setCoalescable(window, kStatusTimerId, kStatusPeriodMs, nullptr, kStatusToleranceMs) == 0) {
        SetTimer(window, kStatusTimerId, kStatusPeriodMs, nullptr);
    }
}
}  // namespace

CKRYTrayDlg::CKRYTrayDlg(HWND parent, CCameraDevice& camera, ICaptureSystem& captureSystem,
                         SettingsStore& settings)
    : CDialogBase(IDD_KRYTRAY_DIALOG, parent),
      TrayControllerCore(settings, camera, m_windowPlatform),
      m_windowPlatform(*this, camera, captureSystem) {
    m_nTrayNotifyMsg = RegisterWindowMessageA("TrayIcon notification");
    m_hIcon = LoadIconA(Instance(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    ReadStartupSettings();
}

CKRYTrayDlg::~CKRYTrayDlg() {
    // The poller reads this object and the camera: it must end before either goes away.
    PrepareDestroyWindow();
}

BOOL CKRYTrayDlg::OnInitDialog() {
    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    BeginInitialise();  // clears the status bits before discovery can open a camera
    OnDeviceChange();
    ShowOrHide();
    SetStatusTimer(m_hWnd);
    FinishInitialise();
    m_bAllowShow = 0;
    StartSnapButtonPoller();
    return TRUE;
}

bool CKRYTrayDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_PAINT:
            if (!IsIconic(m_hWnd)) {
                return false;
            }
            OnPaint();
            return true;
        case WM_QUERYDRAGICON:
            result = reinterpret_cast<LRESULT>(m_hIcon);
            return true;
        case WM_TIMER:
            OnTimer(wParam);
            return false;
        case WM_SYSCOMMAND:
            OnSysCommand(static_cast<uint32_t>(wParam));
            return false;
        case WM_COMMAND:
            if (HIWORD(wParam) == 0 && LOWORD(wParam) >= ID_TRAY_COMMAND_FIRST &&
                LOWORD(wParam) <= ID_TRAY_COMMAND_LAST) {
                OnTrayCommand(LOWORD(wParam));
                return true;
            }
            // The hidden controller has no OK or Cancel: it ends only by Exit or "EXIT".
            return LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL;
        case WM_DEVICECHANGE:
            // Every broadcast, whatever the device or event, runs a full discovery.
            OnDeviceChange();
            result = TRUE;
            return true;
        case WM_POWERBROADCAST:
            OnPowerBroadcast(static_cast<uint32_t>(wParam));
            result = TRUE;
            return true;
        case WM_QUERYENDSESSION:
            result = TRUE;  // at once, also while a driver call hangs
            return true;
        case WM_ENDSESSION:
            OnEndSession(wParam != FALSE, static_cast<uint32_t>(lParam));
            result = 0;
            return true;
        case WM_WINDOWPOSCHANGING:
            OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam));
            return false;
        case WM_KRY_STATUS_CHECK:
            OnPolledStatus(static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam));
            return true;
        case WM_COPYDATA:
            if (const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam)) {
                OnCopyData(data->dwData, data->lpData, data->cbData);
            }
            return false;
        default:
            return false;
    }
}

void CKRYTrayDlg::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const int iconWidth = GetSystemMetrics(SM_CXICON);
    const int iconHeight = GetSystemMetrics(SM_CYICON);
    RECT client;
    GetClientRect(m_hWnd, &client);
    const int x = (client.right - client.left - iconWidth + 1) / 2;
    const int y = (client.bottom - client.top - iconHeight + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon);
    EndPaint(m_hWnd, &paint);
}

void CKRYTrayDlg::OnTimer(UINT_PTR timerId) {
    if (timerId == kStatusTimerId) {
        OnStatusTick();
    } else if (timerId == kCountdownTimerId) {
        OnCountdownTick();
    }
}

void CKRYTrayDlg::OnWindowPosChanging(WINDOWPOS* position) {
    if (m_bAllowShow == 0) {
        position->flags &= ~SWP_SHOWWINDOW;
    }
}

void CKRYTrayDlg::ShowOrHide() {
    ShowWindow(m_hWnd, IsMinimized() ? SW_HIDE : SW_SHOW);
}

BOOL CKRYTrayDlg::DestroyWindow() {
    PrepareDestroyWindow();  // no tray icon may be created any more; the poller stops
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
    ShowWindow(m_dialog.m_pCountdownWnd->GetSafeHwnd(), SW_SHOW);
}

void CKRYTrayDlg::Platform::HideCountdownOverlay() {
    // Its pictures and shape are held only while a countdown shows, not all day at rest; making
    // them again at the next countdown costs a few milliseconds.
    m_dialog.m_pCountdownWnd.reset();
}

void CKRYTrayDlg::Platform::RunQuickLaunchDialog() {
    CQuickLaunchDialog dialog(m_dialog.Settings(), nullptr);
    dialog.DoModal();
}

DiscoveryResult CKRYTrayDlg::Platform::FindCamera(bool afresh, std::atomic<uint8_t>& present) {
    if (afresh) {
        present = 0;  // before Close: the poller must stop sending first
        m_device.Close();
    }
    return DiscoverCamera(m_device, m_captureSystem, present);
}

void CKRYTrayDlg::Platform::RequestStatusCheck(uint32_t status, uint32_t epoch) {
    // The poller is stopped before the window goes, so the handle is valid here.
    PostMessageA(m_dialog.m_hWnd, WM_KRY_STATUS_CHECK, status, epoch);
}

void CKRYTrayDlg::Platform::DestroyControllerWindow() {
    m_dialog.DestroyWindow();
}
