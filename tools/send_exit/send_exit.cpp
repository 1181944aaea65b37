// Ends a running KRYTray the way another program would: WM_COPYDATA "EXIT" to its controller.
#include <windows.h>

#include <cstdio>

int main() {
    HWND controller = FindWindowA("#32770", "Velmora System Tray");
    if (controller == nullptr) {
        std::fprintf(stderr, "KRYTray is not running\n");
        return 1;
    }
    char text[] = "EXIT";
    COPYDATASTRUCT record{4402, 4, text};
    DWORD_PTR result = 0;
    SendMessageTimeoutA(controller, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record),
                        SMTO_ABORTIFHUNG, 5000, &result);
    return 0;
}
