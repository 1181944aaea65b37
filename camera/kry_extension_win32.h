// IKRYExtension: the camera driver's private COM interface on its capture filter.
// Shared by the program and the simulated driver.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include "camera/extension_props.h"

// {3DC2E820-4713-11D2-BA41-00A0C90D2B05}
inline constexpr GUID IID_IKRYExtension = {
    0x3dc2e820, 0x4713, 0x11d2, {0xba, 0x41, 0x00, 0xa0, 0xc9, 0x0d, 0x2b, 0x05}};

// Two methods after IUnknown, in this order. `length` is always 16; a result is examined only
// for whether the device has gone (IsDeviceGoneResult).
struct IKRYExtension : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetProperty(LONG id, ExtensionBuffer* block, LONG length) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetProperty(LONG id, ExtensionBuffer* block, LONG length) = 0;
};
