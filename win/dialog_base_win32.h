// A modal dialog from a template resource, with its messages routed to virtual handlers.
// The modal loop runs until the window is destroyed, EndDialog is called or the quit message
// arrives (which it posts again for the loops outside it). One dialog may be the application's
// main window: modal dialogs without a parent are owned by it, and its destruction posts the
// quit message, so every loop running at that moment ends, the system's own included.
// Dialogs are Unicode windows, so their controls keep text in any script.
#pragma once

#include <windows.h>

class CDialogBase {
public:
    CDialogBase(UINT templateId, HWND parent) : m_templateId(templateId), m_parent(parent) {}
    virtual ~CDialogBase();
    CDialogBase(const CDialogBase&) = delete;
    CDialogBase& operator=(const CDialogBase&) = delete;

    // Creates the window from the template and runs the modal loop. Returns the EndDialog
    // result, or 0 when the window was destroyed, or -1 when it could not be created.
    INT_PTR DoModal();
    virtual BOOL DestroyWindow();
    HWND GetSafeHwnd() const { return m_hWnd; }

    // Makes `dialog` the application's main window (null: none).
    static void SetMainWindow(CDialogBase* dialog);

protected:
    virtual BOOL OnInitDialog() { return TRUE; }
    // Handles one message. Return true to report `result` to the dialog manager; false leaves
    // the message to the default processing.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void EndDialog(INT_PTR result);

    HWND m_hWnd = nullptr;

private:
    static INT_PTR CALLBACK StaticDialogProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam);
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam);
    HWND Owner() const;
    void OnNcDestroy();

    static CDialogBase* s_pMainWnd;

    UINT m_templateId;
    HWND m_parent;
    bool m_endModal = false;
    INT_PTR m_result = 0;
};
