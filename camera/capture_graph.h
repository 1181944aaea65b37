// The platform's side of an opened camera: a capture graph holding one capture filter.
// Portable interface; DirectShow implements it on Windows, tests with fakes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "camera/extension_props.h"

// Runs the filter's property frame. Made under the camera lock, run outside it: the frame is
// modal and pumps messages, and it holds its own reference to the filter.
class IPropertyPagesJob {
public:
    virtual ~IPropertyPagesJob() = default;
    virtual void Run() = 0;
};

// One opened graph. Destroying it releases the filter, the graph and the builder, in that order.
class ICaptureGraph {
public:
    virtual ~ICaptureGraph() = default;
    // 0 when the filter exposes IKRYExtension and the call reached it, -1 otherwise;
    // kCameraGone when the driver answered that the device is no longer there.
    virtual int GetExtensionProperty(int32_t id, ExtensionBuffer* block) = 0;
    virtual int SetExtensionProperty(int32_t id, ExtensionBuffer* block) = 0;
    // IAMVideoControl::SetMode on the still pin; -1 without IAMVideoControl, kCameraGone as
    // above, 0 otherwise.
    virtual int SetVideoControlMode(int32_t mode) = 0;
    // Null when the filter has no property pages.
    virtual std::unique_ptr<IPropertyPagesJob> PreparePropertyPages() = 0;
};

// Makes graphs and lists devices.
class ICaptureSystem {
public:
    virtual ~ICaptureSystem() = default;
    // Appends every video input device's display and friendly name; the two lists stay
    // index-aligned (a device whose names cannot both be read is left out of both).
    virtual long EnumerateDevices(std::vector<std::string>& displayNames,
                                  std::vector<std::string>& friendlyNames) = 0;
    // Builds the graph for the device with this exact display name. `graph` receives whatever
    // was built, even when the result is a failure (< 0), so that Close releases it.
    virtual long OpenGraph(const std::string& displayName,
                           std::unique_ptr<ICaptureGraph>& graph) = 0;
};
