#include "app/plug_state.h"

#include "diag/debug_log.h"
#include "res/resource.h"

void PlugState::Reset(bool selfTimerChecked) {
    m_bMinimized = true;
    m_bPlugIn = false;
    m_bPrevPlugIn = false;
    AddIcon(selfTimerChecked);
}

void PlugState::Follow(bool plugIn, bool reopened, bool selfTimerChecked) {
    m_bPlugIn = plugIn;
    if (m_bPlugIn != m_bPrevPlugIn || (m_bPlugIn && reopened)) {
        m_pTrayIcon.reset();  // removes the old icon before the other look is added
        AddIcon(selfTimerChecked);
        DebugLog(kLogEvent, m_bPlugIn ? "plug in and play!" : "plug out or stop");
    }
    m_bPrevPlugIn = m_bPlugIn;
}

void PlugState::SetSelfTimerChecked(bool checked) {
    if (m_pTrayIcon) {
        m_pTrayIcon->SetSelfTimerChecked(checked);
    }
}

void PlugState::EnsureShown() {
    if (m_pTrayIcon) {
        m_pTrayIcon->EnsureShown();
    }
}

void PlugState::DeleteIcon() {
    if (m_pTrayIcon) {
        m_pTrayIcon->DeleteTrayIcon();
    }
}

void PlugState::AddIcon(bool selfTimerChecked) {
    if (!m_bTrayEnabled || !m_bMinimized || m_pTrayIcon) {
        return;
    }
    m_pTrayIcon = m_bPlugIn ? m_platform.CreateTrayIcon(IDI_TRAY_PLUGGED, IDR_MENU_PLUGGED,
                                                        selfTimerChecked, m_menuData())
                            : m_platform.CreateTrayIcon(IDI_TRAY_UNPLUGGED, IDR_MENU_UNPLUGGED,
                                                        selfTimerChecked, m_menuData());
}
