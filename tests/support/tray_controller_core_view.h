// The unit tests' window on the controller's state: what discovery and the menu's size list
// would write, and the rest to read.
#pragma once

#include "app/tray_controller_core.h"

class TrayControllerCoreView {
public:
    explicit TrayControllerCoreView(TrayControllerCore& core)
        : m_bCameraPresent(core.m_bCameraPresent),
          m_nFirstSizeIndex(core.m_caps.m_nFirstSizeIndex),
          m_bTrayEnabled(core.m_bTrayEnabled),
          m_bPlugIn(core.m_bPlugIn),
          m_bPrevPlugIn(core.m_bPrevPlugIn),
          m_nCountdown(core.m_nCountdown),
          m_nPendingSizeIndex(core.m_nPendingSizeIndex),
          m_bSelfTimer(core.m_bSelfTimer),
          m_bMinimized(core.m_bMinimized),
          m_pTrayIcon(core.m_pTrayIcon) {}

    std::atomic<uint8_t>& m_bCameraPresent;
    int32_t& m_nFirstSizeIndex;
    const bool& m_bTrayEnabled;
    const bool& m_bPlugIn;
    const bool& m_bPrevPlugIn;
    const int32_t& m_nCountdown;
    const int32_t& m_nPendingSizeIndex;
    const bool& m_bSelfTimer;
    const bool& m_bMinimized;
    const std::unique_ptr<ITrayIcon>& m_pTrayIcon;
};
