#include "win/system_library_win32.h"

std::wstring SystemFolder() {
    wchar_t path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    return std::wstring(path, length);
}

UniqueModule LoadSystemLibrary(const wchar_t* fileName) {
    const std::wstring folder = SystemFolder();
    if (folder.empty()) {
        return {};
    }
    return UniqueModule(LoadLibraryW((folder + L"\\" + fileName).c_str()));
}
