// The simulated camera's state, kept in the registry under HKCU\Software\KRYSim so that the
// control tool and the driver (loaded inside the program under test) share it. Every access
// reads or writes the registry afresh.
#pragma once

#include <windows.h>

#include <string>

class SimSettings {
public:
    static constexpr wchar_t kKeyPath[] = L"Software\\KRYSim";
    static constexpr DWORD kDefaultSensorKind = 1;
    static constexpr DWORD kDefaultSensorPixels = 307200;
    static constexpr wchar_t kDefaultStillFolder[] = L"C:\\krysim\\stills";
    static constexpr wchar_t kDefaultJournalPath[] = L"C:\\krysim\\journal.txt";

    static DWORD SensorKind();
    static DWORD SensorPixels();
    static bool ButtonPressed();
    static std::wstring StillFolder();
    static std::wstring JournalPath();
    static std::wstring LastStillPath();  // empty until the first still

    // Setters return a Win32 error code (ERROR_SUCCESS on success).
    static LONG SetSensorKind(DWORD kind);
    static LONG SetSensorPixels(DWORD pixels);
    static LONG SetButtonPressed(bool pressed);
    static LONG SetStillFolder(const std::wstring& folder);
    static LONG SetJournalPath(const std::wstring& path);
    static LONG SetLastStillPath(const std::wstring& path);

    // Reads and clears the button flag: true when a press was pending.
    static bool TakeButtonPress();
};
