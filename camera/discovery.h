// Device discovery: which video input device is the camera. Runs at start-up and on every
// device-change broadcast, on the UI thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "camera/camera_device.h"

// Closes `camera` if it is open, then opens it on the named device. Returns 0, or kCameraBusy
// when a driver call hangs; whether the device really opened shows only in the extension calls
// that follow.
int OpenCamera(CCameraDevice& camera, const std::string& displayName,
               const std::string& friendlyName);

enum class DiscoveryResult {
    Held,         // a camera is open
    NoneWorking,  // devices are listed, but none could be opened (or a driver call hangs)
    NoneListed,   // no video input device at all
};

// Keeps the open camera while its display name is still listed and its device has not gone
// from under it; otherwise closes it and opens the first device whose capture filter answers
// the driver's extension interface, logging its friendly name. `cameraPresent` (read by the
// snap-button poller) is cleared before the camera is closed and set to 1 only once the
// accepted device is open.
DiscoveryResult DiscoverCamera(CCameraDevice& camera, ICaptureSystem& system,
                               std::atomic<uint8_t>& cameraPresent);
