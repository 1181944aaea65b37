// Saves what is on the (virtual) screen as a BMP in the artifacts folder; the runner turns
// the BMPs into PNGs. No effect when KRY_SCREENSHOT_DIR is not set.
#pragma once

#include <windows.h>

#include <string>

// `area` (screen coordinates) limits it to that rectangle.
bool SaveScreenshot(const std::string& name, const RECT* area = nullptr);
