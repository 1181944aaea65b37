// Device discovery: which video input device is the camera. Runs at start-up and on every
// device-change broadcast, on the UI thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "camera/camera_device.h"

// Closes `camera` if it is open, then opens it on the named device. Returns 0, or kCameraBusy
// when a driver call hangs; whether the device really opened shows only in the extension calls
// that follow.
int OpenCamera(CCameraDevice& camera, const std::string& displayName,
               const std::string& friendlyName);

enum class DiscoveryResult {
    Held,         // a camera is open
    NoneWorking,  // a device with the camera's interface does not answer, or a call hangs
    NoneListed,   // no device that may be the camera: none at all, or only other makers'
};

struct DiscoveryOutcome {
    DiscoveryResult result = DiscoveryResult::NoneListed;
    bool listChanged = false;  // the listed display names differ from the last look's
};

enum class DiscoveryRequest {
    Look,           // the first look, a device change, a look of the back-off
    LookIfChanged,  // a device change while the back-off waits: opens nothing unless the
                    // listed devices changed
    Reopen,         // closes the open camera first, so that it is opened again even though
                    // its device is still listed (its device was reset under it)
};

// The devices of the last look, and those among them that are not the camera: a capture filter
// that opens without the camera's extension interface (the laptop's own webcam, a virtual
// camera) is not opened again until the list of devices changes.
class DeviceListMemory {
public:
    // Notes the listed display names; true when they differ from the last noted, which forgets
    // every device marked as not the camera.
    bool Note(std::vector<std::string> displayNames);
    void MarkNotOurs(const std::string& displayName);
    [[nodiscard]] bool IsNotOurs(const std::string& displayName) const;

private:
    std::vector<std::string> m_listed;  // sorted
    std::vector<std::string> m_notOurs;
    bool m_noted = false;
};

// Keeps the open camera while its display name is still listed and its device has not gone
// from under it; otherwise closes it and opens the first device whose capture filter answers
// the driver's extension interface, logging its friendly name, and passing over the devices
// `memory` knows are not the camera. `cameraPresent` (read by the snap-button poller) is cleared
// before the camera is closed and set to 1 only once the accepted device is open.
DiscoveryOutcome DiscoverCamera(CCameraDevice& camera, ICaptureSystem& system,
                                std::atomic<uint8_t>& cameraPresent, DeviceListMemory& memory,
                                DiscoveryRequest request = DiscoveryRequest::Look);
