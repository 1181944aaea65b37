#include "camera/directshow_devices_win32.h"

#include <memory>
#include <optional>
#include <utility>

#include "win/handles_win32.h"
#include "win/text_win32.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr int kDisplayNameBufferSize = 1024;
constexpr int kFriendlyNameBufferSize = 2048;

struct CoTaskMemDeleter {
    void operator()(void* memory) const { CoTaskMemFree(memory); }
};
using CoTaskMemString = std::unique_ptr<OLECHAR, CoTaskMemDeleter>;

bool ReadDisplayName(IMoniker* moniker, std::string& name) {
    LPOLESTR raw = nullptr;
    const HRESULT hr = moniker->GetDisplayName(nullptr, nullptr, &raw);
    const CoTaskMemString wide(raw);  // freed whatever the result
    if (FAILED(hr) || !wide) {
        return false;
    }
    std::optional<std::string> converted = ToAnsiWithin(wide.get(), kDisplayNameBufferSize, "");
    if (!converted) {
        return false;
    }
    name = std::move(*converted);
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
    std::optional<std::string> converted =
        ToAnsiWithin(value.get()->bstrVal, kFriendlyNameBufferSize, nullptr);
    if (!converted) {
        return false;
    }
    name = std::move(*converted);
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
