#include "camera/camera_device.h"

#include <utility>

CCameraDevice::CCameraDevice(ICaptureSystem& system) : m_system(system) {}

CCameraDevice::~CCameraDevice() {
    CloseLocked();
}

long CCameraDevice::EnumerateDevices(std::vector<std::string>& displayNames,
                                     std::vector<std::string>& friendlyNames) {
    return m_system.EnumerateDevices(displayNames, friendlyNames);
}

long CCameraDevice::Open(const std::string& displayName, const std::string& friendlyName) {
    std::lock_guard lock(m_mutex);
    if (!m_strFriendlyName.empty()) {
        CloseLocked();
    }
    m_strFriendlyName = friendlyName;
    m_strDisplayName = displayName;
    std::unique_ptr<ICaptureGraph> graph;
    const long hr = m_system.OpenGraph(displayName, graph);
    m_pGraph = std::move(graph);
    return hr;
}

long CCameraDevice::OpenGraph(const std::string& displayName) {
    std::unique_ptr<ICaptureGraph> graph;
    const long hr = m_system.OpenGraph(displayName, graph);
    std::unique_ptr<ICaptureGraph> previous;
    {
        std::lock_guard lock(m_mutex);
        previous = std::exchange(m_pGraph, std::move(graph));
    }
    return hr;  // `previous` is released here, outside the lock; no one else can reach it
}

int CCameraDevice::Close() {
    std::lock_guard lock(m_mutex);
    return CloseLocked();
}

int CCameraDevice::CloseLocked() {
    m_pGraph.reset();  // filter, graph, builder
    m_strFriendlyName.clear();
    m_strDisplayName.clear();
    return 0;
}

std::string CCameraDevice::FriendlyName() const {
    std::lock_guard lock(m_mutex);
    return m_strFriendlyName;
}

std::string CCameraDevice::DisplayName() const {
    std::lock_guard lock(m_mutex);
    return m_strDisplayName;
}

int CCameraDevice::GetExtensionProperty(int32_t id, ExtensionBuffer* block) {
    std::lock_guard lock(m_mutex);
    return m_pGraph ? m_pGraph->GetExtensionProperty(id, block) : -1;
}

int CCameraDevice::SetExtensionProperty(int32_t id, ExtensionBuffer* block) {
    std::lock_guard lock(m_mutex);
    return m_pGraph ? m_pGraph->SetExtensionProperty(id, block) : -1;
}

void CCameraDevice::SetEffect(int32_t effectId) {
    ExtensionBuffer block{{effectId, 0, 0, 0}};
    SetExtensionProperty(PROP_EFFECT, &block);
}

int CCameraDevice::SetVideoControlMode(int32_t mode) {
    std::lock_guard lock(m_mutex);
    return m_pGraph ? m_pGraph->SetVideoControlMode(mode) : -1;
}

int CCameraDevice::TriggerStill() {
    return SetVideoControlMode(kVideoControlFlagTrigger);
}

void CCameraDevice::ShowPropertyPages() {
    std::unique_ptr<IPropertyPagesJob> job;
    {
        std::lock_guard lock(m_mutex);
        if (m_pGraph) {
            job = m_pGraph->PreparePropertyPages();
        }
    }
    if (job) {
        job->Run();
    }
}
