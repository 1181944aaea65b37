#include "settings/quick_launch_dialog_win32.h"

#include <commdlg.h>

#include <string>

#include "res/resource.h"
#include "settings/settings_store.h"
#include "win/system_library_win32.h"
#include "win/text_win32.h"

namespace {
constexpr wchar_t kExeFilter[] = L"exe Files (*.exe)\0*.exe\0";
constexpr int kOpenFileBufferSize = 1024;

using GetOpenFileNameFn = BOOL(WINAPI*)(OPENFILENAMEW*);

// The common dialogs library (and the printing libraries it brings along) is loaded only when
// a file is first picked, not for the whole idle life of the program, and from the system
// folder by its full path. It stays loaded from then on, as a delay-loaded import would: the
// file dialog may leave work behind that still runs its code.
GetOpenFileNameFn OpenFileDialogFunction() {
    static const GetOpenFileNameFn function = LookUpFunction<GetOpenFileNameFn>(
        LoadSystemLibrary(L"comdlg32.dll").release(), "GetOpenFileNameW");
    return function;
}
}  // namespace

CQuickLaunchDialog::CQuickLaunchDialog(SettingsStore& settings, HWND parent)
    : CDialogBase(IDD_QUICKLAUNCH, parent), m_settings(settings) {}

BOOL CQuickLaunchDialog::OnInitDialog() {
    if (const auto path = m_settings.ReadQuickLaunchPath()) {
        SetDlgItemTextW(m_hWnd, IDC_QUICKLAUNCH_PATH, AsWide(*path));
    }
    return TRUE;  // the dialog manager focuses the first tab stop
}

bool CQuickLaunchDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
            case IDC_QUICKLAUNCH_OPEN:
                OnOpenClicked();
                result = 0;
                return true;
            case IDOK:
                OnOkClicked();
                result = 0;
                return true;
            default:
                break;
        }
    }
    return CDialogBase::OnMessage(message, wParam, lParam, result);
}

void CQuickLaunchDialog::OnOpenClicked() {
    wchar_t file[kOpenFileBufferSize] = L"";
    OPENFILENAMEW request{};
    request.lStructSize = sizeof(request);
    request.hwndOwner = m_hWnd;  // keeps the file dialog above this one and modal to it
    request.lpstrFilter = kExeFilter;
    request.nFilterIndex = 1;
    request.lpstrFile = file;
    request.nMaxFile = kOpenFileBufferSize;
    request.Flags = OFN_EXPLORER;
    const GetOpenFileNameFn getOpenFileName = OpenFileDialogFunction();
    if (getOpenFileName != nullptr && getOpenFileName(&request)) {
        SetDlgItemTextW(m_hWnd, IDC_QUICKLAUNCH_PATH, file);
    }
}

void CQuickLaunchDialog::OnOkClicked() {
    wchar_t text[kPathBufferSize] = L"";
    // Keeps at most 511 characters; a longer field is cut.
    GetDlgItemTextW(m_hWnd, IDC_QUICKLAUNCH_PATH, text, kPathBufferSize);
    const long error = m_settings.WriteQuickLaunchPath(FromWide(text));
    if (error != 0) {
        // The dialog stays open: the choice is still in the field, nothing was stored.
        ShowSaveError(static_cast<DWORD>(error));
        return;
    }
    EndDialog(IDOK);
}

void CQuickLaunchDialog::ShowSaveError(DWORD error) {
    wchar_t* reason = nullptr;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0,
        reinterpret_cast<wchar_t*>(&reason),  // NOLINT(*-reinterpret-cast)
        0, nullptr);
    std::wstring message = L"The quick-launch program could not be saved.";
    if (reason != nullptr) {
        message += L"\r\n\r\n";
        message += reason;
        LocalFree(reason);
    } else {
        message += L" Error " + std::to_wstring(error) + L".";
    }
    MessageBoxW(m_hWnd, message.c_str(), L"Quick Launch Setting", MB_OK | MB_ICONERROR);
}
