#include "app/menu_commands.h"

#include "camera/capability_tables.h"
#include "diag/debug_log.h"
#include "res/resource.h"
#include "settings/camera_status.h"

void MenuCommands::OnTrayCommand(unsigned id, const std::function<void(bool)>& selfTimerChanged) {
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
        if (m_timer.IsOn()) {
            m_timer.Start(sizeIndex);  // also restarts a running countdown, with the new size
            m_platform.SetCountdownTimer();
        } else {
            TakeSnapshot(sizeIndex);
        }
        return;
    }
    switch (id) {
        case ID_SNAPONE_DELAY:
            if (ToggleSelfTimer()) {
                selfTimerChanged(m_timer.IsOn());
            }
            break;
        case ID_QUICKLAUNCH:
            m_platform.RunQuickLaunchDialog();
            break;
        case ID_VIDEO_CAPTURE_FILTER:
            m_camera.ShowPropertyPages();
            break;
        case ID_MENU_EXIT:
            m_exit();
            break;
        default:
            break;  // the menu title and the unused ids of the range
    }
}

void MenuCommands::TakeSnapshot(int32_t sizeIndex) {
    ExtensionBuffer block{};
    block.words[0] = sizeIndex;
    if (m_camera.SetExtensionProperty(PROP_STILL_SIZE, &block) == kCameraBusy) {
        return;  // not queued: a still minutes later would surprise
    }
    m_settings.ClearCameraStatus(STATUS_STILL_READY);
    m_camera.TriggerStill();
}

void MenuCommands::OnCountdownTick() {
    const SelfTimer::Step step = m_timer.Tick(m_plug.IsPlugIn());
    switch (step.kind) {
        case SelfTimer::Step::Kind::Show:
            DebugLog(kLogCountdown, "%d", static_cast<int>(step.count));
            m_platform.ShowCountdownOverlay(IDB_OVERLAY_SHAPE + step.count);
            break;
        case SelfTimer::Step::Kind::Hide:
            m_platform.HideCountdownOverlay();
            break;
        case SelfTimer::Step::Kind::Capture:
            DebugLog(kLogCountdown, "Self-Timer Capture");
            m_platform.KillCountdownTimer();
            TakeSnapshot(step.sizeIndex);
            m_platform.HideCountdownOverlay();
            break;
        case SelfTimer::Step::Kind::Nothing:
            break;
    }
}

bool MenuCommands::ToggleSelfTimer() {
    // A countdown already running goes on either way.
    const bool selfTimer = !m_timer.IsOn();
    const int sent = selfTimer ? m_settings.SetCameraStatus(STATUS_SELF_TIMER)
                               : m_settings.ClearCameraStatus(STATUS_SELF_TIMER);
    if (sent == kCameraBusy) {
        return false;  // the menu keeps showing the choice the driver holds
    }
    m_timer.SetOn(selfTimer);
    return true;
}

TrayMenuData MenuCommands::MenuData() {
    TrayMenuData menu;
    menu.effectTable = EffectTable;
    menu.effectCount = g_nEffectCount;
    // The icon is owned by the controller, so the question never outlives this object.
    menu.cameraContent = [this] { return ReadCameraMenuContent(); };
    return menu;
}

CameraMenuContent MenuCommands::ReadCameraMenuContent() {
    CameraMenuContent content;
    content.effectsSupported = IsEffectSupported(m_plug.IsPlugIn(), m_camera, m_caps);
    BuildSizeList(m_plug.IsPlugIn(), m_camera, m_caps, content.stillSizes);
    return content;
}
