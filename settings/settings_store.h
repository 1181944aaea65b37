// The settings store: every read and write of the program's registry key, and the status bits
// that go to the driver. Portable logic over a key-value backend.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "camera/extension_props.h"
#include "settings/camera_status.h"

// The registry calls the store needs, in the platform's own terms (results are Win32 error
// codes: 0 = ERROR_SUCCESS). Text values travel as UTF-16LE bytes, as the registry keeps them.
class ISettingsBackend {
public:
    using Key = void*;
    virtual ~ISettingsBackend() = default;
    virtual bool RunningUnderWow64() = 0;
    // Opens SettingsKeyPath under HKEY_LOCAL_MACHINE; `key` stays null on failure.
    virtual long Open(const char* path, uint32_t access, Key* key) = 0;
    // Opens `path` under HKEY_CURRENT_USER, creating it when `create` is set.
    virtual long OpenUser(const char* path, uint32_t access, bool create, Key* key) = 0;
    virtual long Query(Key key, const char* name, uint32_t* type, uint8_t* data,
                       uint32_t* size) = 0;
    virtual long SetString(Key key, const char* name, const uint8_t* data, uint32_t size) = 0;
    virtual long DeleteValue(Key key, const char* name) = 0;
    virtual void Close(Key key) = 0;
};

constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegDword = 4;
constexpr long kErrorFileNotFound = 2;

class SettingsStore {
public:
    SettingsStore(ISettingsBackend& backend, ICameraOps& camera)
        : m_backend(backend), m_camera(camera) {}

    uint32_t ReadCameraStatus();
    uint32_t ReadTrayEnabled();
    int32_t ReadDebugLevel();

    // Work out the new bit set, log it at level 103 and ask the driver to store it. The
    // registry itself is never written. The read and the request are one camera operation, so a
    // bit the driver records meanwhile is not sent back cleared. Result: the driver call's (0
    // sent, -1 no camera, kCameraBusy not sent).
    int ClearCameraStatus(uint32_t mask);
    int SetCameraStatus(uint32_t mask);

    // The quick-launch program: the user's own value when it reads, else the machine's; none
    // when neither does. The text ends at its first NUL, after at most 511 characters.
    std::optional<std::u16string> ReadQuickLaunchPath();
    // Stores at most 511 characters, without a NUL, where this user's choice will be read: the
    // machine value when the machine key may be written (then the user's own value goes, so
    // the new choice applies), else the user's own value. Returns 0 when stored, else the Win32
    // error of the last attempt; a failure is logged.
    long WriteQuickLaunchPath(std::u16string_view text);

    // The access an open asks for: `access` plus the 64-bit view for a 32-bit process on
    // 64-bit Windows, where the driver keeps the key.
    uint32_t OpenMask(uint32_t access);

private:
    uint32_t ReadDword(const char* name);
    int ChangeStatus(uint32_t clear, uint32_t set, const char* logFormat);
    long RemoveUserQuickLaunchPath();

    ISettingsBackend& m_backend;
    ICameraOps& m_camera;
};
