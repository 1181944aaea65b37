#include "sim/media_type_enumerator.h"

#include <new>

HRESULT EmptyMediaTypeEnumerator::Create(IEnumMediaTypes** enumerator) {
    if (enumerator == nullptr) {
        return E_POINTER;
    }
    *enumerator = new (std::nothrow) EmptyMediaTypeEnumerator();
    return *enumerator != nullptr ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP EmptyMediaTypeEnumerator::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IEnumMediaTypes)) {
        *object = static_cast<IEnumMediaTypes*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) EmptyMediaTypeEnumerator::AddRef() {
    return InterlockedIncrement(&refs_);
}

STDMETHODIMP_(ULONG) EmptyMediaTypeEnumerator::Release() {
    const LONG refs = InterlockedDecrement(&refs_);
    if (refs == 0) {
        delete this;
    }
    return refs;
}

STDMETHODIMP EmptyMediaTypeEnumerator::Next(ULONG count, AM_MEDIA_TYPE** mediaTypes,
                                            ULONG* fetched) {
    if (mediaTypes == nullptr || (count > 1 && fetched == nullptr)) {
        return E_POINTER;
    }
    if (fetched != nullptr) {
        *fetched = 0;
    }
    return count == 0 ? S_OK : S_FALSE;
}

STDMETHODIMP EmptyMediaTypeEnumerator::Skip(ULONG count) {
    return count == 0 ? S_OK : S_FALSE;
}

STDMETHODIMP EmptyMediaTypeEnumerator::Reset() {
    return S_OK;
}

STDMETHODIMP EmptyMediaTypeEnumerator::Clone(IEnumMediaTypes** enumerator) {
    return Create(enumerator);
}
