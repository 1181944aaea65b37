// IEnumMediaTypes over no media types: the simulated pins stream nothing.
#pragma once

#include <windows.h>
#include <dshow.h>

#include "sim/com_module.h"

class EmptyMediaTypeEnumerator final : public IEnumMediaTypes {
public:
    static HRESULT Create(IEnumMediaTypes** enumerator);

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP Next(ULONG count, AM_MEDIA_TYPE** mediaTypes, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumMediaTypes** enumerator) override;

private:
    EmptyMediaTypeEnumerator() = default;
    ~EmptyMediaTypeEnumerator() = default;

    ModuleLock moduleLock_;
    LONG refs_ = 1;
};
