// The controller's plain logic: plug state and tray icon, program launches, tray commands, the
// self-timer countdown, start-up and ending. The Windows controller dialog derives from it and
// turns window messages into these calls; its state is its own. Portable: no Windows headers.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "app/controller_platform.h"
#include "app/snap_button_poller.h"
#include "camera/capabilities.h"
#include "camera/extension_props.h"
#include "settings/settings_store.h"

constexpr int32_t kCountdownSeconds = 5;
constexpr const char* kViewerProgram = "DEZAD.EXE";
constexpr uint32_t kSysCommandMinimize = 0xF020;
constexpr uint32_t kSysCommandRestore = 0xF120;
// How long ending waits for the poller to leave a driver call.
constexpr std::chrono::milliseconds kPollerStopPatience{500};
// While devices are listed but none opens, discovery looks again after 2 s, doubling up to 60 s.
constexpr int32_t kRediscoverFirstSeconds = 2;
constexpr int32_t kRediscoverMostSeconds = 60;
// WM_POWERBROADCAST events and the WM_ENDSESSION flag of Restart Manager's close.
constexpr uint32_t kPowerSuspend = 0x4;
constexpr uint32_t kPowerResumeSuspend = 0x7;
constexpr uint32_t kPowerResumeAutomatic = 0x12;
constexpr uint32_t kEndSessionCloseApp = 0x1;

// Start-up, in this order (the dialog's constructor and OnInitDialog):
//   1. ReadStartupSettings()   in the constructor: debug level, KRYTray.
//   2. BeginInitialise()       in OnInitDialog, after the framework's initialisation and the
//                              window icons: asks to clear all status bits, resets the plug
//                              state and shows the unplugged tray icon.
//   3. the first device discovery (sets m_bCameraPresent), hiding the window and starting the
//      1-second status timer: the dialog's own.
//   4. FinishInitialise()      takes the self-timer choice from CameraStatus.
//   5. StartSnapButtonPoller() last.
// Step 2 must come before discovery: with no camera open its clear reaches no driver, so the
// stored self-timer bit is still there for step 4. After discovery it would wipe the choice.
// Ending: DestroyWindow of the dialog calls PrepareDestroyWindow() before the window goes.
class TrayControllerCore {
public:
    // All three must outlive the controller.
    TrayControllerCore(SettingsStore& settings, ICameraOps& camera, IControllerPlatform& platform);
    virtual ~TrayControllerCore();

    TrayControllerCore(const TrayControllerCore&) = delete;
    TrayControllerCore& operator=(const TrayControllerCore&) = delete;

    void ReadStartupSettings();
    void BeginInitialise();
    void FinishInitialise();
    void StartSnapButtonPoller();

    // The 1-second status timer: opens a camera whose device has gone again, looks for a camera
    // when the back-off says so, and releases the poller's request, whose status read then
    // reaches OnPolledStatus. CameraStatus is read and followed here instead while the poller
    // cannot take the tick (no camera, a request still inside the driver) and after a change of
    // the camera: one read a second either way.
    void OnStatusTick();
    // WM_DEVICECHANGE, and the first discovery at start-up.
    void OnDeviceChange();
    // WM_POWERBROADCAST. A resume closes the camera and looks for it afresh (its device was
    // re-enumerated while asleep) and puts back an icon the shell lost; once per suspend, for
    // PBT_APMRESUMEAUTOMATIC and PBT_APMRESUMESUSPEND both come after one.
    void OnPowerBroadcast(uint32_t event);
    // WM_ENDSESSION: Restart Manager (an installer or Windows Update) closing the program ends
    // it as Exit does. A sign-out or shut-down changes nothing: the session ends the process.
    void OnEndSession(bool ending, uint32_t flags);
    // On the poller's thread, right after each request: reads CameraStatus and hands it to the
    // window thread when it changed or asks for an action, so that a press is acted on within
    // the poll that found it.
    void OnSnapPolled();
    // On the window thread: the status the poller read. `epoch` is the window thread's check
    // count when the read began: a read that overlapped a check of the window thread's own may
    // predate that check's clears, and is dropped.
    void OnPolledStatus(uint32_t status, uint32_t epoch);
    // Shows the icon of `plugState` (1 plugged in, else unplugged) when the tray is enabled,
    // the controller is minimised to the tray and no icon object exists.
    void AddTrayIcon(int plugState);

    // WM_COMMAND ids ID_TRAY_COMMAND_FIRST..ID_TRAY_COMMAND_LAST.
    void OnTrayCommand(unsigned id);
    // Still size, clear STATUS_STILL_READY, trigger: in that order; nothing while the camera is
    // busy.
    void TakeSnapshot(int32_t sizeIndex);
    // The 1-second self-timer tick.
    void OnCountdownTick();
    void ToggleSelfTimer();
    // The menu's Exit: removes the icon, then destroys the window.
    void Exit();
    // The "EXIT" command: clears STATUS_TRAY_EXIT, then as Exit().
    void OnExitCommand();
    // WM_COPYDATA: obeys the "EXIT" command; true when the record was one.
    bool OnCopyData(uintptr_t dwData, const void* data, std::size_t cbData);
    // WM_SYSCOMMAND: SC_MINIMIZE and SC_RESTORE (exact values) set and clear m_bMinimized.
    void OnSysCommand(uint32_t command);
    // No tray icon can be created any more, and the poller thread is stopped and joined, unless
    // it is stuck in a driver call (see PollerStopped).
    void PrepareDestroyWindow();
    // False after PrepareDestroyWindow left the poller inside a driver call that does not
    // return: the process must then end without destroying the controller or the camera.
    [[nodiscard]] bool PollerStopped() const { return !m_poller.IsRunning(); }
    // Minimised to the tray: the window stays hidden.
    [[nodiscard]] bool IsMinimized() const { return m_bMinimized; }

protected:
    [[nodiscard]] SettingsStore& Settings() const { return m_settings; }

private:
    // The unit tests' window on the state below.
    friend class TrayControllerCoreView;

    // What a new icon's menu shows of this controller.
    TrayMenuData MenuData();
    // The plugged-in menu's camera part, read when the menu opens; records the sensor in
    // m_caps for the still command.
    CameraMenuContent ReadCameraMenuContent();

    bool m_bTrayEnabled = false;
    bool m_bPlugIn = false;      // camera present and STATUS_ACTIVE, as of the last status tick
    bool m_bPrevPlugIn = false;  // m_bPlugIn after the tick before
    int32_t m_nCountdown = 0;    // self-timer steps left, 5 down to 0
    int32_t m_nPendingSizeIndex = 0;
    bool m_bSelfTimer = false;
    bool m_bMinimized = false;  // minimised to the tray: tray icons may be created
    std::unique_ptr<ITrayIcon> m_pTrayIcon;
    // 1 while discovery holds an open camera. Written on the UI thread, read by the poller.
    std::atomic<uint8_t> m_bCameraPresent{0};
    CameraCapabilities m_caps;  // m_nSensorKind .. m_nLastSizeIndex, as the last menu found them

    SettingsStore& m_settings;
    ICameraOps& m_camera;
    IControllerPlatform& m_platform;

    // `retry`: a look of the back-off, which doubles the next wait if it finds nothing.
    void Discover(bool afresh, bool retry);
    // Follows `status`, read once for this check: the clears below do not change what it acts on.
    void CheckStatus(uint32_t status);
    // Whether a set bit is acted on now. Once acted on, a bit is held until a read shows it
    // clear, and is never acted on again while held: a driver that fails or stores our clear
    // late must not start a program every second; each later check sends the clear again
    // (adds the bit to `retry`).
    static bool TakeBit(bool& held, uint32_t bit, uint32_t& retry);
    // Sends the clear of held bits the driver has not taken yet; one record per tick.
    void RetryClear(uint32_t bits);
    // Sends the clear of acted-on bits and releases those a read then shows clear.
    void ClearHeldBits(uint32_t bits);

    bool m_bSnapHeld = false;
    bool m_bStillHeld = false;
    bool m_bCheckDue = true;  // the camera changed since the last check of the window thread
    // Checks of the window thread's own, for OnPolledStatus, and the status the poller last
    // handed over.
    std::atomic<uint32_t> m_nOwnChecks{0};
    static constexpr uint32_t kNoPolledStatus = 0xFFFFFFFFu;
    std::atomic<uint32_t> m_nLastPolledStatus{kNoPolledStatus};

    int32_t m_nRediscoverDelay = 0;  // seconds of the back-off's current step, 0 when off
    int32_t m_nRediscoverIn = 0;     // ticks until its next look
    bool m_bReopened = false;        // the open camera was opened again: show its plug-in anew
    bool m_bResumeHandled = false;   // until the next suspend

    // Starts nothing for an empty path.
    void StartProgramIfNamed(const std::u16string& path);

    // Declared last: destroyed first, while everything it reads still exists.
    SnapButtonPoller m_poller;
};
