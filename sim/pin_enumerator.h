// IEnumPins over a fixed list of pins. Holding the pins keeps their filter alive.
#pragma once

#include <windows.h>
#include <dshow.h>
#include <wrl/client.h>

#include <vector>

#include "sim/com_object.h"

class PinEnumerator final : public ComObject<IEnumPins> {
public:
    using PinList = std::vector<Microsoft::WRL::ComPtr<IPin>>;

    static HRESULT Create(PinList pins, size_t position, IEnumPins** enumerator);

    STDMETHODIMP Next(ULONG count, IPin** pins, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumPins** enumerator) override;

private:
    PinEnumerator(PinList pins, size_t position) : pins_(std::move(pins)), position_(position) {}
    ~PinEnumerator() override = default;

    const PinList pins_;
    size_t position_;
};
