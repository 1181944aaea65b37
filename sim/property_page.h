// The camera filter's property page: shows the simulated sensor and offers a button that
// presses the camera's snapshot button, as a person at the real camera would.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <wrl/client.h>

#include <vector>

#include "sim/com_object.h"

class CameraPropertyPage final : public ComObject<IPropertyPage> {
public:
    static HRESULT Create(REFIID iid, void** object);

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
    ~CameraPropertyPage() override;

    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnInitDialog(HWND dialog);
    INT_PTR OnCommand(int controlId, int notifyCode);
    void ShowSensorState();

    Microsoft::WRL::ComPtr<IPropertyPageSite> site_;
    std::vector<Microsoft::WRL::ComPtr<IUnknown>> objects_;
    HWND dialog_ = nullptr;
};
