#include "sim/output_pin.h"

#include <cwchar>

#include "sim/media_type_enumerator.h"

OutputPin::OutputPin(IBaseFilter& filter, const wchar_t* name, const GUID& category)
    : filter_(filter), name_(name), category_(category) {}

STDMETHODIMP_(ULONG) OutputPin::AddRef() {
    return filter_.AddRef();
}
STDMETHODIMP_(ULONG) OutputPin::Release() {
    return filter_.Release();
}

STDMETHODIMP OutputPin::Connect(IPin*, const AM_MEDIA_TYPE*) {
    return VFW_E_NO_ACCEPTABLE_TYPES;
}

STDMETHODIMP OutputPin::ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) {
    return E_UNEXPECTED;  // an output pin does not receive connections
}

STDMETHODIMP OutputPin::Disconnect() {
    return S_FALSE;
}

STDMETHODIMP OutputPin::ConnectedTo(IPin** pin) {
    if (pin == nullptr) {
        return E_POINTER;
    }
    *pin = nullptr;
    return VFW_E_NOT_CONNECTED;
}

STDMETHODIMP OutputPin::ConnectionMediaType(AM_MEDIA_TYPE* mediaType) {
    if (mediaType == nullptr) {
        return E_POINTER;
    }
    ZeroMemory(mediaType, sizeof(*mediaType));
    return VFW_E_NOT_CONNECTED;
}

STDMETHODIMP OutputPin::QueryPinInfo(PIN_INFO* info) {
    if (info == nullptr) {
        return E_POINTER;
    }
    info->pFilter = &filter_;
    filter_.AddRef();
    info->dir = PINDIR_OUTPUT;
    wcsncpy(info->achName, name_.c_str(), MAX_PIN_NAME - 1);
    info->achName[MAX_PIN_NAME - 1] = L'\0';
    return S_OK;
}

STDMETHODIMP OutputPin::QueryDirection(PIN_DIRECTION* direction) {
    if (direction == nullptr) {
        return E_POINTER;
    }
    *direction = PINDIR_OUTPUT;
    return S_OK;
}

STDMETHODIMP OutputPin::QueryId(LPWSTR* id) {
    if (id == nullptr) {
        return E_POINTER;
    }
    const size_t bytes = (name_.size() + 1) * sizeof(wchar_t);
    *id = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (*id == nullptr) {
        return E_OUTOFMEMORY;
    }
    CopyMemory(*id, name_.c_str(), bytes);
    return S_OK;
}

STDMETHODIMP OutputPin::QueryAccept(const AM_MEDIA_TYPE*) {
    return S_FALSE;
}

STDMETHODIMP OutputPin::EnumMediaTypes(IEnumMediaTypes** enumerator) {
    return EmptyMediaTypeEnumerator::Create(enumerator);
}

STDMETHODIMP OutputPin::QueryInternalConnections(IPin**, ULONG*) {
    return E_NOTIMPL;
}

STDMETHODIMP OutputPin::EndOfStream() {
    return E_UNEXPECTED;
}
STDMETHODIMP OutputPin::BeginFlush() {
    return E_UNEXPECTED;
}
STDMETHODIMP OutputPin::EndFlush() {
    return E_UNEXPECTED;
}
STDMETHODIMP OutputPin::NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) {
    return S_OK;
}

STDMETHODIMP OutputPin::Set(REFGUID propertySet, DWORD, void*, DWORD, void*, DWORD) {
    return IsEqualGUID(propertySet, AMPROPSETID_Pin) ? E_PROP_ID_UNSUPPORTED
                                                     : E_PROP_SET_UNSUPPORTED;
}

STDMETHODIMP OutputPin::Get(REFGUID propertySet, DWORD id, void*, DWORD, void* data, DWORD dataSize,
                            DWORD* returned) {
    if (!IsEqualGUID(propertySet, AMPROPSETID_Pin)) {
        return E_PROP_SET_UNSUPPORTED;
    }
    if (id != AMPROPERTY_PIN_CATEGORY) {
        return E_PROP_ID_UNSUPPORTED;
    }
    if (data == nullptr && returned == nullptr) {
        return E_POINTER;
    }
    if (returned != nullptr) {
        *returned = sizeof(GUID);
    }
    if (data == nullptr) {
        return S_OK;  // the caller only asked for the size
    }
    if (dataSize < sizeof(GUID)) {
        return E_UNEXPECTED;
    }
    *static_cast<GUID*>(data) = category_;
    return S_OK;
}

STDMETHODIMP OutputPin::QuerySupported(REFGUID propertySet, DWORD id, DWORD* support) {
    if (!IsEqualGUID(propertySet, AMPROPSETID_Pin)) {
        return E_PROP_SET_UNSUPPORTED;
    }
    if (id != AMPROPERTY_PIN_CATEGORY) {
        return E_PROP_ID_UNSUPPORTED;
    }
    if (support != nullptr) {
        *support = KSPROPERTY_SUPPORT_GET;
    }
    return S_OK;
}
