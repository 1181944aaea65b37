// kry_msgbox: the debug viewer. Owns a hidden top-level window titled "KRYMsgBox" and writes
// every WM_COPYDATA record it receives as one line "<dwData> <text>", flushed at once.
//
// Usage: kry_msgbox [--out <file>] [--seconds <n>]
//   --out      append the lines to <file> instead of standard output
//   --seconds  close after n seconds
// Ends on WM_CLOSE (e.g. `send_record --close`), Ctrl+C or the timeout.
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "record_line.h"

namespace {

constexpr char kTitle[] = "KRYMsgBox";
constexpr char kClassName[] = "KRYMsgBoxViewer";
constexpr UINT_PTR kTimeoutTimer = 1;

FILE* g_out = nullptr;
HWND g_window = nullptr;

LRESULT OnCopyData(const COPYDATASTRUCT* record) {
    if (record == nullptr) {
        return FALSE;
    }
    const auto* bytes = static_cast<const unsigned char*>(record->lpData);
    const std::size_t size = bytes != nullptr ? record->cbData : 0;
    const std::string line = FormatRecordLine(record->dwData, bytes, size);
    std::fwrite(line.data(), 1, line.size(), g_out);
    std::fflush(g_out);
    return TRUE;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COPYDATA:
            return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        case WM_TIMER:
            if (wParam == kTimeoutTimer) {
                DestroyWindow(window);
            }
            return 0;
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

BOOL WINAPI OnConsoleControl(DWORD) {
    // Runs on a thread of its own: let the window's thread end the loop.
    PostMessageA(g_window, WM_CLOSE, 0, 0);
    return TRUE;
}

int Usage() {
    std::fprintf(stderr, "usage: kry_msgbox [--out <file>] [--seconds <n>]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const char* outPath = nullptr;
    long seconds = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
            outPath = argv[++i];
        } else if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            char* end = nullptr;
            seconds = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || seconds <= 0 || seconds > 86400) {
                return Usage();
            }
        } else {
            return Usage();
        }
    }
    if (outPath != nullptr) {
        g_out = std::fopen(outPath, "ab");
        if (g_out == nullptr) {
            std::fprintf(stderr, "kry_msgbox: cannot open %s\n", outPath);
            return 1;
        }
    } else {
        _setmode(_fileno(stdout), _O_BINARY);  // one LF per record, as written
        g_out = stdout;
    }

    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClassName;
    if (RegisterClassA(&wc) == 0) {
        return 1;
    }
    // A hidden top-level window (not message-only): FindWindowA(NULL, "KRYMsgBox") finds it.
    g_window = CreateWindowExA(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                               CW_USEDEFAULT, 320, 200, nullptr, nullptr, wc.hInstance, nullptr);
    if (g_window == nullptr) {
        return 1;
    }
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    if (seconds > 0) {
        SetTimer(g_window, kTimeoutTimer, static_cast<UINT>(seconds * 1000), nullptr);
    }

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (g_out != stdout) {
        std::fclose(g_out);
    }
    return 0;
}
