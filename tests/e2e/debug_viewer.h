// Stands in for the debug viewer: a window titled "KRYMsgBox" on its own thread that keeps
// every record the program sends.
#pragma once

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct DebugRecord {
    unsigned level;
    std::string text;
    std::chrono::steady_clock::time_point when;
};

class DebugViewer {
public:
    DebugViewer();
    ~DebugViewer();
    DebugViewer(const DebugViewer&) = delete;
    DebugViewer& operator=(const DebugViewer&) = delete;

    std::vector<DebugRecord> Records() const;
    void Clear();
    // Waits until `count` records with this exact text have arrived; false at the deadline.
    bool WaitFor(const std::string& text, std::chrono::milliseconds timeout, int count = 1) const;
    int Count(const std::string& text) const;
    // The record's arrival time, or nullopt-like false when absent.
    bool FirstTime(const std::string& text, std::chrono::steady_clock::time_point* when) const;
    // Makes the viewer stop responding (its thread blocks) until Resume.
    void Stall();
    void Resume();

private:
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    void Run();

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_arrived;
    std::vector<DebugRecord> m_records;
    HWND m_window = nullptr;
    HANDLE m_resume = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    bool m_ready = false;
    std::thread m_thread;
};
