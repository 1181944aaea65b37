// One icon in the notification area, as the controller sees it, and what its menu shows of the
// controller: plain data and one narrow question, so the tray reaches neither the controller
// nor the camera. Portable: no Windows headers.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "camera/capabilities.h"

// What the plugged-in menu shows of the camera, read by the controller when the menu opens.
struct CameraMenuContent {
    int effectsSupported = 0;             // 1: the effects submenu lists the table's rows
    std::vector<std::string> stillSizes;  // the still-size texts offered, in row order
};

// Given by the controller when it makes an icon.
struct TrayMenuData {
    std::span<const EffectRow> effectTable;  // EffectTable
    int effectCount = 0;                     // g_nEffectCount
    // Asked at most once per menu and only by the plugged-in one: it talks to the camera. An
    // empty function answers as a camera that offers nothing.
    std::function<CameraMenuContent()> cameraContent;
};

// Destroying the object removes the icon.
class ITrayIcon {
public:
    virtual ~ITrayIcon() = default;
    // The self-timer check mark of the menu this icon shows.
    virtual void SetSelfTimerChecked(bool checked) = 0;
    // Removes the icon now; the object stays. A second call does nothing.
    virtual void DeleteTrayIcon() = 0;
    // Adds the icon again when the shell no longer has it (one that forgot it across sleep
    // without a restart of its own); does nothing after DeleteTrayIcon.
    virtual void EnsureShown() = 0;
};
