#include "camera/directshow_system_win32.h"

#include "camera/directshow_devices_win32.h"
#include "camera/directshow_graph_win32.h"

long DirectShowCaptureSystem::EnumerateDevices(std::vector<std::string>& displayNames,
                                               std::vector<std::string>& friendlyNames) {
    return EnumerateVideoInputDevices(displayNames, friendlyNames);
}

long DirectShowCaptureSystem::OpenGraph(const std::string& displayName,
                                        std::unique_ptr<ICaptureGraph>& graph) {
    auto opened = std::make_unique<DirectShowCaptureGraph>();
    const HRESULT hr = opened->Open(displayName);
    graph = std::move(opened);  // kept on failure too, until the camera is closed
    return hr;
}

ICaptureSystem& GetDirectShowCaptureSystem() {
    static DirectShowCaptureSystem system;
    return system;
}
