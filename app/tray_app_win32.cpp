// The application object and the process-wide objects, constructed in this order and
// destroyed in the reverse one.
#include <windows.h>
#include <objbase.h>

#include "app/crash_restart_win32.h"
#include "app/kry_tray_dlg_win32.h"
#include "camera/directshow_system_win32.h"
#include "diag/debug_log.h"
#include "diag/debug_record_win32.h"
#include "settings/registry_backend_win32.h"
#include "win/dark_menus_win32.h"
#include "win/dll_search_win32.h"
#include "win/handles_win32.h"
#include "win/system_library_win32.h"

namespace {

// Held for the process's life: a second copy (the log-on start and a start by hand, or a setup
// starting it again) would show a second icon and answer the same button press twice.
constexpr char kSingleInstanceMutex[] = "Local\\Velmora.KRYTray.SingleInstance";

// Restart Manager starts the program again after an installer or Windows Update closed it. Not
// after a crash or a hang (the crash restart covers those) nor after a reboot (the Run key
// covers sign-in). Windows Vista and later; looked up so that older systems still start.
void RegisterForRestartAfterUpdate() {
    constexpr DWORD kRestartNoCrash = 1;
    constexpr DWORD kRestartNoHang = 2;
    constexpr DWORD kRestartNoReboot = 8;
    const auto registerRestart = LookUpLoadedFunction<decltype(&RegisterApplicationRestart)>(
        L"kernel32.dll", "RegisterApplicationRestart");
    if (registerRestart != nullptr) {
        registerRestart(L"", kRestartNoCrash | kRestartNoHang | kRestartNoReboot);
    }
}

int ForwardDebugRecord(int32_t level, const char* text, std::size_t length) {
    return SendDebugRecord(level, text, length);
}

class CTrayApp {
public:
    // Runs the hidden controller until it is destroyed. Always ends the program afterwards.
    BOOL InitInstance();
};

CTrayApp theApp;
RegistryBackend g_registry;

}  // namespace

CCameraDevice theCamera(GetDirectShowCaptureSystem());

namespace {
SettingsStore g_settings(g_registry, theCamera);

BOOL CTrayApp::InitInstance() {
    // First of all: a second copy ends before it logs, touches the notification area, opens the
    // camera or reads the settings.
    if (!HandleCrashedCopy()) {  // a copy started after a crash is no second copy
        return FALSE;
    }
    const UniqueKernelHandle instanceLock(CreateMutexA(nullptr, FALSE, kSingleInstanceMutex));
    const DWORD guardError = GetLastError();
    // Access is denied to a guard that a copy made elevated or as another user: it runs.
    if (instanceLock ? guardError == ERROR_ALREADY_EXISTS : guardError == ERROR_ACCESS_DENIED) {
        return FALSE;
    }
    if (!instanceLock) {
        // Better two copies than none. The level is read early for this one record.
        DebugLevel = g_settings.ReadDebugLevel();
        DebugLog(kLogEvent, "Single-instance guard not made (error %lu), running without",
                 guardError);
    }
    RegisterForRestartAfterUpdate();
    if (CoInitialize(nullptr) != S_OK) {
        MessageBoxA(nullptr, "CoInitialize Fail", "KRYTray", MB_OK);
        return FALSE;
    }
    FollowAppThemeInMenus();  // before the first window and menu
    {
        CKRYTrayDlg dialog(nullptr, theCamera, GetDirectShowCaptureSystem(), g_settings);
        CDialogBase::SetMainWindow(&dialog);
        dialog.DoModal();
        CDialogBase::SetMainWindow(nullptr);
        if (!dialog.PollerStopped()) {
            // A driver call hangs on the poller's thread; the icon and the window are gone.
            // Nothing the thread reads may be destroyed, and it cannot be joined: end here.
            TerminateProcess(GetCurrentProcess(), 0);
        }
    }
    // The poller has stopped with the dialog; release the graph while COM is still up.
    theCamera.Close();
    CoUninitialize();
    return FALSE;
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    LimitDllSearchToSystemFolder();
    SetDebugRecordSender(ForwardDebugRecord);
    InstallCrashRestart();
    theApp.InitInstance();
    return 0;
}
