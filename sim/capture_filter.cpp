#include "sim/capture_filter.h"

#include <algorithm>
#include <cwchar>
#include <new>
#include <string>

#include "sim/driver_fault.h"
#include "sim/journal.h"
#include "sim/pin_enumerator.h"
#include "sim/simcam_ids.h"

using Microsoft::WRL::ComPtr;

HRESULT CaptureFilter::CreateCamera(REFIID iid, void** object) {
    return Create(FilterVariant::Camera, iid, object);
}

HRESULT CaptureFilter::CreatePlain(REFIID iid, void** object) {
    return Create(FilterVariant::Plain, iid, object);
}

HRESULT CaptureFilter::Create(FilterVariant variant, REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    auto* filter = new (std::nothrow) CaptureFilter(variant);
    if (filter != nullptr) {
        filter->Record(filter->IsCamera() ? "filter-created" : "plain-created");
    }
    return HandOut(filter, iid, object);
}

CaptureFilter::CaptureFilter(FilterVariant variant)
    : variant_(variant), number_(driver_fault::NumberNewFilter()) {
    pins_[kCapturePin] = std::make_unique<OutputPin>(*this, L"Capture", PIN_CATEGORY_CAPTURE);
    pins_[kStillPin] = std::make_unique<OutputPin>(*this, L"Still", PIN_CATEGORY_STILL);
}

CaptureFilter::~CaptureFilter() {
    Record(IsCamera() ? "filter-released" : "plain-released");
}

void CaptureFilter::Record(const std::string& line) const {
    Journal::Append(line);
}

bool CaptureFilter::IsStillPin(IPin* pin) const {
    return pin != nullptr && pin == static_cast<IPin*>(pins_[kStillPin].get());
}

bool CaptureFilter::IsOwnPin(IPin* pin) const {
    for (const auto& own : pins_) {
        if (pin != nullptr && pin == static_cast<IPin*>(own.get())) {
            return true;
        }
    }
    return false;
}

// IUnknown

void* CaptureFilter::FindInterface(REFIID iid) {
    if (IsEqualIID(iid, IID_IPersist) || IsEqualIID(iid, IID_IMediaFilter)) {
        return static_cast<IBaseFilter*>(this);
    }
    if (!IsCamera() &&
        (IsEqualIID(iid, IID_ISpecifyPropertyPages) || IsEqualIID(iid, IID_IKRYExtension))) {
        return nullptr;
    }
    return ComObject::FindInterface(iid);
}

// IPersist

STDMETHODIMP CaptureFilter::GetClassID(CLSID* clsid) {
    if (clsid == nullptr) {
        return E_POINTER;
    }
    *clsid = IsCamera() ? CLSID_KRYSimCamera : CLSID_KRYSimPlainCamera;
    return S_OK;
}

// IMediaFilter

STDMETHODIMP CaptureFilter::Stop() {
    const std::lock_guard lock(mutex_);
    state_ = State_Stopped;
    return S_OK;
}

STDMETHODIMP CaptureFilter::Pause() {
    const std::lock_guard lock(mutex_);
    state_ = State_Paused;
    return S_OK;
}

STDMETHODIMP CaptureFilter::Run(REFERENCE_TIME) {
    const std::lock_guard lock(mutex_);
    state_ = State_Running;
    return S_OK;
}

STDMETHODIMP CaptureFilter::GetState(DWORD, FILTER_STATE* state) {
    if (state == nullptr) {
        return E_POINTER;
    }
    const std::lock_guard lock(mutex_);
    *state = state_;
    return S_OK;
}

STDMETHODIMP CaptureFilter::SetSyncSource(IReferenceClock* clock) {
    const std::lock_guard lock(mutex_);
    clock_ = clock;
    return S_OK;
}

STDMETHODIMP CaptureFilter::GetSyncSource(IReferenceClock** clock) {
    if (clock == nullptr) {
        return E_POINTER;
    }
    const std::lock_guard lock(mutex_);
    *clock = clock_.Get();
    if (*clock != nullptr) {
        (*clock)->AddRef();
    }
    return S_OK;
}

// IBaseFilter

STDMETHODIMP CaptureFilter::EnumPins(IEnumPins** enumerator) {
    PinEnumerator::PinList pins;
    for (const auto& pin : pins_) {
        pins.emplace_back(static_cast<IPin*>(pin.get()));
    }
    return PinEnumerator::Create(std::move(pins), 0, enumerator);
}

STDMETHODIMP CaptureFilter::FindPin(LPCWSTR id, IPin** pin) {
    if (id == nullptr || pin == nullptr) {
        return E_POINTER;
    }
    for (const auto& own : pins_) {
        if (own->Name() == id) {
            *pin = own.get();
            (*pin)->AddRef();
            return S_OK;
        }
    }
    *pin = nullptr;
    return VFW_E_NOT_FOUND;
}

STDMETHODIMP CaptureFilter::QueryFilterInfo(FILTER_INFO* info) {
    if (info == nullptr) {
        return E_POINTER;
    }
    const std::lock_guard lock(mutex_);
    wcsncpy(info->achName, name_.c_str(), MAX_FILTER_NAME - 1);
    info->achName[MAX_FILTER_NAME - 1] = L'\0';
    info->pGraph = graph_;
    if (graph_ != nullptr) {
        graph_->AddRef();
    }
    return S_OK;
}

STDMETHODIMP CaptureFilter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
    const std::lock_guard lock(mutex_);
    graph_ = graph;
    name_ = name != nullptr ? name : L"";
    return S_OK;
}

STDMETHODIMP CaptureFilter::QueryVendorInfo(LPWSTR*) {
    return E_NOTIMPL;
}

// IAMVideoControl

STDMETHODIMP CaptureFilter::GetCaps(IPin* pin, LONG* flags) {
    if (flags == nullptr) {
        return E_POINTER;
    }
    if (!IsOwnPin(pin)) {
        return E_INVALIDARG;
    }
    *flags = IsStillPin(pin) ? VideoControlFlag_Trigger : 0;
    return S_OK;
}

STDMETHODIMP CaptureFilter::SetMode(IPin* pin, LONG mode) {
    if (!IsStillPin(pin)) {
        return E_INVALIDARG;
    }
    if (const HRESULT fault = driver_fault::Apply(number_); FAILED(fault)) {
        return fault;
    }
    {
        const std::lock_guard lock(mutex_);
        stillMode_ = mode;
    }
    HRESULT hr = S_OK;
    if (IsCamera()) {
        if ((mode & VideoControlFlag_Trigger) != 0) {
            hr = driver_.TakeStill();
        }
        Record("still " + std::to_string(mode));
    }
    return hr;
}

STDMETHODIMP CaptureFilter::GetMode(IPin* pin, LONG* mode) {
    if (mode == nullptr) {
        return E_POINTER;
    }
    if (!IsOwnPin(pin)) {
        return E_INVALIDARG;
    }
    const std::lock_guard lock(mutex_);
    *mode = IsStillPin(pin) ? stillMode_ : 0;
    return S_OK;
}

STDMETHODIMP CaptureFilter::GetCurrentActualFrameRate(IPin*, LONGLONG*) {
    return VFW_E_NOT_CONNECTED;
}

STDMETHODIMP CaptureFilter::GetMaxAvailableFrameRate(IPin*, LONG, SIZE, LONGLONG*) {
    return E_NOTIMPL;
}

STDMETHODIMP CaptureFilter::GetFrameRateList(IPin*, LONG, SIZE, LONG*, LONGLONG**) {
    return E_NOTIMPL;
}

// ISpecifyPropertyPages

STDMETHODIMP CaptureFilter::GetPages(CAUUID* pages) {
    if (pages == nullptr) {
        return E_POINTER;
    }
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
    if (pages->pElems == nullptr) {
        pages->cElems = 0;
        return E_OUTOFMEMORY;
    }
    pages->cElems = 1;
    pages->pElems[0] = CLSID_KRYSimCameraPage;
    Record("pages");
    return S_OK;
}

// IKRYExtension

STDMETHODIMP CaptureFilter::SetProperty(LONG id, ExtensionBuffer* block, LONG length) {
    if (block == nullptr) {
        return E_POINTER;
    }
    if (length < static_cast<LONG>(kExtensionBlockLength)) {
        return E_INVALIDARG;
    }
    // Only the block's 16 bytes are the caller's promise: copy those, no more.
    ExtensionBuffer words{};
    std::copy(block->words, block->words + 4, words.words);
    if (const HRESULT fault = driver_fault::Apply(number_); FAILED(fault)) {
        return fault;
    }
    const HRESULT hr = driver_.SetProperty(id, words);
    Record("set " + std::to_string(id) + " " + std::to_string(words.words[0]) + " " +
           std::to_string(words.words[1]) + " " + std::to_string(words.words[2]) + " " +
           std::to_string(words.words[3]));
    return hr;
}

STDMETHODIMP CaptureFilter::GetProperty(LONG id, ExtensionBuffer* block, LONG length) {
    if (block == nullptr) {
        return E_POINTER;
    }
    if (length < static_cast<LONG>(kExtensionBlockLength)) {
        return E_INVALIDARG;
    }
    if (const HRESULT fault = driver_fault::Apply(number_); FAILED(fault)) {
        return fault;
    }
    const HRESULT hr = driver_.GetProperty(id, *block);
    Record("get " + std::to_string(id));
    return hr;
}
