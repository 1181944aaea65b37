// The Quick Launch Setting dialog: edits the path of the program that the camera's snapshot
// button starts. OK stores the field's text and closes, or says why it could not and stays open;
// Cancel stores nothing.
#pragma once

#include <windows.h>

#include "win/dialog_base_win32.h"

class SettingsStore;

class CQuickLaunchDialog : public CDialogBase {
public:
    // `parent` may be null.
    CQuickLaunchDialog(SettingsStore& settings, HWND parent);

protected:
    BOOL OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnOpenClicked();
    void OnOkClicked();
    void ShowSaveError(DWORD error);

    SettingsStore& m_settings;
};
