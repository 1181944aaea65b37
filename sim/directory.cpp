#include "sim/directory.h"

#include <windows.h>

std::wstring ParentDirectory(const std::wstring& path) {
    const size_t split = path.find_last_of(L"\\/");
    return split == std::wstring::npos ? std::wstring() : path.substr(0, split);
}

bool CreateDirectoryTree(const std::wstring& folder) {
    if (folder.empty()) {
        return false;
    }
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    const std::wstring parent = ParentDirectory(folder);
    // Stop at a drive root ("C:"), which always exists when it exists at all.
    if (!parent.empty() && parent.back() != L':' && !CreateDirectoryTree(parent)) {
        return false;
    }
    return CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}
