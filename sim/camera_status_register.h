// The driver's side of CameraStatus: the REG_DWORD under HKLM "SOFTWARE\Velmora\QXLUMA64\Current"
// in the 64-bit registry view. The program only reads it; the driver (and the control tool,
// standing in for the hardware) writes it.
#pragma once

#include <windows.h>

#include <optional>

class CameraStatusRegister {
public:
    // Empty when the key or the value is missing.
    static std::optional<DWORD> Read();
    // Writes the value, creating the key when needed; returns a Win32 error code.
    static LONG Write(DWORD value);
    static LONG SetBits(DWORD mask);
    static LONG ClearBits(DWORD mask);
};
