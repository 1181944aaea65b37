#include "tray/tray_tip.h"

#include "tray/menu_description.h"

std::string TrayTipText(bool plugIn, const std::string& friendlyName) {
    std::string tip = kTrayMenuTitle;
    if (plugIn && !friendlyName.empty()) {
        tip += " - " + friendlyName;
    }
    return tip;
}

std::string CutToBytes(const std::string& text, std::size_t maxBytes,
                       bool (*isLeadByte)(unsigned char)) {
    // Walk whole characters from the start: a lead byte cannot be told from a trail byte when
    // looking backwards.
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t width =
            isLeadByte(static_cast<unsigned char>(text[end])) && end + 1 < text.size() ? 2 : 1;
        if (end + width > maxBytes) {
            break;
        }
        end += width;
    }
    return text.substr(0, end);
}
