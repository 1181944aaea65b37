// The one camera the program talks to: the opened device's graph and its two names.
// Portable; the platform's capture system (DirectShow on Windows) builds the graph.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "camera/capture_graph.h"
#include "camera/extension_props.h"

// Closed (no graph, both names empty) or opened by Open (names set, a graph when the platform
// could build one). Thread safe: the snap-button poller sends properties while device discovery
// on the UI thread closes and reopens, so one lock covers the graph, and no call ever runs on a
// graph that Close has released.
//
// A driver call can hang (a wedged device, a USB reset): nobody waits on the lock for longer
// than `patience`. A call that cannot get it in time is not made and answers kCameraBusy; a
// Close that cannot get it empties the names at once and leaves the graph to whoever holds the
// lock, who releases it as soon as the stuck call returns. The names and the sensor's kind and
// size live outside that lock, so the tip and the menu never wait on the driver.
class CCameraDevice : public ICameraOps {
public:
    static constexpr std::chrono::milliseconds kPatience{200};

    explicit CCameraDevice(ICaptureSystem& system, std::chrono::milliseconds patience = kPatience);
    // Releases a graph still held. A camera that outlives COM (a global) must be closed before
    // COM is uninitialised: the filter's DLL may be gone by then.
    ~CCameraDevice() override;
    CCameraDevice(const CCameraDevice&) = delete;
    CCameraDevice& operator=(const CCameraDevice&) = delete;

    // Appends every video input device's names to the two index-aligned lists.
    long EnumerateDevices(std::vector<std::string>& displayNames,
                          std::vector<std::string>& friendlyNames);

    // Closes the current device if one is open, remembers both names, builds the graph for
    // `displayName` and reads the sensor's kind and size. The names stay remembered even when
    // the graph cannot be built, until Close. kCameraBusy (nothing opened) while a call hangs.
    long Open(const std::string& displayName, const std::string& friendlyName);

    // Builds the graph holding the named device, replacing (and releasing) any graph held.
    long OpenGraph(const std::string& displayName);

    // Empties both names and releases the graph, at once or when a stuck call returns.
    // Returns 0; closing a closed object is harmless.
    int Close();

    // Copies, since another thread may close the camera at any time.
    std::string FriendlyName() const;
    std::string DisplayName() const;

    // 0 when the call reached the driver's IKRYExtension, -1 without a filter or the interface,
    // kCameraBusy while another call hangs. PROP_SENSOR_KIND and PROP_SENSOR_PIXELS are answered
    // from what Open read: a sensor does not change while it is plugged in.
    int GetExtensionProperty(int32_t id, ExtensionBuffer* block) override;
    int SetExtensionProperty(int32_t id, ExtensionBuffer* block) override;
    // Composes the word and sends it under one hold of the lock. Busy: neither composed nor sent.
    int UpdateStatus(const std::function<uint32_t()>& compose) override;
    void SetEffect(int32_t effectId) override;
    // IAMVideoControl::SetMode on the still pin: -1 without a filter or IAMVideoControl, else 0
    // (also when the filter has no still pin).
    int SetVideoControlMode(int32_t mode);
    int TriggerStill() override;
    // A driver call on the graph held now answered kCameraGone. Cleared by Open and Close.
    [[nodiscard]] bool IsGone() const override;
    // Shows the filter's property frame modally. The lock is not held while the frame is up: it
    // pumps messages, and a device change handled meanwhile may close the camera.
    void ShowPropertyPages() override;

private:
    // Holds the call lock for one scope, when it can be had within the patience; applies a
    // Close that could not wait, on taking the lock and on leaving it.
    class CallLock {
    public:
        explicit CallLock(CCameraDevice& device);
        ~CallLock();
        CallLock(const CallLock&) = delete;
        CallLock& operator=(const CallLock&) = delete;
        explicit operator bool() const { return m_owns; }

    private:
        CCameraDevice& m_device;
        bool m_owns;
    };

    // A lock that can be waited for with a deadline. (std::timed_mutex would do, but
    // ThreadSanitizer does not see its timed waits and then reports every unlock.)
    class PatientLock {
    public:
        bool TryLockFor(std::chrono::milliseconds patience);
        void Unlock();

    private:
        std::mutex m_mutex;
        std::condition_variable m_released;
        bool m_held = false;  // guarded by m_mutex
    };

    struct Sensor {
        int32_t kind;
        int32_t pixels;
    };

    void ApplyPendingClose();
    // Notes a gone device; returns `result`. Called with the call lock held.
    int Track(int result);
    void ForgetNames();
    std::optional<Sensor> ReadSensor();

    static constexpr int32_t kVideoControlFlagTrigger = 8;

    ICaptureSystem& m_system;
    const std::chrono::milliseconds m_patience;

    PatientLock m_callLock;                   // held across every driver call
    std::unique_ptr<ICaptureGraph> m_pGraph;  // builder, graph and capture filter
    std::atomic<bool> m_closePending{false};  // a Close is waiting for the lock's holder
    std::atomic<bool> m_gone{false};          // the graph held answered kCameraGone

    mutable std::mutex m_infoMutex;  // never held across a driver call
    std::string m_strFriendlyName;   // the open marker
    std::string m_strDisplayName;    // the device's identity
    std::optional<Sensor> m_sensor;  // read by Open
};
