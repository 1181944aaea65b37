#include "sim/com_registration.h"

#include <objbase.h>

#include "sim/reg_key.h"

namespace {

std::wstring ClassKeyPath(const GUID& clsid) {
    return L"CLSID\\" + ComRegistration::GuidText(clsid);
}

}  // namespace

std::wstring ComRegistration::GuidText(const GUID& guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, static_cast<int>(sizeof(text) / sizeof(text[0])));
    return text;
}

HRESULT ComRegistration::Register(const GUID& clsid, const wchar_t* name,
                                  const std::wstring& dllPath) {
    LONG error = ERROR_SUCCESS;
    const RegKey classKey =
        RegKey::Create(HKEY_CLASSES_ROOT, ClassKeyPath(clsid), KEY_WRITE | kProgramView, &error);
    if (!classKey) {
        return HRESULT_FROM_WIN32(static_cast<DWORD>(error));
    }
    classKey.WriteString(nullptr, name);
    const RegKey serverKey =
        RegKey::Create(classKey.get(), L"InprocServer32", KEY_WRITE | kProgramView, &error);
    if (!serverKey) {
        return HRESULT_FROM_WIN32(static_cast<DWORD>(error));
    }
    error = serverKey.WriteString(nullptr, dllPath);
    if (error == ERROR_SUCCESS) {
        error = serverKey.WriteString(L"ThreadingModel", L"Both");
    }
    return HRESULT_FROM_WIN32(static_cast<DWORD>(error));
}

HRESULT ComRegistration::Unregister(const GUID& clsid) {
    const LONG error = DeleteRegistryTree(HKEY_CLASSES_ROOT, ClassKeyPath(clsid), kProgramView);
    return HRESULT_FROM_WIN32(static_cast<DWORD>(error));
}
