#include "camera/directshow_graph_win32.h"

#include <olectl.h>

#include "camera/directshow_devices_win32.h"
#include "camera/kry_extension_win32.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr wchar_t kCaptureFilterName[] = L"Webcam Video Capture";

// The filter's own property frame. Keeps its own reference to the filter, so the camera may be
// closed while the modal frame is up.
class PropertyPagesJob : public IPropertyPagesJob {
public:
    PropertyPagesJob(ComPtr<IBaseFilter> filter, const CAUUID& pages)
        : m_filter(std::move(filter)), m_pages(pages) {}
    ~PropertyPagesJob() override { CoTaskMemFree(m_pages.pElems); }
    PropertyPagesJob(const PropertyPagesJob&) = delete;
    PropertyPagesJob& operator=(const PropertyPagesJob&) = delete;

    void Run() override {
        IUnknown* object = m_filter.Get();
        OleCreatePropertyFrame(nullptr, 30, 30, nullptr, 1, &object, m_pages.cElems, m_pages.pElems,
                               0, 0, nullptr);
    }

private:
    ComPtr<IBaseFilter> m_filter;
    CAUUID m_pages;
};

// The driver's own failures are not the call's, except that its device has gone.
int CallResult(HRESULT hr) {
    return IsDeviceGoneResult(hr) ? kCameraGone : 0;
}

template <typename Interface>
ComPtr<Interface> Query(IUnknown* object, REFIID iid) {
    ComPtr<Interface> result;
    object->QueryInterface(iid, reinterpret_cast<void**>(result.GetAddressOf()));
    return result;
}

}  // namespace

DirectShowCaptureGraph::~DirectShowCaptureGraph() {
    m_pCapture.Reset();
    m_pGraph.Reset();
    m_pBuilder.Reset();
}

HRESULT DirectShowCaptureGraph::Open(const std::string& displayName) {
    HRESULT hr =
        CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                         reinterpret_cast<void**>(m_pGraph.GetAddressOf()));
    if (FAILED(hr)) {
        return hr;
    }
    FindCaptureFilter(m_pCapture, displayName);
    if (!m_pCapture) {
        return E_POINTER;  // the device went away: what AddFilter says of a null filter
    }
    hr = m_pGraph->AddFilter(m_pCapture.Get(), kCaptureFilterName);
    return FAILED(hr) ? hr : S_OK;
}

ICaptureGraphBuilder2* DirectShowCaptureGraph::Builder() {
    if (!m_pBuilder && m_pGraph) {
        ComPtr<ICaptureGraphBuilder2> builder;
        if (SUCCEEDED(CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_ICaptureGraphBuilder2,
                                       reinterpret_cast<void**>(builder.GetAddressOf()))) &&
            SUCCEEDED(builder->SetFiltergraph(m_pGraph.Get()))) {
            m_pBuilder = std::move(builder);
        }
    }
    return m_pBuilder.Get();
}

Microsoft::WRL::ComPtr<IKRYExtension> DirectShowCaptureGraph::Extension() const {
    return m_pCapture ? Query<IKRYExtension>(m_pCapture.Get(), IID_IKRYExtension) : nullptr;
}

int DirectShowCaptureGraph::GetExtensionProperty(int32_t id, ExtensionBuffer* block) {
    const ComPtr<IKRYExtension> extension = Extension();
    if (!extension) {
        return -1;
    }
    return CallResult(extension->GetProperty(id, block, kExtensionBlockLength));
}

int DirectShowCaptureGraph::SetExtensionProperty(int32_t id, ExtensionBuffer* block) {
    const ComPtr<IKRYExtension> extension = Extension();
    if (!extension) {
        return -1;
    }
    return CallResult(extension->SetProperty(id, block, kExtensionBlockLength));
}

int DirectShowCaptureGraph::SetVideoControlMode(int32_t mode) {
    if (!m_pCapture) {
        return -1;
    }
    ComPtr<IAMVideoControl> control;
    const HRESULT hr = m_pCapture->QueryInterface(IID_IAMVideoControl,
                                                  reinterpret_cast<void**>(control.GetAddressOf()));
    if (FAILED(hr) || !control) {
        return -1;
    }
    ComPtr<IPin> stillPin;
    ICaptureGraphBuilder2* builder = Builder();
    if (builder != nullptr &&
        SUCCEEDED(builder->FindPin(m_pCapture.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_STILL, nullptr,
                                   FALSE, 0, stillPin.GetAddressOf())) &&
        stillPin) {
        return CallResult(control->SetMode(stillPin.Get(), mode));
    }
    return 0;  // also without a still pin: the caller is not told
}

std::unique_ptr<IPropertyPagesJob> DirectShowCaptureGraph::PreparePropertyPages() {
    if (!m_pCapture) {
        return nullptr;
    }
    ComPtr<ISpecifyPropertyPages> specify;
    if (m_pCapture->QueryInterface(IID_ISpecifyPropertyPages,
                                   reinterpret_cast<void**>(specify.GetAddressOf())) != S_OK ||
        !specify) {
        return nullptr;
    }
    CAUUID pages{0, nullptr};
    if (specify->GetPages(&pages) != S_OK) {
        CoTaskMemFree(pages.pElems);
        return nullptr;
    }
    return std::make_unique<PropertyPagesJob>(m_pCapture, pages);
}
