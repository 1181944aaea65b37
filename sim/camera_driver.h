// What the simulated camera does with the requests its capture filter receives: answers and
// applies the extension properties and takes still images. Free of COM plumbing; safe to call
// from any thread (the program polls from a thread of its own).
#pragma once

#include <windows.h>

#include <mutex>

#include "camera/extension_props.h"
#include "sim/still_sizes.h"

class SimCameraDriver {
public:
    // PROP_SENSOR_KIND and PROP_SENSOR_PIXELS fill word 0; any other id leaves the block as it
    // was and fails.
    HRESULT GetProperty(LONG id, ExtensionBuffer& block);
    // PROP_STATUS stores word 1 as CameraStatus, PROP_SNAP_POLL reports a pending button press
    // as STATUS_SNAP_BUTTON, PROP_STILL_SIZE selects the row of the next still, PROP_EFFECT is
    // accepted. Ill-formed blocks and other ids fail and change nothing.
    HRESULT SetProperty(LONG id, const ExtensionBuffer& block);
    // Writes a still of the selected size into the still folder, records its path and then
    // sets STATUS_STILL_READY.
    HRESULT TakeStill();

    int StillRow();
    int32_t Effect();

private:
    std::mutex mutex_;
    int stillRow_ = kDefaultStillRow;
    int32_t effect_ = 0;
};
