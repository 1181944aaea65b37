// The camera filter's property page: shows the simulated sensor and offers a button that
// presses the camera's snapshot button, as a person at the real camera would.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <wrl/client.h>

#include <vector>

#include "sim/com_module.h"

class CameraPropertyPage final : public IPropertyPage {
public:
    static HRESULT Create(REFIID iid, void** object);

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IPropertyPage
    STDMETHODIMP SetPageSite(IPropertyPageSite* site) override;
    STDMETHODIMP Activate(HWND parent, LPCRECT rect, BOOL modal) override;
    STDMETHODIMP Deactivate() override;
    STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override;
    STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override;
    STDMETHODIMP Show(UINT showCommand) override;
    STDMETHODIMP Move(LPCRECT rect) override;
    STDMETHODIMP IsPageDirty() override;
    STDMETHODIMP Apply() override;
    STDMETHODIMP Help(LPCOLESTR helpDir) override;
    STDMETHODIMP TranslateAccelerator(MSG* message) override;

private:
    CameraPropertyPage() = default;
    ~CameraPropertyPage();

    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnInitDialog(HWND dialog);
    INT_PTR OnCommand(int controlId, int notifyCode);
    void ShowSensorState();

    ModuleLock moduleLock_;
    LONG refs_ = 1;
    Microsoft::WRL::ComPtr<IPropertyPageSite> site_;
    std::vector<Microsoft::WRL::ComPtr<IUnknown>> objects_;
    HWND dialog_ = nullptr;
};
