// The settings store: every read and write of the program's registry key, and the status bits
// that go to the driver. Portable logic over a key-value backend.
#pragma once

#include <cstddef>
#include <cstdint>

#include "camera/extension_props.h"
#include "settings/camera_status.h"

// The registry calls the store needs, in the platform's own terms (results are Win32 error
// codes: 0 = ERROR_SUCCESS).
class ISettingsBackend {
public:
    using Key = void*;
    virtual ~ISettingsBackend() = default;
    virtual bool RunningUnderWow64() = 0;
    // Opens SettingsKeyPath under HKEY_LOCAL_MACHINE; `key` stays null on failure.
    virtual long Open(const char* path, uint32_t access, Key* key) = 0;
    virtual long Query(Key key, const char* name, uint32_t* type, uint8_t* data,
                       uint32_t* size) = 0;
    virtual long SetString(Key key, const char* name, const uint8_t* data, uint32_t size) = 0;
    virtual void Close(Key key) = 0;
};

constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegDword = 4;

class SettingsStore {
public:
    SettingsStore(ISettingsBackend& backend, ICameraOps& camera)
        : m_backend(backend), m_camera(camera) {}

    uint32_t ReadCameraStatus();
    uint32_t ReadTrayEnabled();
    int32_t ReadDebugLevel();

    // Work out the new bit set, log it at level 103 and ask the driver to store it. The
    // registry itself is never written. Result: the driver call's (0 sent, -1 no camera).
    int ClearCameraStatus(uint32_t mask);
    int SetCameraStatus(uint32_t mask);

    // True and `dest` filled (NUL-terminated) when the value was read; else `dest` untouched.
    bool ReadQuickLaunchPath(char (&dest)[kPathBufferSize]);
    // Stores the text's characters without a NUL (at most 511 are kept).
    void WriteQuickLaunchPath(const char* text);

    // The access an open asks for: `access` plus the 64-bit view for a 32-bit process on
    // 64-bit Windows, where the driver keeps the key.
    uint32_t OpenMask(uint32_t access);

private:
    uint32_t ReadDword(const char* name);
    int SendStatus(uint32_t value, const char* logFormat);

    ISettingsBackend& m_backend;
    ICameraOps& m_camera;
};
