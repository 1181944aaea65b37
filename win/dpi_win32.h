// Screen scaling for a per-monitor aware program, with fallbacks for systems older than the
// functions that tell a window's own DPI.
#pragma once

#include <windows.h>

constexpr UINT kDefaultDpi = 96;

// The system DPI (the primary monitor's at sign-in).
UINT SystemDpi();
// The DPI of the monitor the window is on; the system DPI where the system cannot tell.
UINT WindowDpi(HWND window);
// GetSystemMetrics(index) at `dpi`.
int MetricForDpi(int index, UINT dpi);

// A length made for 96 DPI, at `dpi`.
inline int ScaleForDpi(int length, UINT dpi) {
    return MulDiv(length, static_cast<int>(dpi), static_cast<int>(kDefaultDpi));
}
