#include "sim/reg_key.h"

#include <utility>
#include <vector>

RegKey::~RegKey() {
    Reset();
}

RegKey::RegKey(RegKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}

RegKey& RegKey::operator=(RegKey&& other) noexcept {
    if (this != &other) {
        Reset();
        key_ = std::exchange(other.key_, nullptr);
    }
    return *this;
}

void RegKey::Reset() {
    if (key_ != nullptr) {
        RegCloseKey(key_);
        key_ = nullptr;
    }
}

RegKey RegKey::Open(HKEY root, const std::wstring& path, REGSAM access, LONG* error) {
    HKEY key = nullptr;
    const LONG result = RegOpenKeyExW(root, path.c_str(), 0, access, &key);
    if (error != nullptr) {
        *error = result;
    }
    return RegKey(result == ERROR_SUCCESS ? key : nullptr);
}

RegKey RegKey::Create(HKEY root, const std::wstring& path, REGSAM access, LONG* error) {
    HKEY key = nullptr;
    const LONG result = RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        access, nullptr, &key, nullptr);
    if (error != nullptr) {
        *error = result;
    }
    return RegKey(result == ERROR_SUCCESS ? key : nullptr);
}

std::optional<DWORD> RegKey::ReadDword(const wchar_t* name) const {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::wstring> RegKey::ReadString(const wchar_t* name) const {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key_, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return std::nullopt;
    }
    // One spare character: the stored data need not end with a terminator.
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    DWORD bytes = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    if (RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &bytes) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    buffer[bytes / sizeof(wchar_t)] = L'\0';
    return std::wstring(buffer.data());
}

LONG RegKey::WriteDword(const wchar_t* name, DWORD value) const {
    return RegSetValueExW(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof(value));
}

LONG RegKey::WriteString(const wchar_t* name, const std::wstring& value) const {
    const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          bytes);
}

LONG RegKey::DeleteValue(const wchar_t* name) const {
    const LONG result = RegDeleteValueW(key_, name);
    return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
}

LONG DeleteRegistryTree(HKEY root, const std::wstring& path, REGSAM view) {
    const size_t split = path.find_last_of(L'\\');
    const std::wstring parentPath = split == std::wstring::npos ? L"" : path.substr(0, split);
    const std::wstring leaf = split == std::wstring::npos ? path : path.substr(split + 1);
    LONG result = ERROR_SUCCESS;
    RegKey parent = RegKey::Open(root, parentPath, KEY_ALL_ACCESS | view, &result);
    if (!parent) {
        return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
    }
    result = RegDeleteTreeW(parent.get(), leaf.c_str());
    return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
}
