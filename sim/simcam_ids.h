// Identities of the simulated camera driver: COM classes, device entries and the names that
// Wine's system device enumerator builds from them. Shared by the driver, its control tool and
// the Windows test programs.
#pragma once

#include <windows.h>

// The camera's capture filter, with IKRYExtension.
// {9BFF5F83-1A11-4BA4-ACDF-1350E1269B70}
inline constexpr GUID CLSID_KRYSimCamera = {
    0x9bff5f83, 0x1a11, 0x4ba4, {0xac, 0xdf, 0x13, 0x50, 0xe1, 0x26, 0x9b, 0x70}};

// A capture filter without IKRYExtension, otherwise like the camera's.
// {4E9DB14C-DB6E-430A-B85F-744A88925EA5}
inline constexpr GUID CLSID_KRYSimPlainCamera = {
    0x4e9db14c, 0xdb6e, 0x430a, {0xb8, 0x5f, 0x74, 0x4a, 0x88, 0x92, 0x5e, 0xa5}};

// The camera filter's property page.
// {31B2DC17-DD2C-4B83-B341-A7C655550A82}
inline constexpr GUID CLSID_KRYSimCameraPage = {
    0x31b2dc17, 0xdd2c, 0x4b83, {0xb3, 0x41, 0xa7, 0xc6, 0x55, 0x55, 0x0a, 0x82}};

// Video input devices are listed under this category's Instance key, one subkey per device.
// The subkeys are named after the filter's CLSID. The enumerator lists them sorted by name, so
// the plain camera ({4E9D...}) comes before the simulated one ({9BFF...}) when both are plugged.
inline constexpr wchar_t kVideoInputInstanceKey[] =
    L"CLSID\\{860BB310-5D01-11D0-BD3B-00A0C911CE86}\\Instance";
inline constexpr wchar_t kSimCameraInstanceName[] = L"{9BFF5F83-1A11-4BA4-ACDF-1350E1269B70}";
inline constexpr wchar_t kSimPlainInstanceName[] = L"{4E9DB14C-DB6E-430A-B85F-744A88925EA5}";

inline constexpr char kSimCameraFriendlyName[] = "KRY Simulated Camera";
inline constexpr char kSimPlainFriendlyName[] = "KRY Plain Camera";

// Moniker display names as Wine's enumerator reports them (software device, category, subkey).
inline constexpr char kSimCameraDisplayName[] =
    "@device:sw:{860BB310-5D01-11D0-BD3B-00A0C911CE86}\\{9BFF5F83-1A11-4BA4-ACDF-1350E1269B70}";
inline constexpr char kSimPlainDisplayName[] =
    "@device:sw:{860BB310-5D01-11D0-BD3B-00A0C911CE86}\\{4E9DB14C-DB6E-430A-B85F-744A88925EA5}";

// Title of the camera's property page (the frame's caption is chosen by the system).
inline constexpr char kSimCameraPageTitle[] = "Simulated Camera";
