#include "app/tray_controller_core.h"

#include <algorithm>
#include <cstring>

#include "app/exit_command.h"
#include "camera/capability_tables.h"
#include "diag/debug_log.h"
#include "res/resource.h"

TrayControllerCore::TrayControllerCore(SettingsStore& settings, ICameraOps& camera,
                                       IControllerPlatform& platform)
    : m_settings(settings),
      m_camera(camera),
      m_platform(platform),
      m_poller(camera, m_bCameraPresent) {
    g_nEffectCount = kEffectTableRows;
    m_poller.SetAfterPoll([this] { OnSnapPolled(); });
}

TrayControllerCore::~TrayControllerCore() = default;

void TrayControllerCore::ReadStartupSettings() {
    DebugLevel = m_settings.ReadDebugLevel();
    const uint32_t trayEnabled = m_settings.ReadTrayEnabled();
    DebugLog(kLogStatus, "CKRYTrayDlg, ulCameraStatus = 0x%x", trayEnabled);
    m_bTrayEnabled = trayEnabled != 0;
}

void TrayControllerCore::BeginInitialise() {
    // No camera is open yet: this only logs, and the stored self-timer bit survives it.
    m_settings.ClearCameraStatus(STATUS_ALL);
    m_bMinimized = true;
    m_bCameraPresent = 0;
    m_bPlugIn = false;
    m_bPrevPlugIn = false;
    AddTrayIcon(0);
}

void TrayControllerCore::FinishInitialise() {
    m_bSelfTimer = (m_settings.ReadCameraStatus() & STATUS_SELF_TIMER) != 0;
    m_nPendingSizeIndex = 0;
    m_nCountdown = 0;
}

void TrayControllerCore::StartSnapButtonPoller() {
    m_poller.Start();
}

void TrayControllerCore::OnStatusTick() {
    if (m_camera.IsGone()) {
        Discover(true, false);
    } else if (m_nRediscoverIn > 0 && --m_nRediscoverIn == 0) {
        Discover(false, true);
    }
    if (m_bCheckDue || !m_poller.CanTakeTick()) {
        m_bCheckDue = false;
        CheckStatus(m_settings.ReadCameraStatus());
        ++m_nOwnChecks;  // after the check's clears: see OnPolledStatus
    }
    m_poller.Tick();
}

void TrayControllerCore::OnDeviceChange() {
    Discover(false, false);
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
    if (m_pTrayIcon) {
        m_pTrayIcon->EnsureShown();
    }
    Discover(true, false);
}

void TrayControllerCore::OnEndSession(bool ending, uint32_t flags) {
    if (ending && (flags & kEndSessionCloseApp) != 0) {
        Exit();
    }
}

void TrayControllerCore::Discover(bool afresh, bool retry) {
    const bool wasOpen = m_bCameraPresent.load() == 1;
    // A device change is news: the back-off starts again from its first step.
    if (!retry) {
        m_nRediscoverDelay = 0;
    }
    const DiscoveryResult result = m_platform.FindCamera(afresh, m_bCameraPresent);
    m_bReopened = m_bReopened || (afresh && wasOpen);
    m_bCheckDue = m_bCheckDue || m_bReopened || wasOpen != (m_bCameraPresent.load() == 1);
    if (result == DiscoveryResult::NoneWorking) {
        m_nRediscoverDelay = m_nRediscoverDelay == 0
                                 ? kRediscoverFirstSeconds
                                 : std::min(2 * m_nRediscoverDelay, kRediscoverMostSeconds);
        m_nRediscoverIn = m_nRediscoverDelay;
    } else {
        m_nRediscoverDelay = 0;
        m_nRediscoverIn = 0;
    }
}

void TrayControllerCore::OnSnapPolled() {
    const uint32_t epoch = m_nOwnChecks.load();  // before the read
    const uint32_t status = m_settings.ReadCameraStatus();
    // At rest nothing changes: the window thread is not woken for it.
    const bool news = m_nLastPolledStatus.exchange(status) != status ||
                      (status & (STATUS_SNAP_BUTTON | STATUS_STILL_READY)) != 0;
    if (news) {
        m_platform.RequestStatusCheck(status, epoch);
    }
}

void TrayControllerCore::OnPolledStatus(uint32_t status, uint32_t epoch) {
    if (epoch != m_nOwnChecks.load()) {
        m_nLastPolledStatus = kNoPolledStatus;  // hand the next read over whatever it holds
        return;
    }
    CheckStatus(status);
}

bool TrayControllerCore::TakeBit(bool& held, uint32_t bit, uint32_t& retry) {
    if (held) {
        retry |= bit;
        return false;
    }
    held = true;
    return true;
}

void TrayControllerCore::RetryClear(uint32_t bits) {
    if (bits == 0) {
        return;
    }
    DebugLog(kLogEvent, "CameraStatus 0x%x not cleared, clearing again", bits);
    ClearHeldBits(bits);
}

void TrayControllerCore::ClearHeldBits(uint32_t bits) {
    m_settings.ClearCameraStatus(bits);
    // A driver that took the clear is seen to at once: the next press is not mistaken for the
    // one just handled, even when no check comes in between.
    const uint32_t status = m_settings.ReadCameraStatus();
    if ((bits & STATUS_SNAP_BUTTON) != 0 && (status & STATUS_SNAP_BUTTON) == 0) {
        m_bSnapHeld = false;
    }
    if ((bits & STATUS_STILL_READY) != 0 && (status & STATUS_STILL_READY) == 0) {
        m_bStillHeld = false;
    }
}

void TrayControllerCore::CheckStatus(uint32_t status) {
    const bool present = m_bCameraPresent.load() == 1;

    m_bPlugIn = present && (status & STATUS_ACTIVE) != 0;
    // A camera opened again is shown as after an unplug and a plug: one new icon, one record.
    if (m_bPlugIn != m_bPrevPlugIn || (m_bPlugIn && m_bReopened)) {
        m_pTrayIcon.reset();  // removes the old icon before the other look is added
        AddTrayIcon(m_bPlugIn ? 1 : 0);
        DebugLog(kLogEvent, m_bPlugIn ? "plug in and play!" : "plug out or stop");
    }
    m_bPrevPlugIn = m_bPlugIn;
    m_bReopened = false;

    if ((status & STATUS_SNAP_BUTTON) == 0) {
        m_bSnapHeld = false;  // the driver has stored our clear
    }
    if ((status & STATUS_STILL_READY) == 0) {
        m_bStillHeld = false;
    }

    uint32_t retry = 0;
    // The button works whenever a camera is open, even without STATUS_ACTIVE.
    if (present && (status & STATUS_SNAP_BUTTON) != 0 &&
        TakeBit(m_bSnapHeld, STATUS_SNAP_BUTTON, retry)) {
        const std::u16string path = m_settings.ReadQuickLaunchPath().value_or(u"");
        StartProgramIfNamed(path);
        // Cleared even when nothing could be started, so that a failed launch is not retried.
        ClearHeldBits(STATUS_SNAP_BUTTON);
        DebugLog(kLogEvent, "%s", m_platform.AnsiText(path).c_str());
    }

    if ((status & STATUS_STILL_READY) != 0 && m_bPlugIn &&
        TakeBit(m_bStillHeld, STATUS_STILL_READY, retry)) {
        ClearHeldBits(STATUS_STILL_READY);
        StartProgramIfNamed(
            std::u16string(kViewerProgram, kViewerProgram + std::strlen(kViewerProgram)));
        DebugLogText(kLogEvent, kViewerProgram);
    }
    RetryClear(retry);
}

void TrayControllerCore::StartProgramIfNamed(const std::u16string& path) {
    if (path.empty()) {
        return;  // no quick-launch program chosen
    }
    m_platform.StartProgram(path);
}

void TrayControllerCore::AddTrayIcon(int plugState) {
    if (!m_bTrayEnabled || !m_bMinimized || m_pTrayIcon) {
        return;
    }
    if (plugState == 1) {
        m_pTrayIcon =
            m_platform.CreateTrayIcon(IDI_TRAY_PLUGGED, IDR_MENU_PLUGGED, m_bSelfTimer, MenuData());
    } else {
        m_pTrayIcon = m_platform.CreateTrayIcon(IDI_TRAY_UNPLUGGED, IDR_MENU_UNPLUGGED,
                                                m_bSelfTimer, MenuData());
    }
}

TrayMenuData TrayControllerCore::MenuData() {
    TrayMenuData menu;
    menu.effectTable = EffectTable;
    menu.effectCount = g_nEffectCount;
    // The icon is owned by this object, so the question never outlives it.
    menu.cameraContent = [this] { return ReadCameraMenuContent(); };
    return menu;
}

CameraMenuContent TrayControllerCore::ReadCameraMenuContent() {
    CameraMenuContent content;
    content.effectsSupported = IsEffectSupported(m_bPlugIn, m_camera, m_caps);
    BuildSizeList(m_bPlugIn, m_camera, m_caps, content.stillSizes);
    return content;
}

void TrayControllerCore::OnTrayCommand(unsigned id) {
    if (id >= ID_EFFECT_FIRST && id <= ID_EFFECT_LAST) {
        // The range is wider than the table; ids past its last row are never issued by the menu.
        const unsigned row = id - ID_EFFECT_FIRST;
        if (row < static_cast<unsigned>(kEffectTableRows)) {
            m_camera.SetEffect(EffectTable[row].nEffectId);
        }
        return;
    }
    if (id >= ID_SNAPSHOT_FIRST && id <= ID_SNAPSHOT_LAST) {
        const int32_t sizeIndex =
            m_caps.m_nFirstSizeIndex + static_cast<int32_t>(id - ID_SNAPSHOT_FIRST);
        if (m_bSelfTimer) {
            // Also restarts a running countdown, with the new size.
            m_nCountdown = kCountdownSeconds;
            m_nPendingSizeIndex = sizeIndex;
            m_platform.SetCountdownTimer();
        } else {
            TakeSnapshot(sizeIndex);
        }
        return;
    }
    switch (id) {
        case ID_SNAPONE_DELAY:
            ToggleSelfTimer();
            break;
        case ID_QUICKLAUNCH:
            m_platform.RunQuickLaunchDialog();
            break;
        case ID_VIDEO_CAPTURE_FILTER:
            m_camera.ShowPropertyPages();
            break;
        case ID_MENU_EXIT:
            Exit();
            break;
        default:
            break;  // the menu title and the unused ids of the range
    }
}

void TrayControllerCore::TakeSnapshot(int32_t sizeIndex) {
    ExtensionBuffer block{};
    block.words[0] = sizeIndex;
    if (m_camera.SetExtensionProperty(PROP_STILL_SIZE, &block) == kCameraBusy) {
        return;  // not queued: a still minutes later would surprise
    }
    m_settings.ClearCameraStatus(STATUS_STILL_READY);
    m_camera.TriggerStill();
}

void TrayControllerCore::OnCountdownTick() {
    // While the camera is away the count holds and the timer keeps running.
    if (!m_bPlugIn) {
        return;
    }
    if (m_nCountdown >= 1 && m_nCountdown <= kCountdownSeconds) {
        DebugLog(kLogCountdown, "%d", static_cast<int>(m_nCountdown));
        m_platform.ShowCountdownOverlay(IDB_OVERLAY_SHAPE + m_nCountdown);
        --m_nCountdown;
    } else if (m_nCountdown == 0) {
        DebugLog(kLogCountdown, "Self-Timer Capture");
        m_platform.KillCountdownTimer();
        TakeSnapshot(m_nPendingSizeIndex);
        m_platform.HideCountdownOverlay();
    }
}

void TrayControllerCore::ToggleSelfTimer() {
    // A countdown already running goes on either way.
    const bool selfTimer = !m_bSelfTimer;
    const int sent = selfTimer ? m_settings.SetCameraStatus(STATUS_SELF_TIMER)
                               : m_settings.ClearCameraStatus(STATUS_SELF_TIMER);
    if (sent == kCameraBusy) {
        return;  // the menu keeps showing the choice the driver holds
    }
    m_bSelfTimer = selfTimer;
    if (m_pTrayIcon) {
        m_pTrayIcon->SetSelfTimerChecked(m_bSelfTimer);
    }
}

void TrayControllerCore::Exit() {
    if (m_pTrayIcon) {
        m_pTrayIcon->DeleteTrayIcon();
    }
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
        m_bMinimized = true;
    } else if (command == kSysCommandRestore) {
        m_bMinimized = false;
    }
}

void TrayControllerCore::PrepareDestroyWindow() {
    m_bMinimized = false;
    if (!m_poller.StopWithin(kPollerStopPatience)) {
        DebugLog(kLogEvent, "Camera busy, poller left behind");
    }
}
