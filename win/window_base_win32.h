// A plain window owned by a C++ object: one registered class with no style, cursor, brush or
// icon; messages go to the virtual WindowProc.
#pragma once

#include <windows.h>

class CWindowBase {
public:
    CWindowBase() = default;
    virtual ~CWindowBase();
    CWindowBase(const CWindowBase&) = delete;
    CWindowBase& operator=(const CWindowBase&) = delete;

    BOOL CreateEx(DWORD exStyle, const char* title, DWORD style, const RECT& rect, HWND parent);
    BOOL DestroyWindow();
    HWND GetSafeHwnd() const { return m_hWnd; }

protected:
    // Override to handle messages; call DefWindowProc for what is not handled.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;

private:
    static LRESULT CALLBACK StaticWindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam);
};
