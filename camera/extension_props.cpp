#include "camera/extension_props.h"

namespace {
// HRESULT_FROM_WIN32 of the Win32 errors a driver gives for a device that is not there.
constexpr uint32_t kWin32Facility = 0x80070000u;
constexpr uint32_t kGoneErrors[] = {
    1167,  // ERROR_DEVICE_NOT_CONNECTED
    1617,  // ERROR_DEVICE_REMOVED
    433,   // ERROR_NO_SUCH_DEVICE
    31,    // ERROR_GEN_FAILURE
    6,     // ERROR_INVALID_HANDLE
    2,     // ERROR_FILE_NOT_FOUND
};
}  // namespace

bool IsDeviceGoneResult(int32_t hr) {
    const auto code = static_cast<uint32_t>(hr);
    for (const uint32_t error : kGoneErrors) {
        if (code == (kWin32Facility | error)) {
            return true;
        }
    }
    return false;
}

ExtensionBuffer StatusBlock(uint32_t status) {
    ExtensionBuffer block{};
    block.words[0] = kStatusWord;
    block.words[1] = static_cast<int32_t>(status);
    return block;
}
