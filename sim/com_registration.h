// Registers the DLL's COM classes under HKCR\CLSID (in-process server, free-threaded).
#pragma once

#include <windows.h>

#include <string>

class ComRegistration {
public:
    static std::wstring GuidText(const GUID& guid);  // "{XXXXXXXX-...}"

    static HRESULT Register(const GUID& clsid, const wchar_t* name, const std::wstring& dllPath);
    static HRESULT Unregister(const GUID& clsid);
};
