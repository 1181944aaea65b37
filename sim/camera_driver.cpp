#include "sim/camera_driver.h"

#include <cwchar>
#include <string>

#include "settings/camera_status.h"
#include "sim/bmp_writer.h"
#include "sim/camera_status_register.h"
#include "sim/directory.h"
#include "sim/sim_settings.h"

namespace {

const HRESULT kUnsupportedProperty = HRESULT_FROM_WIN32(ERROR_NOT_FOUND);

HRESULT FromWin32(LONG error) {
    return error == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(static_cast<DWORD>(error));
}

// "still-0001.bmp", "still-0002.bmp", ...: the first name not yet taken in `folder`.
std::wstring NextStillPath(const std::wstring& folder) {
    for (unsigned number = 1;; ++number) {
        wchar_t name[32];
        swprintf(name, sizeof(name) / sizeof(name[0]), L"\\still-%04u.bmp", number);
        std::wstring path = folder + name;
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
            return path;
        }
    }
}

}  // namespace

HRESULT SimCameraDriver::GetProperty(LONG id, ExtensionBuffer& block) {
    switch (id) {
        case PROP_SENSOR_KIND:
            block.words[0] = static_cast<int32_t>(SimSettings::SensorKind());
            return S_OK;
        case PROP_SENSOR_PIXELS:
            block.words[0] = static_cast<int32_t>(SimSettings::SensorPixels());
            return S_OK;
        default:
            return kUnsupportedProperty;
    }
}

HRESULT SimCameraDriver::SetProperty(LONG id, const ExtensionBuffer& block) {
    switch (id) {
        case PROP_STATUS:
            if (block.words[0] != kStatusWord) {
                return E_INVALIDARG;
            }
            return FromWin32(CameraStatusRegister::Write(static_cast<DWORD>(block.words[1])));
        case PROP_SNAP_POLL:
            if (block.words[0] != kSnapPollWord) {
                return E_INVALIDARG;
            }
            if (SimSettings::TakeButtonPress()) {
                return FromWin32(CameraStatusRegister::SetBits(STATUS_SNAP_BUTTON));
            }
            return S_OK;
        case PROP_STILL_SIZE: {
            if (!StillSizeOfRow(block.words[0])) {
                return E_INVALIDARG;
            }
            const std::lock_guard lock(mutex_);
            stillRow_ = block.words[0];
            return S_OK;
        }
        case PROP_EFFECT: {
            const std::lock_guard lock(mutex_);
            effect_ = block.words[0];
            return S_OK;
        }
        default:
            return kUnsupportedProperty;
    }
}

HRESULT SimCameraDriver::TakeStill() {
    const std::lock_guard lock(mutex_);
    const StillSize size = *StillSizeOfRow(stillRow_);
    const std::wstring folder = SimSettings::StillFolder();
    if (!CreateDirectoryTree(folder)) {
        return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
    }
    const std::wstring path = NextStillPath(folder);
    if (!BmpWriter::Write(path, size.width, size.height)) {
        return E_FAIL;
    }
    SimSettings::SetLastStillPath(path);
    // The image is complete on disk before the program can see that it is ready.
    return FromWin32(CameraStatusRegister::SetBits(STATUS_STILL_READY));
}

int SimCameraDriver::StillRow() {
    const std::lock_guard lock(mutex_);
    return stillRow_;
}

int32_t SimCameraDriver::Effect() {
    const std::lock_guard lock(mutex_);
    return effect_;
}
