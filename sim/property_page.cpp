#include "sim/property_page.h"

#include <cwchar>
#include <new>
#include <string>

#include "sim/sim_settings.h"
#include "sim/simcam_ids.h"
#include "sim/simcam_resource.h"
#include "sim/text_convert.h"

namespace {

// The page template's size in dialog units (see kry_simcam.rc).
constexpr int kTemplateWidth = 230;
constexpr int kTemplateHeight = 80;

}  // namespace

HRESULT CameraPropertyPage::Create(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    return HandOut(new (std::nothrow) CameraPropertyPage(), iid, object);
}

CameraPropertyPage::~CameraPropertyPage() {
    if (dialog_ != nullptr) {
        DestroyWindow(dialog_);
    }
}

STDMETHODIMP CameraPropertyPage::SetPageSite(IPropertyPageSite* site) {
    site_ = site;
    return S_OK;
}

STDMETHODIMP CameraPropertyPage::Activate(HWND parent, LPCRECT rect, BOOL) {
    if (dialog_ != nullptr) {
        return E_UNEXPECTED;
    }
    dialog_ = CreateDialogParamW(ComModule::Instance(), MAKEINTRESOURCEW(IDD_SIMCAM_PAGE), parent,
                                 DialogProc, reinterpret_cast<LPARAM>(this));
    if (dialog_ == nullptr) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    return Move(rect);
}

STDMETHODIMP CameraPropertyPage::Deactivate() {
    if (dialog_ != nullptr) {
        DestroyWindow(dialog_);
        dialog_ = nullptr;
    }
    return S_OK;
}

STDMETHODIMP CameraPropertyPage::GetPageInfo(PROPPAGEINFO* info) {
    if (info == nullptr) {
        return E_POINTER;
    }
    const std::wstring title = WidenAnsi(kSimCameraPageTitle);
    const size_t bytes = (title.size() + 1) * sizeof(wchar_t);
    auto* text = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (text == nullptr) {
        return E_OUTOFMEMORY;
    }
    CopyMemory(text, title.c_str(), bytes);
    const LONG baseUnits = GetDialogBaseUnits();
    info->cb = sizeof(*info);
    info->pszTitle = text;
    info->size.cx = MulDiv(kTemplateWidth, LOWORD(baseUnits), 4);
    info->size.cy = MulDiv(kTemplateHeight, HIWORD(baseUnits), 8);
    info->pszDocString = nullptr;
    info->pszHelpFile = nullptr;
    info->dwHelpContext = 0;
    return S_OK;
}

STDMETHODIMP CameraPropertyPage::SetObjects(ULONG count, IUnknown** objects) {
    if (count > 0 && objects == nullptr) {
        return E_POINTER;
    }
    objects_.clear();
    for (ULONG i = 0; i < count; ++i) {
        objects_.emplace_back(objects[i]);
    }
    return S_OK;
}

STDMETHODIMP CameraPropertyPage::Show(UINT showCommand) {
    if (dialog_ == nullptr) {
        return E_UNEXPECTED;
    }
    ShowWindow(dialog_, static_cast<int>(showCommand));
    return S_OK;
}

STDMETHODIMP CameraPropertyPage::Move(LPCRECT rect) {
    if (rect == nullptr) {
        return E_POINTER;
    }
    if (dialog_ == nullptr) {
        return E_UNEXPECTED;
    }
    MoveWindow(dialog_, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
               TRUE);
    return S_OK;
}

STDMETHODIMP CameraPropertyPage::IsPageDirty() {
    return S_FALSE;
}  // nothing to apply
STDMETHODIMP CameraPropertyPage::Apply() {
    return S_OK;
}
STDMETHODIMP CameraPropertyPage::Help(LPCOLESTR) {
    return E_NOTIMPL;
}
STDMETHODIMP CameraPropertyPage::TranslateAccelerator(MSG*) {
    return S_FALSE;
}

INT_PTR CALLBACK CameraPropertyPage::DialogProc(HWND dialog, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    }
    auto* page = reinterpret_cast<CameraPropertyPage*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (page == nullptr) {
        return FALSE;
    }
    switch (message) {
        case WM_INITDIALOG:
            return page->OnInitDialog(dialog);
        case WM_COMMAND:
            return page->OnCommand(LOWORD(wParam), HIWORD(wParam));
        default:
            return FALSE;
    }
}

INT_PTR CameraPropertyPage::OnInitDialog(HWND dialog) {
    dialog_ = dialog;
    ShowSensorState();
    return TRUE;
}

INT_PTR CameraPropertyPage::OnCommand(int controlId, int notifyCode) {
    if (controlId != IDC_PRESS_BUTTON || notifyCode != BN_CLICKED) {
        return FALSE;
    }
    SimSettings::SetButtonPressed(true);
    ShowSensorState();
    return TRUE;
}

void CameraPropertyPage::ShowSensorState() {
    SetDlgItemTextW(dialog_, IDC_SENSOR_KIND, std::to_wstring(SimSettings::SensorKind()).c_str());
    SetDlgItemTextW(dialog_, IDC_SENSOR_PIXELS,
                    std::to_wstring(SimSettings::SensorPixels()).c_str());
    SetDlgItemTextW(dialog_, IDC_BUTTON_STATE,
                    SimSettings::ButtonPressed() ? L"Press pending" : L"");
}
