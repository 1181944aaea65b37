// The tray menu resources as resource-script text, written from the portable menu description
// so that the menus are defined once (MenuResourceItems) and windres compiles the same items.
#pragma once

#include <string>

namespace resgen {

// The MENU statements of menus 130 (plugged in) and 131 (unplugged), included by KRYTray.rc.
std::string TrayMenuScript();

}  // namespace resgen
