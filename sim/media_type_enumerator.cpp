#include "sim/media_type_enumerator.h"

#include <new>

HRESULT EmptyMediaTypeEnumerator::Create(IEnumMediaTypes** enumerator) {
    if (enumerator == nullptr) {
        return E_POINTER;
    }
    *enumerator = new (std::nothrow) EmptyMediaTypeEnumerator();
    return *enumerator != nullptr ? S_OK : E_OUTOFMEMORY;
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
