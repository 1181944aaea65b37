// Where the tray menu opens, as the shell's own menus do: at the pointer for the mouse, at the
// icon for the keyboard. Portable: no Windows headers.
#pragma once

#include <optional>

struct ScreenPoint {
    long x = 0;
    long y = 0;
};

struct ScreenRect {
    long left = 0;
    long top = 0;
    long right = 0;
    long bottom = 0;
};

// The centre of the icon's rectangle when the keyboard asked and the shell told the rectangle
// (an empty one counts as untold); the pointer otherwise.
ScreenPoint MenuAnchor(bool fromKeyboard, const std::optional<ScreenRect>& icon,
                       ScreenPoint pointer);
