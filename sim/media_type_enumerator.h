// IEnumMediaTypes over no media types: the simulated pins stream nothing.
#pragma once

#include <windows.h>
#include <dshow.h>

#include "sim/com_object.h"

class EmptyMediaTypeEnumerator final : public ComObject<IEnumMediaTypes> {
public:
    static HRESULT Create(IEnumMediaTypes** enumerator);

    STDMETHODIMP Next(ULONG count, AM_MEDIA_TYPE** mediaTypes, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumMediaTypes** enumerator) override;

private:
    EmptyMediaTypeEnumerator() = default;
    ~EmptyMediaTypeEnumerator() override = default;
};
