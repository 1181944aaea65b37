// When the process may let its menus follow the dark app theme. Portable: no Windows headers.
#pragma once

#include <cstdint>

// uxtheme's unnamed exports 135 and 136 are "set preferred app mode" and "flush menu themes"
// from Windows 10 build 18362 (version 1903) on; before it, 135 was another function. Whether
// a later major version keeps them is unknown, so only 10 counts (Windows 11 reports 10).
constexpr uint32_t kAppModeFirstBuild = 18362;

constexpr bool AppModeExportsKnown(uint32_t majorVersion, uint32_t build) {
    return majorVersion == 10 && build >= kAppModeFirstBuild;
}

// High contrast keeps the system's colours: no dark menus while it is on.
constexpr bool AllowDarkMenus(uint32_t majorVersion, uint32_t build, bool highContrast) {
    return AppModeExportsKnown(majorVersion, build) && !highContrast;
}
