// The driver's private property block and property numbers. Portable: no Windows headers.
#pragma once

#include <cstdint>

// 16 bytes on the wire: four little-endian signed 32-bit words. Word 0 carries every
// property's value; word 1 is used by PROP_STATUS only.
struct ExtensionBuffer {
    int32_t words[4];
};
static_assert(sizeof(ExtensionBuffer) == 16, "the driver expects a 16-byte block");

constexpr int32_t PROP_SENSOR_KIND = 1;    // get: word 0 = sensor kind
constexpr int32_t PROP_SENSOR_PIXELS = 2;  // get: word 0 = pixel count
constexpr int32_t PROP_EFFECT = 3;         // set: word 0 = effect id
constexpr int32_t PROP_STILL_SIZE = 12;    // set: word 0 = ResolutionTable row
constexpr int32_t PROP_SNAP_POLL = 14;     // set: word 0 = 4
constexpr int32_t PROP_STATUS = 18;        // set: word 0 = 5, word 1 = new CameraStatus

constexpr int32_t kSnapPollWord = 4;
constexpr int32_t kStatusWord = 5;
constexpr uint32_t kExtensionBlockLength = 16;

// What the rest of the program may ask of the open camera. Results follow the driver
// wrappers: 0 = the call reached the driver, -1 = no capture filter or no such interface.
class ICameraOps {
public:
    virtual ~ICameraOps() = default;
    virtual int GetExtensionProperty(int32_t id, ExtensionBuffer* block) = 0;
    virtual int SetExtensionProperty(int32_t id, ExtensionBuffer* block) = 0;
    virtual void SetEffect(int32_t effectId) = 0;
    virtual int TriggerStill() = 0;
    virtual void ShowPropertyPages() = 0;
};
