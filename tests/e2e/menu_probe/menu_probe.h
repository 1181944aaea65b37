// The request that the end-to-end tests hand to the menu probe inside the program under test.
// Under Wine a menu can be read only by its own process, so the tests load this small DLL into
// the program and run its export on a thread of their own there.
#pragma once

#include <windows.h>

#include <cstdint>

struct MenuProbeRequest {
    uint64_t menu;        // the HMENU to read
    char path[MAX_PATH];  // where to write what was read
};

// The probe's export, DWORD WINAPI KryDumpMenu(MenuProbeRequest*), is named "KryDumpMenu" on
// x86-64 and "KryDumpMenu@4" on i686. The file it writes holds a first line
// "count <n> default <position or -1>", then one line per position:
// "<id> <GetMenuState flags> <submenu handle, hex> <text>". It returns 0 when the menu was read.
