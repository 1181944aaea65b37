// The yardstick of the performance report: the least a tray companion of this camera does. One
// hidden window, one notification-area icon, COM with the camera's capture filter in a filter
// graph, and a one-second timer whose tick reads CameraStatus and asks the driver to check the
// snapshot button. Nothing else: no menu, no action on the button, no logging. Ends on WM_CLOSE.
#include <windows.h>
#include <dshow.h>
#include <shellapi.h>
#include <wrl/client.h>

#include "camera/kry_extension_win32.h"
#include "win/handles_win32.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr char kWindowClass[] = "KRYMinimalTray";
constexpr UINT kIconId = 1;
constexpr UINT kCallbackMessage = WM_APP + 1;
constexpr UINT_PTR kStatusTimerId = 1;
constexpr UINT kStatusPeriodMs = 1000;
constexpr char kSettingsKey[] = "SOFTWARE\\Velmora\\QXLUMA64\\Current";

// The first video input device's capture filter, added to a new graph; both stay empty when
// there is none.
struct CameraGraph {
    ComPtr<IGraphBuilder> graph;
    ComPtr<IBaseFilter> filter;
    ComPtr<IKRYExtension> extension;
};

CameraGraph g_camera;

CameraGraph OpenFirstCamera() {
    CameraGraph camera;
    ComPtr<ICreateDevEnum> devices;
    ComPtr<IEnumMoniker> monikers;
    ComPtr<IMoniker> moniker;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                IID_ICreateDevEnum,
                                reinterpret_cast<void**>(devices.GetAddressOf()))) ||
        devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, monikers.GetAddressOf(),
                                       0) != S_OK ||
        monikers->Next(1, moniker.GetAddressOf(), nullptr) != S_OK ||
        FAILED(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter,
                                     reinterpret_cast<void**>(camera.filter.GetAddressOf()))) ||
        FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                reinterpret_cast<void**>(camera.graph.GetAddressOf())))) {
        return {};
    }
    camera.graph->AddFilter(camera.filter.Get(), L"Capture");
    camera.filter->QueryInterface(IID_IKRYExtension,
                                  reinterpret_cast<void**>(camera.extension.GetAddressOf()));
    return camera;
}

DWORD ReadCameraStatus() {
    DWORD status = 0;
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ | KEY_WOW64_64KEY, &opened) ==
        ERROR_SUCCESS) {
        const UniqueRegKey key(opened);
        DWORD size = sizeof status;
        RegQueryValueExA(key.get(), "CameraStatus", nullptr, nullptr,
                         reinterpret_cast<BYTE*>(&status), &size);
    }
    return status;
}

NOTIFYICONDATAA IconData(HWND window) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = window;
    data.uID = kIconId;
    return data;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            // Read as the real program reads it each second; the value itself is not used.
            ReadCameraStatus();
            if (g_camera.extension) {
                ExtensionBuffer block{};
                block.words[0] = kSnapPollWord;
                g_camera.extension->SetProperty(PROP_SNAP_POLL, &block, kExtensionBlockLength);
            }
            return 0;
        case WM_DESTROY: {
            NOTIFYICONDATAA data = IconData(window);
            Shell_NotifyIconA(NIM_DELETE, &data);
            PostQuitMessage(0);
            return 0;
        }
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

int Run(HINSTANCE instance) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    if (RegisterClassA(&windowClass) == 0) {
        return 1;
    }
    // Hidden and top-level, like the real program's icon window.
    HWND window = CreateWindowExA(0, kWindowClass, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    NOTIFYICONDATAA data = IconData(window);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kCallbackMessage;
    data.hIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    lstrcpynA(data.szTip, "Minimal Tray", sizeof data.szTip);
    Shell_NotifyIconA(NIM_ADD, &data);
    // After the icon, as the real program opens its camera after showing its first icon.
    g_camera = OpenFirstCamera();
    SetTimer(window, kStatusTimerId, kStatusPeriodMs, nullptr);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    g_camera = {};  // before COM goes
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (FAILED(CoInitialize(nullptr))) {
        return 1;
    }
    const int result = Run(instance);
    CoUninitialize();
    return result;
}
