#include "settings/quick_launch_dialog_win32.h"

#include <commdlg.h>

#include "res/resource.h"
#include "settings/settings_store.h"

namespace {
constexpr char kExeFilter[] = "exe Files (*.exe)\0*.exe\0";
constexpr int kOpenFileBufferSize = 1024;

using GetOpenFileNameFn = BOOL(WINAPI*)(OPENFILENAMEA*);

// The common dialogs library (and the printing libraries it brings along) is loaded only when
// a file is first picked, not for the whole idle life of the program, and from the system
// folder by its full path. It stays loaded from then on, as a delay-loaded import would: the
// file dialog may leave work behind that still runs its code.
GetOpenFileNameFn OpenFileDialogFunction() {
    static const GetOpenFileNameFn function = []() -> GetOpenFileNameFn {
        char path[MAX_PATH];
        const UINT length = GetSystemDirectoryA(path, MAX_PATH);
        if (length == 0 || length + sizeof("\\comdlg32.dll") > MAX_PATH) {
            return nullptr;
        }
        lstrcatA(path, "\\comdlg32.dll");
        HMODULE library = LoadLibraryA(path);
        return library != nullptr ? reinterpret_cast<GetOpenFileNameFn>(reinterpret_cast<void*>(
                                        GetProcAddress(library, "GetOpenFileNameA")))
                                  : nullptr;
    }();
    return function;
}
}  // namespace

CQuickLaunchDialog::CQuickLaunchDialog(SettingsStore& settings, HWND parent)
    : CDialogBase(IDD_QUICKLAUNCH, parent), m_settings(settings) {}

BOOL CQuickLaunchDialog::OnInitDialog() {
    char path[kPathBufferSize];
    if (m_settings.ReadQuickLaunchPath(path)) {
        SetDlgItemTextA(m_hWnd, IDC_QUICKLAUNCH_PATH, path);
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
    char file[kOpenFileBufferSize] = "";
    OPENFILENAMEA request{};
    request.lStructSize = sizeof(request);
    request.hwndOwner = m_hWnd;  // keeps the file dialog above this one and modal to it
    request.lpstrFilter = kExeFilter;
    request.nFilterIndex = 1;
    request.lpstrFile = file;
    request.nMaxFile = sizeof(file);
    request.Flags = OFN_EXPLORER;
    const GetOpenFileNameFn getOpenFileName = OpenFileDialogFunction();
    if (getOpenFileName != nullptr && getOpenFileName(&request)) {
        SetDlgItemTextA(m_hWnd, IDC_QUICKLAUNCH_PATH, file);
    }
}

void CQuickLaunchDialog::OnOkClicked() {
    char text[kPathBufferSize] = "";
    // Keeps at most 511 characters; a longer field is cut.
    GetDlgItemTextA(m_hWnd, IDC_QUICKLAUNCH_PATH, text, sizeof(text));
    m_settings.WriteQuickLaunchPath(text);
    EndDialog(IDOK);
}
