// The one camera the program talks to: the opened device's graph and its two names.
// Portable; the platform's capture system (DirectShow on Windows) builds the graph.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "camera/capture_graph.h"
#include "camera/extension_props.h"

// Closed (no graph, both names empty) or opened by Open (names set, a graph when the platform
// could build one). Thread safe: the snap-button poller sends properties while device discovery
// on the UI thread closes and reopens, so one lock covers opening, closing and every property
// call; no call ever runs on a graph that Close has released.
class CCameraDevice : public ICameraOps {
public:
    explicit CCameraDevice(ICaptureSystem& system);
    // Releases a graph still held. A camera that outlives COM (a global) must be closed before
    // COM is uninitialised: the filter's DLL may be gone by then.
    ~CCameraDevice() override;
    CCameraDevice(const CCameraDevice&) = delete;
    CCameraDevice& operator=(const CCameraDevice&) = delete;

    // Appends every video input device's names to the two index-aligned lists.
    long EnumerateDevices(std::vector<std::string>& displayNames,
                          std::vector<std::string>& friendlyNames);

    // Closes the current device if one is open, remembers both names and builds the graph for
    // `displayName`. The names stay remembered even when the graph cannot be built, until Close.
    long Open(const std::string& displayName, const std::string& friendlyName);

    // Builds the graph holding the named device, replacing (and releasing) any graph held.
    long OpenGraph(const std::string& displayName);

    // Releases the graph and empties both names. Returns 0; closing a closed object is harmless.
    int Close();

    // Copies, since another thread may close the camera at any time.
    std::string FriendlyName() const;
    std::string DisplayName() const;

    // 0 when the call reached the driver's IKRYExtension, -1 without a filter or the interface.
    int GetExtensionProperty(int32_t id, ExtensionBuffer* block) override;
    int SetExtensionProperty(int32_t id, ExtensionBuffer* block) override;
    void SetEffect(int32_t effectId) override;
    // IAMVideoControl::SetMode on the still pin: -1 without a filter or IAMVideoControl, else 0
    // (also when the filter has no still pin).
    int SetVideoControlMode(int32_t mode);
    int TriggerStill() override;
    // Shows the filter's property frame modally. The lock is not held while the frame is up: it
    // pumps messages, and a device change handled meanwhile may close the camera.
    void ShowPropertyPages() override;

private:
    int CloseLocked();

    static constexpr int32_t kVideoControlFlagTrigger = 8;

    ICaptureSystem& m_system;
    mutable std::mutex m_mutex;
    std::unique_ptr<ICaptureGraph> m_pGraph;  // builder, graph and capture filter
    std::string m_strFriendlyName;            // the open marker
    std::string m_strDisplayName;             // the device's identity
};
