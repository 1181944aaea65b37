// The system's video input devices, read through the DirectShow device enumerator.
#pragma once

#include <windows.h>
#include <dshow.h>
#include <wrl/client.h>

#include <string>
#include <vector>

// Appends each device's display name and "FriendlyName" in enumeration order. A device whose
// names cannot both be read is left out of both lists, so entry i of each stays the same device.
// Returns a creation failure, the category enumerator's result when it is not S_OK (S_FALSE for
// an empty category), else S_OK.
HRESULT EnumerateVideoInputDevices(std::vector<std::string>& displayNames,
                                   std::vector<std::string>& friendlyNames);

// Binds the device whose display name equals `displayName` byte for byte into `filter`. Every
// device is visited; when none matches, `filter` keeps what it held. Returns the device
// enumerator's creation failure, else S_OK.
HRESULT FindCaptureFilter(Microsoft::WRL::ComPtr<IBaseFilter>& filter,
                          const std::string& displayName);
