// Stands in for a copy of KRYTray that does not end on "EXIT": a dialog-class window with the
// controller's title that answers every message (copy data included) and goes on running until
// it is terminated.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    HWND window = CreateWindowExA(0, "#32770", "Velmora System Tray", WS_POPUP, 0, 0, 10, 10,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window == nullptr) {
        return 1;
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    return 0;
}
