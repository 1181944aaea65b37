#include "sim/pin_enumerator.h"

#include <new>

HRESULT PinEnumerator::Create(PinList pins, size_t position, IEnumPins** enumerator) {
    if (enumerator == nullptr) {
        return E_POINTER;
    }
    *enumerator = new (std::nothrow) PinEnumerator(std::move(pins), position);
    return *enumerator != nullptr ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP PinEnumerator::Next(ULONG count, IPin** pins, ULONG* fetched) {
    if (pins == nullptr || (count > 1 && fetched == nullptr)) {
        return E_POINTER;
    }
    ULONG delivered = 0;
    while (delivered < count && position_ < pins_.size()) {
        pins[delivered] = pins_[position_].Get();
        pins[delivered]->AddRef();
        ++delivered;
        ++position_;
    }
    if (fetched != nullptr) {
        *fetched = delivered;
    }
    return delivered == count ? S_OK : S_FALSE;
}

STDMETHODIMP PinEnumerator::Skip(ULONG count) {
    const size_t remaining = pins_.size() - position_;
    if (count > remaining) {
        position_ = pins_.size();
        return S_FALSE;
    }
    position_ += count;
    return S_OK;
}

STDMETHODIMP PinEnumerator::Reset() {
    position_ = 0;
    return S_OK;
}

STDMETHODIMP PinEnumerator::Clone(IEnumPins** enumerator) {
    return Create(pins_, position_, enumerator);
}
