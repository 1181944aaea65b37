#include "tray/icon_add_retry.h"

#include <algorithm>

bool IconAddRetry::Show() {
    // After a failed add the shell may have the icon without having been asked its version.
    const bool addFailedBefore = Pending();
    bool shown = m_shell.Has();
    if (shown && addFailedBefore) {
        m_shell.SetVersion();
    } else if (!shown && m_shell.Add()) {
        m_shell.SetVersion();
        shown = true;
    }
    m_delay = shown ? std::chrono::seconds{0}
                    : (addFailedBefore ? std::min(m_delay * 2, kLongestDelay) : kFirstDelay);
    return shown;
}
