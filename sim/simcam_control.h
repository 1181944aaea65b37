// Control of the simulated camera from outside the program under test: plugging devices in and
// out, pressing the camera's button, configuring the sensor, standing in for the driver's own
// CameraStatus changes, and reading the driver's call journal. camctl.exe is a thin command
// line over these functions; Windows test programs link them directly.
//
// Functions that change something return a Win32 error code: ERROR_SUCCESS (0) on success.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace simcam {

enum class Device {
    Camera,  // "KRY Simulated Camera": capture filter with IKRYExtension
    Plain,   // "KRY Plain Camera": capture filter without it
};

// Adds or removes the device's video input entry, then tells every top-level window with
// WM_DEVICECHANGE (DBT_DEVNODES_CHANGED). Removing a device that is not plugged is no error.
LONG Plug(Device device);
LONG Unplug(Device device);
bool IsPlugged(Device device);

// WM_DEVICECHANGE (DBT_DEVNODES_CHANGED) to all top-level windows, as for an unrelated device.
// Returns once every window has handled it or timed out.
void BroadcastDeviceChange();

// The camera's snapshot button: the driver reports a pending press at the next poll.
LONG PressButton();
bool ButtonPressed();

LONG SetSensorKind(DWORD kind);
LONG SetSensorPixels(DWORD pixels);

// CameraStatus in the 64-bit registry view, as the driver keeps it.
std::optional<DWORD> ReadCameraStatus();
LONG WriteCameraStatus(DWORD value);
LONG SetActive(bool active);  // sets or clears STATUS_ACTIVE

// Where the driver writes still images and its journal.
LONG SetStillFolder(const std::wstring& folder);
LONG SetJournalPath(const std::wstring& path);
std::wstring StillFolder();
std::wstring JournalPath();
std::wstring LastStillPath();  // the most recent still image, empty before the first

// The driver's call journal (format in journal.h).
std::string ReadJournal();
std::vector<std::string> JournalLines();
LONG ClearJournal();

// Polls until the journal holds a line equal to `line`, or until `timeoutMs` has passed.
bool WaitForJournalLine(const std::string& line, DWORD timeoutMs);
// Polls until (CameraStatus & mask) == expected, or until `timeoutMs` has passed.
bool WaitForCameraStatus(DWORD mask, DWORD expected, DWORD timeoutMs);

}  // namespace simcam
