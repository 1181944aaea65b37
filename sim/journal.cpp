#include "sim/journal.h"

#include <mutex>

#include "sim/directory.h"
#include "sim/file_handle.h"
#include "sim/sim_settings.h"

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

FileHandle OpenForAppend(const std::wstring& path) {
    // Opened per line, not kept open: the control tool may clear the file at any time.
    return FileHandle(CreateFileW(path.c_str(), FILE_APPEND_DATA, kShareAll, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::mutex& AppendMutex() {
    static std::mutex mutex;
    return mutex;
}

}  // namespace

void Journal::Append(const std::string& line) {
    const std::wstring path = SimSettings::JournalPath();
    const std::string text = line + "\n";
    const std::lock_guard lock(AppendMutex());
    FileHandle file = OpenForAppend(path);
    if (!file && CreateDirectoryTree(ParentDirectory(path))) {
        file = OpenForAppend(path);
    }
    if (file) {
        file.WriteAll(text.data(), static_cast<DWORD>(text.size()));
    }
}

std::string Journal::Read() {
    const FileHandle file(CreateFileW(SimSettings::JournalPath().c_str(), GENERIC_READ, kShareAll,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string text;
    if (!file) {
        return text;
    }
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        text.append(buffer, read);
    }
    return text;
}

LONG Journal::Clear() {
    if (DeleteFileW(SimSettings::JournalPath().c_str())) {
        return ERROR_SUCCESS;
    }
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
               ? ERROR_SUCCESS
               : static_cast<LONG>(error);
}
