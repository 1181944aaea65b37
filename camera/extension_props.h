// The driver's private property block and property numbers. Portable: no Windows headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

// The driver sees 16 bytes (kExtensionBlockLength): four little-endian signed 32-bit words.
// Word 0 carries every property's value; word 1 is used by PROP_STATUS only. Callers hold the
// block in 17 words, so a driver that writes past the block lands in `spare`, not in the
// caller's stack frame. A driver must read and write only the first four words.
struct ExtensionBuffer {
    int32_t words[4] = {};
    int32_t spare[13] = {};
};
static_assert(sizeof(ExtensionBuffer) == 17 * sizeof(int32_t), "callers hold 17 words");
static_assert(offsetof(ExtensionBuffer, spare) == 16, "the driver's block is the first 16 bytes");

constexpr int32_t PROP_SENSOR_KIND = 1;    // get: word 0 = sensor kind
constexpr int32_t PROP_SENSOR_PIXELS = 2;  // get: word 0 = pixel count
constexpr int32_t PROP_EFFECT = 3;         // set: word 0 = effect id
constexpr int32_t PROP_STILL_SIZE = 12;    // set: word 0 = ResolutionTable row
constexpr int32_t PROP_SNAP_POLL = 14;     // set: word 0 = 4
constexpr int32_t PROP_STATUS = 18;        // set: word 0 = 5, word 1 = new CameraStatus

constexpr int32_t kSnapPollWord = 4;
constexpr int32_t kStatusWord = 5;
constexpr uint32_t kExtensionBlockLength = 16;

// Another call to the driver hangs: this one was not made.
constexpr int kCameraBusy = -2;
// The call reached a filter whose device is no longer there (re-enumerated after a resume,
// reset by its hub): the camera must be closed and opened again.
constexpr int kCameraGone = -3;

// Whether a driver's result says its device has gone away under the open filter: the HRESULT
// of ERROR_DEVICE_NOT_CONNECTED, ERROR_DEVICE_REMOVED, ERROR_NO_SUCH_DEVICE, ERROR_GEN_FAILURE,
// ERROR_INVALID_HANDLE or ERROR_FILE_NOT_FOUND. Every other failure is the driver's own answer.
bool IsDeviceGoneResult(int32_t hr);

// The PROP_STATUS block that makes `status` the driver's CameraStatus.
ExtensionBuffer StatusBlock(uint32_t status);

// What the rest of the program may ask of the open camera. Results follow the driver
// wrappers: 0 = the call reached the driver, -1 = no capture filter or no such interface,
// kCameraBusy = not made, kCameraGone = the device has gone from under the filter.
class ICameraOps {
public:
    virtual ~ICameraOps() = default;
    virtual int GetExtensionProperty(int32_t id, ExtensionBuffer* block) = 0;
    virtual int SetExtensionProperty(int32_t id, ExtensionBuffer* block) = 0;
    virtual void SetEffect(int32_t effectId) = 0;
    virtual int TriggerStill() = 0;
    virtual void ShowPropertyPages() = 0;
    // Sends PROP_STATUS with the word `compose` answers, asked for just before the request. An
    // implementation that serialises driver calls runs both as one call, so no other request
    // (a poll, which lets the driver record a press) falls between the read and the write.
    // `compose` must not call the camera.
    virtual int UpdateStatus(const std::function<uint32_t()>& compose) {
        ExtensionBuffer block = StatusBlock(compose());
        return SetExtensionProperty(PROP_STATUS, &block);
    }
    // A call since the camera was opened answered kCameraGone: it must be opened again.
    [[nodiscard]] virtual bool IsGone() const { return false; }
};
