// The controller: turns the window's messages into the work of its parts (the plug state and
// icon, the menu's commands, the status bits, the discovery schedule, the session gate, the
// poller) and starts programs. The Windows controller dialog holds it and forwards its messages.
// Portable: no Windows headers.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/controller_platform.h"
#include "app/discovery_schedule.h"
#include "app/menu_commands.h"
#include "app/plug_state.h"
#include "app/polled_status_hand_off.h"
#include "app/session_gate.h"
#include "app/snap_button_poller.h"
#include "app/status_bits.h"
#include "camera/extension_props.h"
#include "settings/settings_store.h"

constexpr const char* kViewerProgram = "DEZAD.EXE";
constexpr uint32_t kSysCommandMinimize = 0xF020;
constexpr uint32_t kSysCommandRestore = 0xF120;
// How long ending waits for the poller to leave a driver call.
constexpr std::chrono::milliseconds kPollerStopPatience{500};
// The status timer: once a second while the window thread has work each second; while the
// poller takes the second itself, only now and then, to see whether it is stuck in the driver.
constexpr std::chrono::milliseconds kStatusPeriod{1000};
constexpr std::chrono::milliseconds kStuckPollerCheckPeriod{5000};
// WM_POWERBROADCAST events and the WM_ENDSESSION flag of Restart Manager's close.
constexpr uint32_t kPowerSuspend = 0x4;
constexpr uint32_t kPowerResumeSuspend = 0x7;
constexpr uint32_t kPowerResumeAutomatic = 0x12;
constexpr uint32_t kEndSessionCloseApp = 0x1;

// Start-up, in this order (the dialog's constructor and OnInitDialog):
//   1. ReadStartupSettings()   in the constructor: debug level, KRYTray.
//   2. BeginInitialise()       in OnInitDialog: asks to clear all status bits, resets the plug
//                              state and shows the unplugged tray icon.
//   3. OnDeviceChange()        the first device discovery; the dialog then hides its window.
//   4. FinishInitialise()      takes the self-timer choice from CameraStatus.
//   5. StartSnapButtonPoller() last; the status timer follows from here on.
// Step 2 must come before discovery: with no camera open its clear reaches no driver, so the
// stored self-timer bit is still there for step 4. After discovery it would wipe the choice.
// Ending: DestroyWindow of the dialog calls PrepareDestroyWindow() before the window goes.
class TrayControllerCore {
public:
    // All three must outlive the controller.
    TrayControllerCore(SettingsStore& settings, ICameraOps& camera, IControllerPlatform& platform);
    ~TrayControllerCore();

    TrayControllerCore(const TrayControllerCore&) = delete;
    TrayControllerCore& operator=(const TrayControllerCore&) = delete;

    void ReadStartupSettings();
    void BeginInitialise();
    void FinishInitialise();
    void StartSnapButtonPoller();

    // The status timer, running only while there is work: a check after a change of the camera,
    // a look of the back-off, a poller that cannot take the second. Opens a camera whose device
    // has gone again.
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
    // WM_WTSSESSION_CHANGE of this copy's session.
    void OnSessionChange(uint32_t event);
    // On the poller's thread, right after each request: reads CameraStatus and hands it to the
    // window thread when it changed, asks for an action or the camera has gone.
    void OnSnapPolled();
    // On the window thread: the status the poller read, begun at `epoch` (see
    // PolledStatusHandOff).
    void OnPolledStatus(uint32_t status, uint32_t epoch);

    // WM_COMMAND ids ID_TRAY_COMMAND_FIRST..ID_TRAY_COMMAND_LAST.
    void OnTrayCommand(unsigned id);
    // The 1-second self-timer tick.
    void OnCountdownTick();
    // The menu's Exit: removes the icon, then destroys the window.
    void Exit();
    // The "EXIT" command: clears STATUS_TRAY_EXIT, then as Exit().
    void OnExitCommand();
    // WM_COPYDATA: obeys the "EXIT" command; true when the record was one.
    bool OnCopyData(uintptr_t dwData, const void* data, std::size_t cbData);
    // WM_SYSCOMMAND: SC_MINIMIZE and SC_RESTORE (exact values) set and clear the minimised state.
    void OnSysCommand(uint32_t command);
    // No tray icon can be created any more, and the poller thread is stopped and joined, unless
    // it is stuck in a driver call (see PollerStopped).
    void PrepareDestroyWindow();
    // False after PrepareDestroyWindow left the poller inside a driver call that does not
    // return: the process must then end without destroying the controller or the camera.
    [[nodiscard]] bool PollerStopped() const { return !m_poller.IsRunning(); }

    [[nodiscard]] const PlugState& Plug() const { return m_plug; }
    [[nodiscard]] const SelfTimer& Timer() const { return m_commands.Timer(); }
    [[nodiscard]] const SessionGate& Session() const { return m_session; }
    [[nodiscard]] bool CameraPresent() const { return m_bCameraPresent.load() == 1; }

private:
    void Discover(DiscoveryRequest request);
    // A camera whose device went from under it is opened again, at once or by the back-off.
    void FollowGoneCamera();
    // Follows `status`, read once for this check: the clears below do not change what it acts on.
    void CheckStatus(uint32_t status);
    // The window thread's own check of a fresh read.
    void CheckNow();
    // Starts nothing for an empty path.
    void StartProgramIfNamed(const std::u16string& path);
    // The poller works while a camera is open and this copy is in front; the status timer
    // runs only while the window thread has work each second.
    void UpdateTimers();

    SettingsStore& m_settings;
    ICameraOps& m_camera;
    IControllerPlatform& m_platform;

    PlugState m_plug;
    MenuCommands m_commands;
    StatusBitProtocol m_bits;
    DiscoverySchedule m_schedule;
    SessionGate m_session;
    PolledStatusHandOff m_handOff;

    // 1 while discovery holds an open camera. Written on the UI thread, read by the poller.
    std::atomic<uint8_t> m_bCameraPresent{0};
    bool m_bCheckDue = true;        // the camera changed since the last check
    bool m_bReopened = false;       // the open camera was opened again: show its plug-in anew
    bool m_bResumeHandled = false;  // until the next suspend

    // Declared last: destroyed first, while everything it reads still exists.
    SnapButtonPoller m_poller;
};
