#include "win/dialog_base_win32.h"

CDialogBase::~CDialogBase() {
    if (m_hWnd != nullptr) {
        ::DestroyWindow(m_hWnd);
    }
}

INT_PTR CDialogBase::DoModal() {
    HWND window = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_templateId),
                                     m_parent, StaticDialogProc, reinterpret_cast<LPARAM>(this));
    if (window == nullptr) {
        return -1;
    }
    // Templates without WS_VISIBLE are shown once initialised, as DialogBox does; a window that
    // refuses to be shown (the hidden controller) stays hidden.
    if (!m_endModal && IsWindow(window) && (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) == 0) {
        ShowWindow(window, SW_SHOWNORMAL);
    }
    const bool disableParent = m_parent != nullptr && IsWindowEnabled(m_parent);
    if (disableParent) {
        EnableWindow(m_parent, FALSE);
    }
    MSG msg;
    while (!m_endModal && IsWindow(window)) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // let the outer loop see it too
            break;
        }
        if (got == -1) {
            break;
        }
        if (!IsDialogMessageA(window, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (disableParent) {
        EnableWindow(m_parent, TRUE);
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
        SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<CDialogBase*>(GetWindowLongPtrA(window, DWLP_USER));
    }
    return self != nullptr ? self->DialogProc(message, wParam, lParam) : FALSE;
}

INT_PTR CDialogBase::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        return OnInitDialog();
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(m_hWnd, DWLP_USER, 0);
        m_hWnd = nullptr;
        // A destroy made while handling a sent message (another program's WM_COPYDATA) runs
        // inside GetMessage, which would go on waiting: wake the modal loop to see it.
        PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
        return FALSE;
    }
    LRESULT result = 0;
    if (!OnMessage(message, wParam, lParam, result)) {
        return FALSE;
    }
    SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}
