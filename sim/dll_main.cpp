// Entry points of kry_simcam.dll, the simulated camera driver: an in-process COM server with
// the camera's capture filter, a plain capture filter and the camera's property page.
// Registering the DLL registers the classes only; plugging a device in is the control tool's
// job (camctl plug).
#include <windows.h>
#include <objbase.h>

#include <array>
#include <string>

#include "sim/capture_filter.h"
#include "sim/class_factory.h"
#include "sim/com_module.h"
#include "sim/com_registration.h"
#include "sim/property_page.h"
#include "sim/simcam_ids.h"

namespace {

struct ClassEntry {
    const GUID* clsid;
    const wchar_t* name;
    ClassFactory::CreateFunction create;
};

const std::array<ClassEntry, 3> kClasses = {{
    {&CLSID_KRYSimCamera, L"KRY Simulated Camera Capture Filter", &CaptureFilter::CreateCamera},
    {&CLSID_KRYSimPlainCamera, L"KRY Plain Camera Capture Filter", &CaptureFilter::CreatePlain},
    {&CLSID_KRYSimCameraPage, L"KRY Simulated Camera Property Page", &CameraPropertyPage::Create},
}};

std::wstring ModulePath() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(ComModule::Instance(), path, MAX_PATH);
    return std::wstring(path, length);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        ComModule::SetInstance(instance);
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    for (const ClassEntry& entry : kClasses) {
        if (IsEqualCLSID(clsid, *entry.clsid)) {
            return ClassFactory::Create(entry.create, iid, object);
        }
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return ComModule::CanUnload() ? S_OK : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    const std::wstring path = ModulePath();
    if (path.empty()) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    for (const ClassEntry& entry : kClasses) {
        const HRESULT hr = ComRegistration::Register(*entry.clsid, entry.name, path);
        if (FAILED(hr)) {
            return hr;
        }
    }
    return S_OK;
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    HRESULT result = S_OK;
    for (const ClassEntry& entry : kClasses) {
        const HRESULT hr = ComRegistration::Unregister(*entry.clsid);
        if (FAILED(hr)) {
            result = hr;
        }
    }
    return result;
}
