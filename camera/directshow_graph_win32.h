// The DirectShow side of an opened camera: a filter graph and the camera's capture filter, which
// is the only filter in the graph, and for stills a capture graph builder to find the still pin.
// Nothing is rendered or run.
#pragma once

#include <windows.h>
#include <dshow.h>
#include <wrl/client.h>

#include <memory>
#include <string>

#include "camera/capture_graph.h"
#include "camera/kry_extension_win32.h"

class DirectShowCaptureGraph : public ICaptureGraph {
public:
    DirectShowCaptureGraph() = default;
    ~DirectShowCaptureGraph() override;
    DirectShowCaptureGraph(const DirectShowCaptureGraph&) = delete;
    DirectShowCaptureGraph& operator=(const DirectShowCaptureGraph&) = delete;

    // Creates the graph, binds the named device and adds its filter. On a failure whatever was
    // made so far stays held until the object is destroyed.
    HRESULT Open(const std::string& displayName);

    int GetExtensionProperty(int32_t id, ExtensionBuffer* block) override;
    int SetExtensionProperty(int32_t id, ExtensionBuffer* block) override;
    int SetVideoControlMode(int32_t mode) override;
    std::unique_ptr<IPropertyPagesJob> PreparePropertyPages() override;

private:
    // The driver's interface on the capture filter, fetched afresh for each call; null without it.
    Microsoft::WRL::ComPtr<IKRYExtension> Extension() const;
    // Made at the first still, not at rest: only the still pin's lookup needs it (and its DLL).
    ICaptureGraphBuilder2* Builder();
    Microsoft::WRL::ComPtr<ICaptureGraphBuilder2> m_pBuilder;
    Microsoft::WRL::ComPtr<IGraphBuilder> m_pGraph;
    Microsoft::WRL::ComPtr<IBaseFilter> m_pCapture;  // null when no device matched
};
