#include "win/dialog_base_win32.h"

CDialogBase* CDialogBase::s_pMainWnd = nullptr;

namespace {
// Messages whose answer is the dialog procedure's return value, not DWLP_MSGRESULT.
bool AnswersThroughReturnValue(UINT message) {
    switch (message) {
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
            return true;
        default:
            return false;
    }
}
}  // namespace

CDialogBase::~CDialogBase() {
    if (m_hWnd != nullptr) {
        ::DestroyWindow(m_hWnd);
    }
    if (s_pMainWnd == this) {
        s_pMainWnd = nullptr;
    }
}

void CDialogBase::SetMainWindow(CDialogBase* dialog) {
    s_pMainWnd = dialog;
}

HWND CDialogBase::Owner() const {
    if (m_parent != nullptr) {
        return m_parent;
    }
    return s_pMainWnd != nullptr && s_pMainWnd != this ? s_pMainWnd->m_hWnd : nullptr;
}

INT_PTR CDialogBase::DoModal() {
    // The owner keeps the dialog above it, and its destruction takes the dialog with it.
    HWND owner = Owner();
    HWND window = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId),
                                     owner, StaticDialogProc, reinterpret_cast<LPARAM>(this));
    if (window == nullptr) {
        return -1;
    }
    // Templates without WS_VISIBLE are shown once initialised, as DialogBox does; a window that
    // refuses to be shown (the hidden controller) stays hidden.
    if (!m_endModal && IsWindow(window) && (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) == 0) {
        ShowWindow(window, SW_SHOWNORMAL);
    }
    const bool disableOwner = owner != nullptr && IsWindowEnabled(owner);
    if (disableOwner) {
        EnableWindow(owner, FALSE);
    }
    MSG msg;
    while (!m_endModal && IsWindow(window)) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // let the outer loop see it too
            break;
        }
        if (got == -1) {
            break;
        }
        if (!IsDialogMessageW(window, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (disableOwner && IsWindow(owner)) {
        EnableWindow(owner, TRUE);
    }
    if (IsWindow(window)) {
        ::DestroyWindow(window);
    }
    return m_result;
}

BOOL CDialogBase::DestroyWindow() {
    return m_hWnd != nullptr ? ::DestroyWindow(m_hWnd) : FALSE;
}

void CDialogBase::EndDialog(INT_PTR result) {
    m_result = result;
    m_endModal = true;
    if (m_hWnd != nullptr) {
        ShowWindow(m_hWnd, SW_HIDE);
    }
}

bool CDialogBase::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT&) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDCANCEL) {
        EndDialog(IDCANCEL);  // Cancel, Escape and the close box
        return true;
    }
    return false;
}

INT_PTR CALLBACK CDialogBase::StaticDialogProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    CDialogBase* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialogBase*>(lParam);
        self->m_hWnd = window;
        SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<CDialogBase*>(GetWindowLongPtrW(window, DWLP_USER));
    }
    return self != nullptr ? self->DialogProc(message, wParam, lParam) : FALSE;
}

INT_PTR CDialogBase::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        return OnInitDialog();
    }
    if (message == WM_NCDESTROY) {
        OnNcDestroy();
        return FALSE;
    }
    LRESULT result = 0;
    if (!OnMessage(message, wParam, lParam, result)) {
        return FALSE;
    }
    if (AnswersThroughReturnValue(message)) {
        return static_cast<INT_PTR>(result);
    }
    SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

void CDialogBase::OnNcDestroy() {
    SetWindowLongPtrW(m_hWnd, DWLP_USER, 0);
    m_hWnd = nullptr;
    if (s_pMainWnd == this) {
        // Ends every modal loop that runs now: ours, the file dialog's, the property frame's,
        // a menu's. Each posts the message again for the loop outside it.
        PostQuitMessage(0);
    } else {
        // A destroy made while handling a sent message (another program's WM_COPYDATA) runs
        // inside GetMessage, which would go on waiting: wake the modal loop to see it.
        PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
    }
}
