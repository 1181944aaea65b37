// Move-only owner of an open registry key, with the few typed reads and writes the simulated
// driver needs. Every caller names the registry view explicitly.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The view that a program of this build's bitness sees by default: the program under test is
// built like the driver, so device entries and the simulator's own values live there.
inline constexpr REGSAM kProgramView = sizeof(void*) == 4 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
// CameraStatus always lives in the 64-bit view (a 32-bit program opens it with KEY_WOW64_64KEY).
inline constexpr REGSAM kStatusView = KEY_WOW64_64KEY;

class RegKey {
public:
    RegKey() = default;
    ~RegKey();
    RegKey(RegKey&& other) noexcept;
    RegKey& operator=(RegKey&& other) noexcept;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    // On failure the key is empty and `error` (when given) receives the Win32 error.
    static RegKey Open(HKEY root, const std::wstring& path, REGSAM access, LONG* error = nullptr);
    static RegKey Create(HKEY root, const std::wstring& path, REGSAM access, LONG* error = nullptr);

    explicit operator bool() const { return key_ != nullptr; }
    HKEY get() const { return key_; }

    std::optional<DWORD> ReadDword(const wchar_t* name) const;
    std::optional<std::wstring> ReadString(const wchar_t* name) const;
    LONG WriteDword(const wchar_t* name, DWORD value) const;
    LONG WriteString(const wchar_t* name, const std::wstring& value) const;
    LONG DeleteValue(const wchar_t* name) const;

private:
    explicit RegKey(HKEY key) : key_(key) {}
    void Reset();

    HKEY key_ = nullptr;
};

// Deletes `path` under `root` with all its subkeys; a missing key counts as deleted.
LONG DeleteRegistryTree(HKEY root, const std::wstring& path, REGSAM view);
