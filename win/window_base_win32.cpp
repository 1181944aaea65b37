#include "win/window_base_win32.h"

namespace {
constexpr const char* kWindowClassName = "KRYTrayWindow";

bool RegisterWindowClassOnce(WNDPROC proc) {
    static const ATOM atom = [proc] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = proc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kWindowClassName;
        return RegisterClassA(&windowClass);
    }();
    return atom != 0;
}
}  // namespace

CWindowBase::~CWindowBase() {
    DestroyWindow();
}

BOOL CWindowBase::CreateEx(DWORD exStyle, const char* title, DWORD style, const RECT& rect,
                           HWND parent) {
    if (!RegisterWindowClassOnce(StaticWindowProc)) {
        return FALSE;
    }
    HWND window = CreateWindowExA(exStyle, kWindowClassName, title, style, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                                  GetModuleHandleA(nullptr), this);
    return window != nullptr;
}

BOOL CWindowBase::DestroyWindow() {
    if (m_hWnd == nullptr) {
        return FALSE;
    }
    return ::DestroyWindow(m_hWnd);
}

LRESULT CWindowBase::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWindowBase::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CWindowBase::StaticWindowProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    auto* self = reinterpret_cast<CWindowBase*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<CWindowBase*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->m_hWnd = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (self == nullptr) {
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
    const LRESULT result = self->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->m_hWnd = nullptr;
    }
    return result;
}
