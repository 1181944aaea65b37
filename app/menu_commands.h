// The tray menu's commands: effects, stills at once or after the self-timer's countdown, the
// self-timer switch, the Quick Launch dialog and the property pages, and what a new icon's
// menu shows of the camera. Portable: no Windows headers.
#pragma once

#include <cstdint>
#include <functional>

#include "app/controller_platform.h"
#include "app/plug_state.h"
#include "app/self_timer.h"
#include "camera/capabilities.h"
#include "camera/extension_props.h"
#include "settings/settings_store.h"

class MenuCommands {
public:
    // `exit` ends the program as the menu's Exit. Every reference must outlive this object.
    MenuCommands(SettingsStore& settings, ICameraOps& camera, IControllerPlatform& platform,
                 const PlugState& plug, std::function<void()> exit)
        : m_settings(settings),
          m_camera(camera),
          m_platform(platform),
          m_plug(plug),
          m_exit(std::move(exit)) {}

    // WM_COMMAND ids ID_TRAY_COMMAND_FIRST..ID_TRAY_COMMAND_LAST. A self-timer switch the
    // driver took is told to `selfTimerChanged`.
    void OnTrayCommand(unsigned id, const std::function<void(bool)>& selfTimerChanged);
    // Still size, clear STATUS_STILL_READY, trigger: in that order; nothing while the camera is
    // busy.
    void TakeSnapshot(int32_t sizeIndex);
    // The 1-second self-timer tick.
    void OnCountdownTick();
    // What a new icon's menu shows.
    TrayMenuData MenuData();

    [[nodiscard]] const SelfTimer& Timer() const { return m_timer; }
    SelfTimer& Timer() { return m_timer; }

private:
    // Sends the other self-timer choice; false when the driver was busy.
    bool ToggleSelfTimer();
    // The plugged-in menu's camera part, read when the menu opens; records the sensor in
    // m_caps for the still command.
    CameraMenuContent ReadCameraMenuContent();

    SettingsStore& m_settings;
    ICameraOps& m_camera;
    IControllerPlatform& m_platform;
    const PlugState& m_plug;
    std::function<void()> m_exit;
    SelfTimer m_timer;
    CameraCapabilities m_caps;  // m_nSensorKind .. m_nLastSizeIndex, as the last menu found them
};
