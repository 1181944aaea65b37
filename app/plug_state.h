// The camera's plug state as the notification area shows it: one icon, of the plugged-in or the
// unplugged look, made new at each change with one record. Portable: no Windows headers.
#pragma once

#include <functional>
#include <memory>

#include "app/controller_platform.h"

class PlugState {
public:
    // `menuData` gives each new icon what its menu shows. Both must outlive this object.
    PlugState(IControllerPlatform& platform, std::function<TrayMenuData()> menuData)
        : m_platform(platform), m_menuData(std::move(menuData)) {}

    void SetTrayEnabled(bool enabled) { m_bTrayEnabled = enabled; }
    [[nodiscard]] bool TrayEnabled() const { return m_bTrayEnabled; }
    // Minimised to the tray: icons may be created. Cleared for good when the window goes.
    void SetMinimized(bool minimized) { m_bMinimized = minimized; }
    [[nodiscard]] bool IsMinimized() const { return m_bMinimized; }

    // The start-up look: unplugged.
    void Reset(bool selfTimerChecked);
    // Follows one check: the camera is plugged in while it is open and active. A camera
    // `reopened` is shown as after an unplug and a plug: one new icon, one record.
    void Follow(bool plugIn, bool reopened, bool selfTimerChecked);
    [[nodiscard]] bool IsPlugIn() const { return m_bPlugIn; }
    [[nodiscard]] bool WasPlugIn() const { return m_bPrevPlugIn; }

    [[nodiscard]] bool HasIcon() const { return m_pTrayIcon != nullptr; }
    void SetSelfTimerChecked(bool checked);
    // Puts back an icon the shell lost.
    void EnsureShown();
    // Removes the icon now (Exit); the object stays until the controller goes.
    void DeleteIcon();

private:
    // Shows the icon of the current look when the tray is enabled, the controller is minimised
    // to the tray and no icon object exists.
    void AddIcon(bool selfTimerChecked);

    IControllerPlatform& m_platform;
    std::function<TrayMenuData()> m_menuData;
    bool m_bTrayEnabled = false;
    bool m_bMinimized = false;
    bool m_bPlugIn = false;      // camera present and STATUS_ACTIVE, as of the last check
    bool m_bPrevPlugIn = false;  // m_bPlugIn after the check before
    std::unique_ptr<ITrayIcon> m_pTrayIcon;
};
