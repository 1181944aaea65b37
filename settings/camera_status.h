// The CameraStatus bit set shared with the camera driver, and where settings live.
// Portable: no Windows headers.
#pragma once

#include <cstdint>

constexpr uint32_t STATUS_ACTIVE = 0x01;
constexpr uint32_t STATUS_SNAP_BUTTON = 0x02;
constexpr uint32_t STATUS_TRAY_EXIT = 0x04;
constexpr uint32_t STATUS_STILL_READY = 0x08;
constexpr uint32_t STATUS_SELF_TIMER = 0x10;
constexpr uint32_t STATUS_ALL = 0x1F;

// Under HKEY_LOCAL_MACHINE, 64-bit view on 64-bit Windows. The trailing backslash is intended.
constexpr const char* SettingsKeyPath = R"(SOFTWARE\Velmora\QXLUMA64\Current\)";
// Under HKEY_CURRENT_USER: a user's own choices, which win over the machine's.
constexpr const char* kUserSettingsKeyPath = R"(Software\Velmora\QXLUMA64\Current)";
constexpr const char* kValueCameraStatus = "CameraStatus";
constexpr const char* kValueTrayEnabled = "KRYTray";
constexpr const char* kValueDebugLevel = "debug";
constexpr const char* kValueQuickLaunch = "QuickLaunch";

// Only what each operation needs: full access to a key under HKEY_LOCAL_MACHINE is refused to
// standard users, which would turn the whole program off.
constexpr uint32_t kKeyRead = 0x20019;     // KEY_READ
constexpr uint32_t kKeySetValue = 0x0002;  // KEY_SET_VALUE
constexpr uint32_t kKeyWow64_64Key = 0x0100;

constexpr std::size_t kPathBufferSize = 512;  // characters of a quick-launch path, with its NUL
