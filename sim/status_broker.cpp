#include "sim/status_broker.h"

#include "sim/camera_status_register.h"

namespace {
constexpr wchar_t kWindowClass[] = L"KRYSimStatusBroker";
constexpr ULONG_PTR kStoreStatus = 0x4B53;  // the record's dwData: 4 bytes, the new value
constexpr UINT kAnswerTimeoutMs = 5000;

LRESULT CALLBACK BrokerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        const auto* record = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (record->dwData != kStoreStatus || record->cbData != sizeof(DWORD)) {
            return ERROR_INVALID_PARAMETER;
        }
        return CameraStatusRegister::Write(*static_cast<const DWORD*>(record->lpData));
    }
    if (message == WM_CLOSE) {
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
}  // namespace

StatusBroker::StatusBroker() {
    std::promise<HWND> created;
    std::future<HWND> window = created.get_future();
    m_thread = std::thread([created = std::move(created)]() mutable { Serve(created); });
    m_window = window.get();
}

StatusBroker::~StatusBroker() {
    if (m_window != nullptr) {
        PostMessageW(m_window, WM_CLOSE, 0, 0);
    }
    m_thread.join();
}

void StatusBroker::Serve(std::promise<HWND>& created) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = BrokerProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, kWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    created.set_value(window);
    MSG msg;
    while (window != nullptr && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageW(&msg);
    }
}

LONG StatusBroker::Forward(DWORD value) {
    HWND broker = FindWindowW(kWindowClass, nullptr);
    DWORD owner = 0;
    if (broker != nullptr) {
        GetWindowThreadProcessId(broker, &owner);
    }
    // A broker in this process has no more rights than the caller.
    if (broker == nullptr || owner == GetCurrentProcessId()) {
        return ERROR_ACCESS_DENIED;
    }
    COPYDATASTRUCT record{kStoreStatus, sizeof value, &value};
    DWORD_PTR answer = ERROR_ACCESS_DENIED;
    if (!SendMessageTimeoutW(broker, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record), SMTO_BLOCK,
                             kAnswerTimeoutMs, &answer)) {
        return ERROR_TIMEOUT;
    }
    return static_cast<LONG>(answer);
}
