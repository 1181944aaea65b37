#include "win/dll_search_win32.h"

#include <windows.h>

#include "win/system_library_win32.h"

void LimitDllSearchToSystemFolder() {
    // Looked up at run time: Windows 7 has it only with update KB2533623.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const auto setDefaultDllDirectories = LookUpLoadedFunction<SetDefaultDllDirectoriesFn>(
        L"kernel32.dll", "SetDefaultDllDirectories");
    if (setDefaultDllDirectories == nullptr ||
        !setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        // Without it, at least the current folder leaves the search.
        SetDllDirectoryA("");
    }
}
