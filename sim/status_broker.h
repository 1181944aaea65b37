// The privileged side of the simulated driver. A real driver stores CameraStatus from the kernel
// with its own rights, whatever the token of the program that loaded it; this one runs inside
// the program, and a standard user's program may only read the machine's key. It then hands the
// value to a broker: a window served by a process with full rights, which stores it.
#pragma once

#include <windows.h>

#include <future>
#include <thread>

class StatusBroker {
public:
    // Serves the broker window on a thread of its own until destroyed.
    StatusBroker();
    ~StatusBroker();
    StatusBroker(const StatusBroker&) = delete;
    StatusBroker& operator=(const StatusBroker&) = delete;

    // The driver's side: asks the broker of another process to store `value`. Returns its Win32
    // error, or ERROR_ACCESS_DENIED when no broker answers.
    static LONG Forward(DWORD value);

private:
    static void Serve(std::promise<HWND>& created);

    std::thread m_thread;
    HWND m_window = nullptr;
};
