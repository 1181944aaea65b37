#include "camera/directshow_devices_win32.h"

#include <memory>

using Microsoft::WRL::ComPtr;

namespace {

constexpr int kDisplayNameBufferSize = 1024;
constexpr int kFriendlyNameBufferSize = 2048;

struct CoTaskMemDeleter {
    void operator()(void* memory) const { CoTaskMemFree(memory); }
};
using CoTaskMemString = std::unique_ptr<OLECHAR, CoTaskMemDeleter>;

// A VARIANT that is initialised on construction and cleared on every way out.
class ScopedVariant {
public:
    ScopedVariant() { VariantInit(&m_value); }
    ~ScopedVariant() { VariantClear(&m_value); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
    VARIANT* get() { return &m_value; }

private:
    VARIANT m_value;
};

// A name that does not fit the buffer fails instead of leaving it unterminated.
bool ToAnsi(const wchar_t* wide, char* buffer, int size, const char* defaultChar) {
    return WideCharToMultiByte(CP_ACP, 0, wide, -1, buffer, size, defaultChar, nullptr) > 0;
}

bool ReadDisplayName(IMoniker* moniker, std::string& name) {
    LPOLESTR raw = nullptr;
    const HRESULT hr = moniker->GetDisplayName(nullptr, nullptr, &raw);
    const CoTaskMemString wide(raw);  // freed whatever the result
    if (FAILED(hr) || !wide) {
        return false;
    }
    char buffer[kDisplayNameBufferSize] = {};
    if (!ToAnsi(wide.get(), buffer, sizeof buffer, "")) {
        return false;
    }
    name = buffer;
    return true;
}

bool ReadFriendlyName(IMoniker* moniker, std::string& name) {
    ComPtr<IPropertyBag> bag;
    if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag,
                                      reinterpret_cast<void**>(bag.GetAddressOf()))) ||
        !bag) {
        return false;
    }
    ScopedVariant value;
    if (FAILED(bag->Read(L"FriendlyName", value.get(), nullptr)) || value.get()->vt != VT_BSTR ||
        value.get()->bstrVal == nullptr) {
        return false;
    }
    char buffer[kFriendlyNameBufferSize] = {};
    if (!ToAnsi(value.get()->bstrVal, buffer, sizeof buffer, nullptr)) {
        return false;
    }
    name = buffer;
    return true;
}

HRESULT CreateDeviceEnumerator(ComPtr<ICreateDevEnum>& devices) {
    return CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                            IID_ICreateDevEnum, reinterpret_cast<void**>(devices.GetAddressOf()));
}

// S_OK only when there is an enumerator: an empty category answers S_FALSE and none.
HRESULT CreateVideoInputEnumerator(ICreateDevEnum* devices, ComPtr<IEnumMoniker>& monikers) {
    return devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, monikers.GetAddressOf(),
                                          0);
}

// Visits every moniker; each is released before the next is fetched.
template <typename Visit>
void ForEachMoniker(IEnumMoniker* monikers, Visit visit) {
    ComPtr<IMoniker> moniker;
    ULONG fetched = 0;
    while (monikers->Next(1, moniker.ReleaseAndGetAddressOf(), &fetched) == S_OK) {
        if (moniker) {
            visit(moniker.Get());
        }
    }
}

}  // namespace

HRESULT EnumerateVideoInputDevices(std::vector<std::string>& displayNames,
                                   std::vector<std::string>& friendlyNames) {
    ComPtr<ICreateDevEnum> devices;
    HRESULT hr = CreateDeviceEnumerator(devices);
    if (FAILED(hr)) {
        return hr;
    }
    ComPtr<IEnumMoniker> monikers;
    hr = CreateVideoInputEnumerator(devices.Get(), monikers);
    if (hr != S_OK) {
        return hr;
    }
    ForEachMoniker(monikers.Get(), [&](IMoniker* moniker) {
        std::string displayName;
        std::string friendlyName;
        if (ReadDisplayName(moniker, displayName) && ReadFriendlyName(moniker, friendlyName)) {
            displayNames.push_back(std::move(displayName));
            friendlyNames.push_back(std::move(friendlyName));
        }
    });
    return S_OK;
}

HRESULT FindCaptureFilter(ComPtr<IBaseFilter>& filter, const std::string& displayName) {
    ComPtr<ICreateDevEnum> devices;
    const HRESULT hr = CreateDeviceEnumerator(devices);
    if (FAILED(hr)) {
        return hr;
    }
    ComPtr<IEnumMoniker> monikers;
    if (CreateVideoInputEnumerator(devices.Get(), monikers) != S_OK) {
        return S_OK;
    }
    ForEachMoniker(monikers.Get(), [&](IMoniker* moniker) {
        std::string name;
        if (ReadDisplayName(moniker, name) && name == displayName) {
            moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter,
                                  reinterpret_cast<void**>(filter.ReleaseAndGetAddressOf()));
        }
    });
    return S_OK;
}
