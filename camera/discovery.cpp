#include "camera/discovery.h"

#include <algorithm>
#include <vector>

#include "diag/debug_log.h"

int OpenCamera(CCameraDevice& camera, const std::string& displayName,
               const std::string& friendlyName) {
    return camera.Open(displayName, friendlyName) == kCameraBusy ? kCameraBusy : 0;
}

DiscoveryResult DiscoverCamera(CCameraDevice& camera, ICaptureSystem& system,
                               std::atomic<uint8_t>& cameraPresent) {
    std::vector<std::string> displayNames;
    std::vector<std::string> friendlyNames;
    system.EnumerateDevices(displayNames, friendlyNames);

    // The same camera is recognised by its exact display name; an unrelated device coming or
    // going leaves it open. A closed camera has no name and must not match a nameless device.
    // A device reset by its hub or re-enumerated during sleep keeps its name, but the filter
    // opened before is dead: such a camera is opened again.
    const std::string current = camera.DisplayName();
    if (!current.empty() && !camera.IsGone()) {
        for (const std::string& name : displayNames) {
            if (name == current) {
                cameraPresent = 1;
                return DiscoveryResult::Held;
            }
        }
    }

    cameraPresent = 0;  // before Close: the poller must stop sending first
    camera.Close();

    const std::size_t count = std::min(displayNames.size(), friendlyNames.size());
    for (std::size_t i = 0; i < count; ++i) {
        if (OpenCamera(camera, displayNames[i], friendlyNames[i]) == kCameraBusy) {
            return DiscoveryResult::NoneWorking;  // a driver call hangs: looked at again later
        }
        ExtensionBuffer block{};
        if (camera.GetExtensionProperty(PROP_SENSOR_PIXELS, &block) == 0) {
            DebugLogText(kLogEvent, friendlyNames[i].c_str());
            cameraPresent = 1;
            return DiscoveryResult::Held;
        }
        camera.Close();
    }
    return count == 0 ? DiscoveryResult::NoneListed : DiscoveryResult::NoneWorking;
}
