#include "camera/camera_device.h"

#include <utility>

#include "diag/debug_log.h"

bool CCameraDevice::PatientLock::TryLockFor(std::chrono::milliseconds patience) {
    std::unique_lock lock(m_mutex);
    if (!m_released.wait_for(lock, patience, [this] { return !m_held; })) {
        return false;
    }
    m_held = true;
    return true;
}

void CCameraDevice::PatientLock::Unlock() {
    {
        std::lock_guard lock(m_mutex);
        m_held = false;
    }
    m_released.notify_one();
}

CCameraDevice::CallLock::CallLock(CCameraDevice& device)
    : m_device(device), m_owns(device.m_callLock.TryLockFor(device.m_patience)) {
    if (m_owns) {
        m_device.ApplyPendingClose();
    } else {
        DebugLog(kLogEvent, "Camera busy");
    }
}

CCameraDevice::CallLock::~CallLock() {
    if (m_owns) {
        m_device.ApplyPendingClose();
        m_device.m_callLock.Unlock();
    }
}

CCameraDevice::CCameraDevice(ICaptureSystem& system, std::chrono::milliseconds patience)
    : m_system(system), m_patience(patience) {}

CCameraDevice::~CCameraDevice() {
    m_pGraph.reset();
}

long CCameraDevice::EnumerateDevices(std::vector<std::string>& displayNames,
                                     std::vector<std::string>& friendlyNames) {
    return m_system.EnumerateDevices(displayNames, friendlyNames);
}

long CCameraDevice::Open(const std::string& displayName, const std::string& friendlyName) {
    const CallLock lock(*this);
    if (!lock) {
        return kCameraBusy;
    }
    ForgetNames();
    m_pGraph.reset();
    std::unique_ptr<ICaptureGraph> graph;
    const long hr = m_system.OpenGraph(displayName, graph);
    m_pGraph = std::move(graph);
    m_gone = false;
    const std::optional<Sensor> sensor = ReadSensor();
    std::lock_guard info(m_infoMutex);
    m_strFriendlyName = friendlyName;
    m_strDisplayName = displayName;
    m_sensor = sensor;
    return hr;
}

std::optional<CCameraDevice::Sensor> CCameraDevice::ReadSensor() {
    if (!m_pGraph) {
        return std::nullopt;
    }
    ExtensionBuffer kind{};
    ExtensionBuffer pixels{};
    if (Track(m_pGraph->GetExtensionProperty(PROP_SENSOR_KIND, &kind)) != 0 ||
        Track(m_pGraph->GetExtensionProperty(PROP_SENSOR_PIXELS, &pixels)) != 0) {
        return std::nullopt;
    }
    return Sensor{kind.words[0], pixels.words[0]};
}

long CCameraDevice::OpenGraph(const std::string& displayName) {
    std::unique_ptr<ICaptureGraph> graph;
    const long hr = m_system.OpenGraph(displayName, graph);
    std::unique_ptr<ICaptureGraph> previous;
    {
        const CallLock lock(*this);
        if (!lock) {
            return kCameraBusy;  // `graph` is released here, unused
        }
        previous = std::exchange(m_pGraph, std::move(graph));
        m_gone = false;
    }
    return hr;  // `previous` is released here, outside the lock; no one else can reach it
}

int CCameraDevice::Close() {
    ForgetNames();
    m_closePending = true;
    // Whoever holds the lock now releases the graph when its call returns; a free lock is
    // taken here at once. Either way the close is applied exactly once.
    if (m_callLock.TryLockFor(m_patience)) {
        ApplyPendingClose();
        m_callLock.Unlock();
    }
    return 0;
}

void CCameraDevice::ApplyPendingClose() {
    if (m_closePending.exchange(false)) {
        m_pGraph.reset();  // filter, graph, builder
        m_gone = false;
    }
}

int CCameraDevice::Track(int result) {
    if (result == kCameraGone) {
        if (!m_gone.exchange(true)) {
            DebugLog(kLogEvent, "Camera gone");
        }
    }
    return result;
}

bool CCameraDevice::IsGone() const {
    // A close on its way has already let go of the dead graph.
    return m_gone && !m_closePending;
}

void CCameraDevice::ForgetNames() {
    std::lock_guard info(m_infoMutex);
    m_strFriendlyName.clear();
    m_strDisplayName.clear();
    m_sensor.reset();
}

std::string CCameraDevice::FriendlyName() const {
    std::lock_guard info(m_infoMutex);
    return m_strFriendlyName;
}

std::string CCameraDevice::DisplayName() const {
    std::lock_guard info(m_infoMutex);
    return m_strDisplayName;
}

int CCameraDevice::GetExtensionProperty(int32_t id, ExtensionBuffer* block) {
    if (id == PROP_SENSOR_KIND || id == PROP_SENSOR_PIXELS) {
        std::lock_guard info(m_infoMutex);
        if (m_sensor) {
            block->words[0] = id == PROP_SENSOR_KIND ? m_sensor->kind : m_sensor->pixels;
            return 0;
        }
    }
    const CallLock lock(*this);
    if (!lock) {
        return kCameraBusy;
    }
    return m_pGraph ? Track(m_pGraph->GetExtensionProperty(id, block)) : -1;
}

int CCameraDevice::SetExtensionProperty(int32_t id, ExtensionBuffer* block) {
    const CallLock lock(*this);
    if (!lock) {
        return kCameraBusy;
    }
    return m_pGraph ? Track(m_pGraph->SetExtensionProperty(id, block)) : -1;
}

int CCameraDevice::UpdateStatus(const std::function<uint32_t()>& compose) {
    const CallLock lock(*this);
    if (!lock) {
        return kCameraBusy;
    }
    ExtensionBuffer block = StatusBlock(compose());  // without a graph it is still composed
    return m_pGraph ? Track(m_pGraph->SetExtensionProperty(PROP_STATUS, &block)) : -1;
}

void CCameraDevice::SetEffect(int32_t effectId) {
    ExtensionBuffer block{{effectId, 0, 0, 0}};
    SetExtensionProperty(PROP_EFFECT, &block);
}

int CCameraDevice::SetVideoControlMode(int32_t mode) {
    const CallLock lock(*this);
    if (!lock) {
        return kCameraBusy;
    }
    return m_pGraph ? Track(m_pGraph->SetVideoControlMode(mode)) : -1;
}

int CCameraDevice::TriggerStill() {
    return SetVideoControlMode(kVideoControlFlagTrigger);
}

void CCameraDevice::ShowPropertyPages() {
    std::unique_ptr<IPropertyPagesJob> job;
    {
        const CallLock lock(*this);
        if (lock && m_pGraph) {
            job = m_pGraph->PreparePropertyPages();
        }
    }
    if (job) {
        job->Run();
    }
}
