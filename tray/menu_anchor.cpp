#include "tray/menu_anchor.h"

ScreenPoint MenuAnchor(bool fromKeyboard, const std::optional<ScreenRect>& icon,
                       ScreenPoint pointer) {
    if (!fromKeyboard || !icon || icon->right <= icon->left || icon->bottom <= icon->top) {
        return pointer;
    }
    return {icon->left + (icon->right - icon->left) / 2,
            icon->top + (icon->bottom - icon->top) / 2};
}
