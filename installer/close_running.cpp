// The Windows Installer package's close action: before files are replaced or removed, every
// running KRYTray is sent "EXIT" and given 5 s to end, as the NSIS setup does. Windows Installer
// runs it from its Binary table; exit code 0 when no copy runs any more, 1 when one kept running
// (the package then stops with 1603 and changes nothing). No window, no console.
#include <windows.h>

#include "app/exit_command.h"
#include "win/handles_win32.h"

namespace {

constexpr DWORD kExitWaitMs = 5000;
// A copy that keeps coming back must not hold the installation forever.
constexpr int kMaxRounds = 8;

// Asks the copy that owns `controller` to end and waits for its process; false when it still runs.
bool EndCopy(HWND controller) {
    DWORD processId = 0;
    GetWindowThreadProcessId(controller, &processId);
    UniqueKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
    char text[] = "EXIT";
    COPYDATASTRUCT record{kExitCopyDataId, 4, text};
    const ULONGLONG start = GetTickCount64();
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(controller, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record),
                        SMTO_ABORTIFHUNG, kExitWaitMs, &ignored);
    const ULONGLONG spent = GetTickCount64() - start;
    const DWORD left = spent >= kExitWaitMs ? 0 : kExitWaitMs - static_cast<DWORD>(spent);
    if (process) {
        return WaitForSingleObject(process.get(), left) == WAIT_OBJECT_0;
    }
    // No access to the process: wait for its window to go instead.
    for (DWORD waited = 0; IsWindow(controller) && waited < left; waited += 50) {
        Sleep(50);
    }
    return !IsWindow(controller);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    for (int round = 0; round < kMaxRounds; ++round) {
        HWND controller = FindWindowA("#32770", "Velmora System Tray");
        if (controller == nullptr) {
            return 0;
        }
        if (!EndCopy(controller)) {
            return 1;
        }
    }
    return 1;
}
