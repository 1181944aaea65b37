#include "camera/discovery.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "diag/debug_log.h"

int OpenCamera(CCameraDevice& camera, const std::string& displayName,
               const std::string& friendlyName) {
    return camera.Open(displayName, friendlyName) == kCameraBusy ? kCameraBusy : 0;
}

bool DeviceListMemory::Note(std::vector<std::string> displayNames) {
    std::sort(displayNames.begin(), displayNames.end());
    if (m_noted && displayNames == m_listed) {
        return false;
    }
    m_noted = true;
    m_listed = std::move(displayNames);
    m_notOurs.clear();
    return true;
}

void DeviceListMemory::MarkNotOurs(const std::string& displayName) {
    if (!IsNotOurs(displayName)) {
        m_notOurs.push_back(displayName);
    }
}

bool DeviceListMemory::IsNotOurs(const std::string& displayName) const {
    return std::find(m_notOurs.begin(), m_notOurs.end(), displayName) != m_notOurs.end();
}

DiscoveryOutcome DiscoverCamera(CCameraDevice& camera, ICaptureSystem& system,
                                std::atomic<uint8_t>& cameraPresent, DeviceListMemory& memory,
                                DiscoveryRequest request) {
    std::vector<std::string> displayNames;
    std::vector<std::string> friendlyNames;
    system.EnumerateDevices(displayNames, friendlyNames);
    const std::size_t count = std::min(displayNames.size(), friendlyNames.size());
    DiscoveryOutcome outcome;
    std::vector<std::string> listed = displayNames;
    listed.resize(count);
    outcome.listChanged = memory.Note(std::move(listed));
    if (request == DiscoveryRequest::LookIfChanged && !outcome.listChanged) {
        outcome.result =
            cameraPresent.load() == 1 ? DiscoveryResult::Held : DiscoveryResult::NoneWorking;
        return outcome;
    }
    if (request == DiscoveryRequest::Reopen) {
        cameraPresent = 0;  // before Close: the poller must stop sending first
        camera.Close();
    }

    // The same camera is recognised by its exact display name; an unrelated device coming or
    // going leaves it open. A closed camera has no name and must not match a nameless device.
    // A device reset by its hub or re-enumerated during sleep keeps its name, but the filter
    // opened before is dead: such a camera is opened again.
    const std::string current = camera.DisplayName();
    if (!current.empty() && !camera.IsGone()) {
        for (std::size_t i = 0; i < count; ++i) {
            if (displayNames[i] == current) {
                cameraPresent = 1;
                outcome.result = DiscoveryResult::Held;
                return outcome;
            }
        }
    }

    cameraPresent = 0;  // before Close: the poller must stop sending first
    camera.Close();

    outcome.result = DiscoveryResult::NoneListed;
    for (std::size_t i = 0; i < count; ++i) {
        if (memory.IsNotOurs(displayNames[i])) {
            continue;
        }
        const long opened = camera.Open(displayNames[i], friendlyNames[i]);
        if (opened == kCameraBusy) {
            outcome.result = DiscoveryResult::NoneWorking;  // a driver call hangs
            return outcome;
        }
        ExtensionBuffer block{};
        const int answer = camera.GetExtensionProperty(PROP_SENSOR_PIXELS, &block);
        if (answer == 0) {
            DebugLogText(kLogEvent, friendlyNames[i].c_str());
            cameraPresent = 1;
            outcome.result = DiscoveryResult::Held;
            return outcome;
        }
        camera.Close();
        if (answer != -1) {
            outcome.result = DiscoveryResult::NoneWorking;  // the camera's interface, no answer
        } else if (opened >= 0) {
            memory.MarkNotOurs(displayNames[i]);  // a filter without the camera's interface
        }
    }
    return outcome;
}
