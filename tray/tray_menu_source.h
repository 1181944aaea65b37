// What the tray menu asks of the controller when it is built: the plug state and the camera,
// for the effect-support and still-size rules. Portable: no Windows headers.
#pragma once

#include "camera/capabilities.h"
#include "camera/extension_props.h"

class ITrayMenuSource {
public:
    virtual ~ITrayMenuSource() = default;
    virtual bool IsPlugIn() = 0;
    // The controller's record of the sensor, which the capability rules update.
    virtual CameraCapabilities& Capabilities() = 0;
    virtual ICameraOps& Camera() = 0;
};
