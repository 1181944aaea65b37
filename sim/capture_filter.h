// The simulated camera's capture filter. Two variants share it: the camera, which exposes
// IKRYExtension and property pages and journals every call, and a plain capture filter without
// them, which discovery must pass over. Free-threaded: the program calls it from a thread that
// never initialised COM, so all state is guarded by one lock and nothing depends on the thread.
#pragma once

#include <windows.h>
#include <dshow.h>
#include <wrl/client.h>

#include <array>
#include <memory>
#include <mutex>
#include <string>

#include "camera/kry_extension_win32.h"
#include "sim/camera_driver.h"
#include "sim/com_object.h"
#include "sim/output_pin.h"

template <>
inline const IID& InterfaceId<IKRYExtension>() {
    return IID_IKRYExtension;
}

enum class FilterVariant { Camera, Plain };

class CaptureFilter final
    : public ComObject<IBaseFilter, IAMVideoControl, ISpecifyPropertyPages, IKRYExtension> {
public:
    static HRESULT CreateCamera(REFIID iid, void** object);
    static HRESULT CreatePlain(REFIID iid, void** object);

    // IPersist
    STDMETHODIMP GetClassID(CLSID* clsid) override;

    // IMediaFilter
    STDMETHODIMP Stop() override;
    STDMETHODIMP Pause() override;
    STDMETHODIMP Run(REFERENCE_TIME start) override;
    STDMETHODIMP GetState(DWORD timeout, FILTER_STATE* state) override;
    STDMETHODIMP SetSyncSource(IReferenceClock* clock) override;
    STDMETHODIMP GetSyncSource(IReferenceClock** clock) override;

    // IBaseFilter
    STDMETHODIMP EnumPins(IEnumPins** enumerator) override;
    STDMETHODIMP FindPin(LPCWSTR id, IPin** pin) override;
    STDMETHODIMP QueryFilterInfo(FILTER_INFO* info) override;
    STDMETHODIMP JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
    STDMETHODIMP QueryVendorInfo(LPWSTR* vendorInfo) override;

    // IAMVideoControl: SetMode with VideoControlFlag_Trigger on the still pin takes a still.
    STDMETHODIMP GetCaps(IPin* pin, LONG* flags) override;
    STDMETHODIMP SetMode(IPin* pin, LONG mode) override;
    STDMETHODIMP GetMode(IPin* pin, LONG* mode) override;
    STDMETHODIMP GetCurrentActualFrameRate(IPin* pin, LONGLONG* frameRate) override;
    STDMETHODIMP GetMaxAvailableFrameRate(IPin* pin, LONG index, SIZE dimensions,
                                          LONGLONG* frameRate) override;
    STDMETHODIMP GetFrameRateList(IPin* pin, LONG index, SIZE dimensions, LONG* listSize,
                                  LONGLONG** frameRates) override;

    // ISpecifyPropertyPages
    STDMETHODIMP GetPages(CAUUID* pages) override;

    // IKRYExtension
    STDMETHODIMP SetProperty(LONG id, ExtensionBuffer* block, LONG length) override;
    STDMETHODIMP GetProperty(LONG id, ExtensionBuffer* block, LONG length) override;

private:
    enum PinIndex { kCapturePin = 0, kStillPin = 1, kPinCount = 2 };

    explicit CaptureFilter(FilterVariant variant);
    ~CaptureFilter() override;
    static HRESULT Create(FilterVariant variant, REFIID iid, void** object);

    // IBaseFilter also answers for its bases; the plain filter lacks the camera's interfaces.
    void* FindInterface(REFIID iid) override;

    bool IsCamera() const { return variant_ == FilterVariant::Camera; }
    bool IsStillPin(IPin* pin) const;
    bool IsOwnPin(IPin* pin) const;
    void Record(const std::string& line) const;

    const FilterVariant variant_;
    const DWORD number_;  // which filter this is, for a driver fault that kills older ones
    // Pins live exactly as long as the filter: their references are the filter's.
    std::array<std::unique_ptr<OutputPin>, kPinCount> pins_;
    SimCameraDriver driver_;

    std::mutex mutex_;
    FILTER_STATE state_ = State_Stopped;
    IFilterGraph* graph_ = nullptr;  // not held: the graph holds the filter
    std::wstring name_;
    Microsoft::WRL::ComPtr<IReferenceClock> clock_;
    LONG stillMode_ = 0;
};
