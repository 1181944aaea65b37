#include "app/tray_controller_core.h"

#include <cstring>

#include "app/exit_command.h"
#include "diag/debug_log.h"
#include "res/resource.h"

TrayControllerCore::TrayControllerCore(SettingsStore& settings, ICameraOps& camera,
                                       IControllerPlatform& platform)
    : m_settings(settings),
      m_camera(camera),
      m_platform(platform),
      m_plug(platform, [this] { return m_commands.MenuData(); }),
      m_commands(settings, camera, platform, m_plug, [this] { Exit(); }),
      m_bits(settings),
      m_poller(camera, m_bCameraPresent) {
    m_poller.SetAfterPoll([this] { OnSnapPolled(); });
}

TrayControllerCore::~TrayControllerCore() = default;

void TrayControllerCore::ReadStartupSettings() {
    DebugLevel = m_settings.ReadDebugLevel();
    const uint32_t trayEnabled = m_settings.ReadTrayEnabled();
    DebugLog(kLogStatus, "CKRYTrayDlg, ulCameraStatus = 0x%x", trayEnabled);
    m_plug.SetTrayEnabled(trayEnabled != 0);
}

void TrayControllerCore::BeginInitialise() {
    // No camera is open yet: this only logs, and the stored self-timer bit survives it.
    m_settings.ClearCameraStatus(STATUS_ALL);
    m_bCameraPresent = 0;
    m_plug.Reset(m_commands.Timer().IsOn());
}

void TrayControllerCore::FinishInitialise() {
    m_commands.Timer().SetOn((m_settings.ReadCameraStatus() & STATUS_SELF_TIMER) != 0);
    m_commands.Timer().Reset();
    m_session.Start(m_platform.QuerySession());
}

void TrayControllerCore::StartSnapButtonPoller() {
    m_poller.Start();
    UpdateTimers();
}

void TrayControllerCore::OnStatusTick() {
    if (m_camera.IsGone()) {
        FollowGoneCamera();
    } else if (m_schedule.TickDue()) {
        Discover(DiscoveryRequest::Look);
    }
    const bool pollerStuck = CameraPresent() && m_session.InFront() && !m_poller.CanTakeTick();
    if (m_bCheckDue || pollerStuck) {
        CheckNow();
    }
    UpdateTimers();
}

void TrayControllerCore::OnDeviceChange() {
    // While the back-off waits, a device message that changes nothing opens nothing.
    Discover(m_schedule.LookScheduled() ? DiscoveryRequest::LookIfChanged : DiscoveryRequest::Look);
    UpdateTimers();
}

void TrayControllerCore::OnPowerBroadcast(uint32_t event) {
    if (event == kPowerSuspend) {
        m_bResumeHandled = false;
        return;
    }
    if ((event != kPowerResumeAutomatic && event != kPowerResumeSuspend) || m_bResumeHandled) {
        return;
    }
    m_bResumeHandled = true;
    m_plug.EnsureShown();
    m_schedule.Restart();
    Discover(DiscoveryRequest::Reopen);
    UpdateTimers();
}

void TrayControllerCore::OnEndSession(bool ending, uint32_t flags) {
    if (ending && (flags & kEndSessionCloseApp) != 0) {
        Exit();
    }
}

void TrayControllerCore::OnSessionChange(uint32_t event) {
    const auto turn = m_session.OnChange(event, m_platform.QuerySession().attachedToConsole);
    if (turn == SessionGate::Turn::ToFront && CameraPresent()) {
        // A press or a still while this copy was away was meant for someone else, or happened
        // behind the lock: it is cleared, not acted on.
        m_bits.Discard(m_settings.ReadCameraStatus());
        m_handOff.OwnCheckDone();
    }
    m_bCheckDue = m_bCheckDue || turn == SessionGate::Turn::ToFront;
    UpdateTimers();
}

void TrayControllerCore::Discover(DiscoveryRequest request) {
    const bool wasOpen = CameraPresent();
    const DiscoveryOutcome found = m_platform.FindCamera(request, m_bCameraPresent);
    if (request == DiscoveryRequest::LookIfChanged && !found.listChanged) {
        return;
    }
    if (found.listChanged) {
        m_schedule.Restart();
    }
    const bool reopened = request == DiscoveryRequest::Reopen && wasOpen;
    m_bReopened = m_bReopened || reopened;
    const bool opened = CameraPresent() && (!wasOpen || request == DiscoveryRequest::Reopen);
    m_schedule.AfterLook(found.result, opened, m_platform.Now());
    m_bCheckDue = m_bCheckDue || m_bReopened || wasOpen != CameraPresent();
}

void TrayControllerCore::FollowGoneCamera() {
    if (m_schedule.ReopenGoneCamera(m_platform.Now())) {
        Discover(DiscoveryRequest::Reopen);
        return;
    }
    // It failed right after its open: it waits for the back-off, shown as unplugged.
    m_platform.CloseCamera(m_bCameraPresent);
    m_bCheckDue = true;
}

void TrayControllerCore::OnSnapPolled() {
    const uint32_t epoch = m_handOff.Epoch();  // before the read
    const uint32_t status = m_settings.ReadCameraStatus();
    if (m_handOff.IsNews(status) || m_camera.IsGone()) {
        m_platform.RequestStatusCheck(status, epoch);
    }
}

void TrayControllerCore::OnPolledStatus(uint32_t status, uint32_t epoch) {
    if (m_camera.IsGone()) {
        FollowGoneCamera();
        CheckNow();
    } else if (m_handOff.IsCurrent(epoch)) {
        CheckStatus(status);
    }
    UpdateTimers();
}

void TrayControllerCore::CheckNow() {
    m_bCheckDue = false;
    CheckStatus(m_settings.ReadCameraStatus());
    m_handOff.OwnCheckDone();  // after the check's clears: see PolledStatusHandOff
}

void TrayControllerCore::CheckStatus(uint32_t status) {
    const bool present = CameraPresent();
    m_plug.Follow(present && (status & STATUS_ACTIVE) != 0, m_bReopened, m_commands.Timer().IsOn());
    m_bReopened = false;
    if (!m_session.InFront()) {
        return;  // the button and still bits are left to the copy in front
    }

    m_bits.Observe(status);
    // The button works whenever a camera is open, even without STATUS_ACTIVE.
    if (present && (status & STATUS_SNAP_BUTTON) != 0 && m_bits.Take(STATUS_SNAP_BUTTON)) {
        const std::u16string path = m_settings.ReadQuickLaunchPath().value_or(u"");
        StartProgramIfNamed(path);
        // Cleared even when nothing could be started, so that a failed launch is not retried.
        m_bits.Clear(STATUS_SNAP_BUTTON);
        DebugLog(kLogEvent, "%s", m_platform.AnsiText(path).c_str());
    }
    if ((status & STATUS_STILL_READY) != 0 && m_plug.IsPlugIn() &&
        m_bits.Take(STATUS_STILL_READY)) {
        m_bits.Clear(STATUS_STILL_READY);
        StartProgramIfNamed(
            std::u16string(kViewerProgram, kViewerProgram + std::strlen(kViewerProgram)));
        DebugLogText(kLogEvent, kViewerProgram);
    }
    m_bits.RetryClears();
}

void TrayControllerCore::StartProgramIfNamed(const std::u16string& path) {
    if (path.empty()) {
        return;  // no quick-launch program chosen
    }
    m_platform.StartProgram(path);
}

void TrayControllerCore::UpdateTimers() {
    const bool polling = CameraPresent() && m_session.InFront();
    m_poller.SetActive(polling);
    auto period = std::chrono::milliseconds{0};  // nothing to do: nothing runs
    if (m_bCheckDue || m_schedule.LookScheduled() || (polling && !m_poller.CanTakeTick())) {
        period = kStatusPeriod;
    } else if (polling) {
        period = kStuckPollerCheckPeriod;
    }
    m_platform.SetStatusTimer(period);
}

void TrayControllerCore::OnTrayCommand(unsigned id) {
    m_commands.OnTrayCommand(id, [this](bool on) { m_plug.SetSelfTimerChecked(on); });
}

void TrayControllerCore::OnCountdownTick() {
    m_commands.OnCountdownTick();
}

void TrayControllerCore::Exit() {
    m_plug.DeleteIcon();
    m_platform.DestroyControllerWindow();
}

void TrayControllerCore::OnExitCommand() {
    m_settings.ClearCameraStatus(STATUS_TRAY_EXIT);
    Exit();
}

bool TrayControllerCore::OnCopyData(uintptr_t dwData, const void* data, std::size_t cbData) {
    if (!IsExitCommand(dwData, data, cbData)) {
        return false;
    }
    OnExitCommand();
    return true;
}

void TrayControllerCore::OnSysCommand(uint32_t command) {
    if (command == kSysCommandMinimize) {
        m_plug.SetMinimized(true);
    } else if (command == kSysCommandRestore) {
        m_plug.SetMinimized(false);
    }
}

void TrayControllerCore::PrepareDestroyWindow() {
    m_plug.SetMinimized(false);
    if (!m_poller.StopWithin(kPollerStopPatience)) {
        DebugLog(kLogEvent, "Camera busy, poller left behind");
    }
}
