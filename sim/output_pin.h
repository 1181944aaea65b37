// An output pin of the simulated capture filter. It never connects (nothing is rendered from
// it); it names its category through IKsPropertySet so that ICaptureGraphBuilder2::FindPin can
// tell the capture pin from the still pin. Its lifetime is its filter's: AddRef and Release
// go to the filter.
#pragma once

#include <windows.h>
#include <dshow.h>

#include <string>

#include "sim/com_object.h"

class OutputPin final : public ComInterfaces<IPin, IKsPropertySet> {
public:
    OutputPin(IBaseFilter& filter, const wchar_t* name, const GUID& category);
    OutputPin(const OutputPin&) = delete;
    OutputPin& operator=(const OutputPin&) = delete;

    const std::wstring& Name() const { return name_; }
    const GUID& Category() const { return category_; }

    // IUnknown: the filter's count
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IPin
    STDMETHODIMP Connect(IPin* receivePin, const AM_MEDIA_TYPE* mediaType) override;
    STDMETHODIMP ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mediaType) override;
    STDMETHODIMP Disconnect() override;
    STDMETHODIMP ConnectedTo(IPin** pin) override;
    STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE* mediaType) override;
    STDMETHODIMP QueryPinInfo(PIN_INFO* info) override;
    STDMETHODIMP QueryDirection(PIN_DIRECTION* direction) override;
    STDMETHODIMP QueryId(LPWSTR* id) override;
    STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE* mediaType) override;
    STDMETHODIMP EnumMediaTypes(IEnumMediaTypes** enumerator) override;
    STDMETHODIMP QueryInternalConnections(IPin** pins, ULONG* count) override;
    STDMETHODIMP EndOfStream() override;
    STDMETHODIMP BeginFlush() override;
    STDMETHODIMP EndFlush() override;
    STDMETHODIMP NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

    // IKsPropertySet: only AMPROPSETID_Pin / AMPROPERTY_PIN_CATEGORY, read-only.
    STDMETHODIMP Set(REFGUID propertySet, DWORD id, void* instanceData, DWORD instanceSize,
                     void* data, DWORD dataSize) override;
    STDMETHODIMP Get(REFGUID propertySet, DWORD id, void* instanceData, DWORD instanceSize,
                     void* data, DWORD dataSize, DWORD* returned) override;
    STDMETHODIMP QuerySupported(REFGUID propertySet, DWORD id, DWORD* support) override;

private:
    IBaseFilter& filter_;
    const std::wstring name_;
    const GUID category_;
};
