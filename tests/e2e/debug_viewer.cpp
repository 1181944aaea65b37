#include "debug_viewer.h"

#include <algorithm>

namespace {
constexpr const char* kClassName = "KRYE2EViewer";
constexpr UINT kStallMessage = WM_APP + 1;
}  // namespace

DebugViewer::DebugViewer() {
    m_thread = std::thread([this] { Run(); });
    std::unique_lock lock(m_mutex);
    m_arrived.wait(lock, [this] { return m_ready; });
}

DebugViewer::~DebugViewer() {
    Resume();
    if (m_window != nullptr) {
        PostMessageA(m_window, WM_CLOSE, 0, 0);
    }
    m_thread.join();
    CloseHandle(m_resume);
}

void DebugViewer::Run() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, kClassName, "KRYMsgBox", WS_POPUP, 0, 0, 10, 10, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), this);
    {
        std::lock_guard lock(m_mutex);
        m_window = window;
        m_ready = true;
    }
    m_arrived.notify_all();
    MSG msg;
    while (window != nullptr && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageA(&msg);
    }
}

LRESULT CALLBACK DebugViewer::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<DebugViewer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
        case WM_COPYDATA: {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            DebugRecord record{static_cast<unsigned>(data->dwData),
                               std::string(static_cast<const char*>(data->lpData), data->cbData),
                               std::chrono::steady_clock::now()};
            {
                std::lock_guard lock(self->m_mutex);
                self->m_records.push_back(std::move(record));
            }
            self->m_arrived.notify_all();
            return TRUE;
        }
        case kStallMessage:
            WaitForSingleObject(self->m_resume, INFINITE);
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

void DebugViewer::Stall() {
    ResetEvent(m_resume);
    PostMessageA(m_window, kStallMessage, 0, 0);
}

void DebugViewer::Resume() {
    SetEvent(m_resume);
}

std::vector<DebugRecord> DebugViewer::Records() const {
    std::lock_guard lock(m_mutex);
    return m_records;
}

void DebugViewer::Clear() {
    std::lock_guard lock(m_mutex);
    m_records.clear();
}

int DebugViewer::Count(const std::string& text) const {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(std::count_if(m_records.begin(), m_records.end(),
                                          [&](const DebugRecord& r) { return r.text == text; }));
}

bool DebugViewer::WaitFor(const std::string& text, std::chrono::milliseconds timeout,
                          int count) const {
    std::unique_lock lock(m_mutex);
    return m_arrived.wait_for(lock, timeout, [&] {
        return std::count_if(m_records.begin(), m_records.end(),
                             [&](const DebugRecord& r) { return r.text == text; }) >= count;
    });
}

bool DebugViewer::FirstTime(const std::string& text,
                            std::chrono::steady_clock::time_point* when) const {
    std::lock_guard lock(m_mutex);
    for (const auto& record : m_records) {
        if (record.text == text) {
            *when = record.when;
            return true;
        }
    }
    return false;
}
