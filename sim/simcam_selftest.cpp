// Smoke test of the simulated camera under Wine (or Windows): device enumeration and order,
// graph building, the IKRYExtension contract, the still pin, the property page and the journal.
// Needs `regsvr32 kry_simcam.dll` first. Plugs both devices itself and unplugs them at the end;
// restores CameraStatus and the sensor settings it changed.
//   simcam_selftest [--no-ui]
// --no-ui is for runs without a display: it skips the property frame and the window that
// listens for device-change broadcasts.
// Prints one line per failed check and "N passed, N failed"; exit code 1 on any failure.
#include <windows.h>
#include <dbt.h>
#include <dshow.h>
#include <olectl.h>
#include <wrl/client.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "camera/kry_extension_win32.h"
#include "settings/camera_status.h"
#include "sim/simcam_control.h"
#include "sim/simcam_ids.h"
#include "sim/simcam_resource.h"
#include "sim/text_convert.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr DWORD kUiTimeoutMs = 10000;
constexpr DWORD kTestKind = 2;
constexpr DWORD kTestPixels = 1310720;

int g_passed = 0;
int g_failed = 0;

void Check(bool condition, const std::string& what) {
    if (condition) {
        ++g_passed;
    } else {
        ++g_failed;
        std::printf("FAILED: %s\n", what.c_str());
    }
}

std::string Hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%lx", static_cast<unsigned long>(value));
    return text;
}

void CheckStatus(DWORD expected, const std::string& what) {
    const DWORD status = simcam::ReadCameraStatus().value_or(0);
    Check(status == expected,
          what + " (CameraStatus " + Hex(status) + ", expected " + Hex(expected) + ")");
}

struct Device {
    std::string displayName;
    std::string friendlyName;
    ComPtr<IMoniker> moniker;
};

// Lists the video input devices in the enumerator's order; `result` gets CreateClassEnumerator's.
std::vector<Device> EnumerateVideoInputs(HRESULT* result) {
    std::vector<Device> devices;
    ComPtr<ICreateDevEnum> deviceEnum;
    *result = CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                               IID_PPV_ARGS(&deviceEnum));
    if (FAILED(*result)) {
        return devices;
    }
    ComPtr<IEnumMoniker> monikers;
    *result = deviceEnum->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, &monikers, 0);
    if (*result != S_OK) {
        return devices;
    }
    ComPtr<IMoniker> moniker;
    while (monikers->Next(1, &moniker, nullptr) == S_OK) {
        Device device;
        LPOLESTR name = nullptr;
        if (SUCCEEDED(moniker->GetDisplayName(nullptr, nullptr, &name))) {
            device.displayName = NarrowToAnsi(name);
        }
        CoTaskMemFree(name);
        ComPtr<IPropertyBag> bag;
        if (SUCCEEDED(moniker->BindToStorage(nullptr, nullptr, IID_PPV_ARGS(&bag)))) {
            VARIANT value;
            VariantInit(&value);
            if (SUCCEEDED(bag->Read(L"FriendlyName", &value, nullptr)) && value.vt == VT_BSTR) {
                device.friendlyName = NarrowToAnsi(value.bstrVal);
            }
            VariantClear(&value);
        }
        device.moniker = moniker;
        devices.push_back(std::move(device));
        moniker.Reset();
    }
    return devices;
}

const Device* FindDevice(const std::vector<Device>& devices, const char* friendlyName) {
    for (const Device& device : devices) {
        if (device.friendlyName == friendlyName) {
            return &device;
        }
    }
    return nullptr;
}

size_t CountLines(const std::string& line) {
    size_t count = 0;
    for (const std::string& entry : simcam::JournalLines()) {
        count += entry == line ? 1 : 0;
    }
    return count;
}

// Index of the first journal line equal to `line`, or -1.
int JournalIndex(const std::string& line) {
    const std::vector<std::string> lines = simcam::JournalLines();
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == line) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// A capture graph as the program builds it: graph, builder, and the device's filter added.
struct Graph {
    ComPtr<IGraphBuilder> graph;
    ComPtr<ICaptureGraphBuilder2> builder;
    ComPtr<IBaseFilter> filter;
};

Graph OpenGraph(const Device& device) {
    Graph g;
    const std::string who = " (" + device.friendlyName + ")";
    Check(SUCCEEDED(CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_PPV_ARGS(&g.builder))),
          "create capture graph builder");
    Check(SUCCEEDED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_PPV_ARGS(&g.graph))),
          "create filter graph");
    Check(SUCCEEDED(device.moniker->BindToObject(nullptr, nullptr, IID_PPV_ARGS(&g.filter))),
          "bind moniker to its filter" + who);
    if (!g.builder || !g.graph || !g.filter) {
        return g;
    }
    Check(g.graph->AddFilter(g.filter.Get(), L"Webcam Video Capture") == S_OK, "AddFilter" + who);
    Check(g.builder->SetFiltergraph(g.graph.Get()) == S_OK, "SetFiltergraph" + who);
    return g;
}

bool PinHasCategory(IPin* pin, const GUID& category) {
    ComPtr<IKsPropertySet> properties;
    if (pin == nullptr || FAILED(pin->QueryInterface(IID_PPV_ARGS(&properties)))) {
        return false;
    }
    GUID found = {};
    DWORD returned = 0;
    return SUCCEEDED(properties->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0, &found,
                                     sizeof(found), &returned)) &&
           returned == sizeof(GUID) && IsEqualGUID(found, category);
}

void TestPins(const Graph& g) {
    ComPtr<IPin> still;
    Check(SUCCEEDED(g.builder->FindPin(g.filter.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_STILL, nullptr,
                                       FALSE, 0, &still)),
          "FindPin finds the still pin");
    Check(PinHasCategory(still.Get(), PIN_CATEGORY_STILL), "still pin reports its category");
    ComPtr<IPin> capture;
    Check(SUCCEEDED(g.builder->FindPin(g.filter.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE,
                                       nullptr, FALSE, 0, &capture)),
          "FindPin finds the capture pin");
    Check(PinHasCategory(capture.Get(), PIN_CATEGORY_CAPTURE), "capture pin reports its category");
    Check(still && capture && still.Get() != capture.Get(), "still and capture are two pins");
    ComPtr<IPin> input;
    Check(FAILED(
              g.builder->FindPin(g.filter.Get(), PINDIR_INPUT, nullptr, nullptr, FALSE, 0, &input)),
          "the filter has no input pin");
}

ExtensionBuffer Block(int32_t w0, int32_t w1 = 0) {
    return ExtensionBuffer{{w0, w1, 0, 0}};
}

void TestProperties(IKRYExtension* extension) {
    ExtensionBuffer block = Block(-7, -7);
    extension->GetProperty(PROP_SENSOR_KIND, &block, 16);
    Check(block.words[0] == static_cast<int32_t>(kTestKind), "PROP_SENSOR_KIND gives the kind");
    block = Block(-7, -7);
    extension->GetProperty(PROP_SENSOR_PIXELS, &block, 16);
    Check(block.words[0] == static_cast<int32_t>(kTestPixels),
          "PROP_SENSOR_PIXELS gives the pixel count");
    Check(block.words[1] == -7, "a get writes word 0 only");
    block = Block(-7, -7);
    extension->GetProperty(PROP_EFFECT, &block, 16);
    Check(block.words[0] == -7 && block.words[1] == -7, "a get of another id leaves the block");

    ExtensionBuffer status = Block(kStatusWord, 0x15);
    extension->SetProperty(PROP_STATUS, &status, 16);
    CheckStatus(0x15, "PROP_STATUS stores word 1");
    status = Block(4, 0x03);
    extension->SetProperty(PROP_STATUS, &status, 16);
    CheckStatus(0x15, "PROP_STATUS with word 0 other than 5 changes nothing");
    Check(CountLines("set 18 5 21 0 0") == 1 && CountLines("set 18 4 3 0 0") == 1,
          "the journal records both status sets with their words");

    ExtensionBuffer effect = Block(51);
    Check(SUCCEEDED(extension->SetProperty(PROP_EFFECT, &effect, 16)), "PROP_EFFECT accepted");
}

void TestSnapButton(IKRYExtension* extension) {
    simcam::WriteCameraStatus(STATUS_ACTIVE);
    ExtensionBuffer poll = Block(kSnapPollWord);
    extension->SetProperty(PROP_SNAP_POLL, &poll, 16);
    CheckStatus(STATUS_ACTIVE, "a poll without a press reports nothing");

    simcam::PressButton();
    Check(simcam::ButtonPressed(), "press sets the button flag");
    // The program polls from a thread that never initialised COM.
    std::thread poller([extension] {
        ExtensionBuffer block = Block(kSnapPollWord);
        extension->SetProperty(PROP_SNAP_POLL, &block, 16);
    });
    poller.join();
    CheckStatus((STATUS_ACTIVE | STATUS_SNAP_BUTTON),
                "a poll after a press sets STATUS_SNAP_BUTTON, from a thread without COM");
    Check(!simcam::ButtonPressed(), "the poll consumes the press");

    simcam::WriteCameraStatus(STATUS_ACTIVE);
    extension->SetProperty(PROP_SNAP_POLL, &poll, 16);
    CheckStatus(STATUS_ACTIVE, "one press is reported once");

    simcam::PressButton();
    poll = Block(3);
    extension->SetProperty(PROP_SNAP_POLL, &poll, 16);
    Check(simcam::ButtonPressed(), "a poll with word 0 other than 4 leaves the press pending");
    simcam::WriteCameraStatus(0);
    ExtensionBuffer released = Block(kSnapPollWord);
    extension->SetProperty(PROP_SNAP_POLL, &released, 16);
}

// Reads a BMP's header; false unless it is a complete 24-bit image of the given size.
bool IsBmpOfSize(const std::wstring& path, int width, int height) {
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (file == nullptr) {
        return false;
    }
    BITMAPFILEHEADER header = {};
    BITMAPINFOHEADER info = {};
    const bool read = std::fread(&header, sizeof(header), 1, file) == 1 &&
                      std::fread(&info, sizeof(info), 1, file) == 1;
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fclose(file);
    const long stride = (static_cast<long>(width) * 3 + 3) & ~3L;
    return read && header.bfType == 0x4D42 && info.biWidth == width && info.biHeight == height &&
           info.biBitCount == 24 && size == static_cast<long>(header.bfOffBits) + stride * height;
}

void TestStill(const Graph& g, IKRYExtension* extension) {
    ComPtr<IAMVideoControl> control;
    Check(SUCCEEDED(g.filter.As(&control)), "the filter has IAMVideoControl");
    ComPtr<IPin> still;
    ComPtr<IPin> capture;
    g.builder->FindPin(g.filter.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_STILL, nullptr, FALSE, 0,
                       &still);
    g.builder->FindPin(g.filter.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE, nullptr, FALSE, 0,
                       &capture);
    if (!control || !still || !capture) {
        return;
    }
    LONG caps = 0;
    Check(SUCCEEDED(control->GetCaps(still.Get(), &caps)) && (caps & VideoControlFlag_Trigger),
          "the still pin can be triggered");

    simcam::WriteCameraStatus(STATUS_ACTIVE);
    ExtensionBuffer row = Block(0);  // 160 x 120
    extension->SetProperty(PROP_STILL_SIZE, &row, 16);
    const std::wstring before = simcam::LastStillPath();
    Check(SUCCEEDED(control->SetMode(still.Get(), VideoControlFlag_Trigger)),
          "SetMode(still, trigger) succeeds");
    const std::wstring first = simcam::LastStillPath();
    Check(!first.empty() && first != before, "a trigger writes a new still");
    Check(IsBmpOfSize(first, 160, 120), "the still is a 160x120 24-bit BMP");
    CheckStatus((STATUS_ACTIVE | STATUS_STILL_READY), "a trigger sets STATUS_STILL_READY");
    Check(CountLines("still 8") >= 1, "the journal records the trigger");

    simcam::WriteCameraStatus(STATUS_ACTIVE);
    Check(FAILED(control->SetMode(capture.Get(), VideoControlFlag_Trigger)),
          "SetMode on the capture pin is refused");
    Check(
        simcam::LastStillPath() == first && simcam::ReadCameraStatus().value_or(0) == STATUS_ACTIVE,
        "a trigger on the capture pin takes no still");

    row = Block(15);  // one past the last row: refused, the size stays
    Check(FAILED(extension->SetProperty(PROP_STILL_SIZE, &row, 16)), "row 15 is refused");
    row = Block(3);  // 352 x 288
    extension->SetProperty(PROP_STILL_SIZE, &row, 16);
    control->SetMode(still.Get(), VideoControlFlag_Trigger);
    const std::wstring second = simcam::LastStillPath();
    Check(second != first && IsBmpOfSize(second, 352, 288), "row 3 gives a 352x288 still");
    Check(IsBmpOfSize(first, 160, 120), "a new still does not overwrite the last one");
    simcam::WriteCameraStatus(0);
}

void TestConcurrentCalls(IKRYExtension* extension) {
    constexpr int kThreads = 4;
    constexpr int kCalls = 50;
    const size_t before = CountLines("get 2");
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([extension] {
            for (int i = 0; i < kCalls; ++i) {
                ExtensionBuffer block = Block(0);
                extension->GetProperty(PROP_SENSOR_PIXELS, &block, 16);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    Check(CountLines("get 2") == before + kThreads * kCalls,
          "concurrent calls from several threads each leave one whole journal line");
}

// The frame is modal: run it on a thread of its own and work it from here.
struct FrameSearch {
    DWORD threadId;
    HWND button;
};

BOOL CALLBACK FindPressButtonChild(HWND child, LPARAM param) {
    char text[64] = {};
    GetWindowTextA(child, text, sizeof(text));
    if (GetDlgCtrlID(child) == IDC_PRESS_BUTTON &&
        std::strcmp(text, "Press snapshot button") == 0) {
        reinterpret_cast<FrameSearch*>(param)->button = child;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindPressButton(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<FrameSearch*>(param);
    if (GetWindowThreadProcessId(window, nullptr) == search->threadId) {
        EnumChildWindows(window, FindPressButtonChild, param);
    }
    return search->button == nullptr;
}

void TestPropertyFrame(IBaseFilter* filter) {
    ComPtr<ISpecifyPropertyPages> specify;
    Check(filter->QueryInterface(IID_PPV_ARGS(&specify)) == S_OK,
          "the camera filter has ISpecifyPropertyPages");
    if (!specify) {
        return;
    }
    CAUUID pages = {};
    specify->GetPages(&pages);
    Check(pages.cElems == 1 && IsEqualGUID(pages.pElems[0], CLSID_KRYSimCameraPage),
          "GetPages names the camera's page");
    Check(CountLines("pages") >= 1, "the journal records GetPages");

    ComPtr<IPropertyPage> page;
    Check(SUCCEEDED(CoCreateInstance(CLSID_KRYSimCameraPage, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_PPV_ARGS(&page))),
          "the page class is registered");
    if (page) {
        PROPPAGEINFO info = {};
        info.cb = sizeof(info);
        Check(SUCCEEDED(page->GetPageInfo(&info)) && info.pszTitle != nullptr &&
                  NarrowToAnsi(info.pszTitle) == kSimCameraPageTitle && info.size.cx > 0,
              "the page names itself \"Simulated Camera\"");
        CoTaskMemFree(info.pszTitle);
    }
    CoTaskMemFree(pages.pElems);
}

void TestPropertyFrameUi(IBaseFilter* filter) {
    IUnknown* object = filter;
    HRESULT frameResult = E_FAIL;
    std::atomic<DWORD> frameThreadId{0};
    std::thread frame([object, &frameResult, &frameThreadId] {
        frameThreadId = GetCurrentThreadId();
        CoInitialize(nullptr);
        GUID pageClass = CLSID_KRYSimCameraPage;
        IUnknown* objects[] = {object};
        frameResult = OleCreatePropertyFrame(nullptr, 30, 30, nullptr, 1, objects, 1, &pageClass, 0,
                                             0, nullptr);
        CoUninitialize();
    });
    FrameSearch search = {0, nullptr};
    const ULONGLONG deadline = GetTickCount64() + kUiTimeoutMs;
    while (search.button == nullptr && GetTickCount64() < deadline) {
        Sleep(20);
        search.threadId = frameThreadId;
        EnumWindows(FindPressButton, reinterpret_cast<LPARAM>(&search));
    }
    Check(search.button != nullptr, "the property frame shows the \"Press snapshot button\"");
    if (search.button != nullptr) {
        SendMessageW(search.button, BM_CLICK, 0, 0);
        Check(simcam::ButtonPressed(), "clicking the page's button presses the camera's button");
        HWND frameWindow = GetAncestor(search.button, GA_ROOT);
        char caption[128] = {};
        GetWindowTextA(frameWindow, caption, sizeof(caption));
        std::printf("property frame caption: \"%s\"\n", caption);
        PostMessageW(frameWindow, WM_COMMAND, IDCANCEL, 0);
    }
    frame.join();
    Check(SUCCEEDED(frameResult), "the property frame closes normally");
    simcam::WriteCameraStatus(0);
    ExtensionBuffer poll = Block(kSnapPollWord);
    ComPtr<IKRYExtension> extension;
    filter->QueryInterface(IID_IKRYExtension, reinterpret_cast<void**>(extension.GetAddressOf()));
    if (extension) {
        extension->SetProperty(PROP_SNAP_POLL, &poll, 16);
    }
    CheckStatus(STATUS_SNAP_BUTTON, "a press from the page is reported at the next poll");
}

// camctl.exe from the folder of this program, with `arguments`. While it runs, messages sent to
// this thread's windows are dispatched. Returns its exit code, or -1 when it did not run.
int RunCamctl(const std::string& arguments) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    folder.erase(folder.find_last_of("\\/") + 1);
    std::string commandLine = "\"" + folder + "camctl.exe\" " + arguments;
    // Its error messages are expected here: keep them out of the report.
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul;
    startup.hStdOutput = nul;
    startup.hStdError = nul;
    PROCESS_INFORMATION process = {};
    const BOOL started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process);
    CloseHandle(nul);
    if (!started) {
        return -1;
    }
    const ULONGLONG deadline = GetTickCount64() + kUiTimeoutMs;
    DWORD wait = WAIT_TIMEOUT;
    while (wait != WAIT_OBJECT_0 && GetTickCount64() < deadline) {
        wait = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 100, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
    }
    DWORD exitCode = static_cast<DWORD>(-1);
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(exitCode);
}

int g_deviceChanges = 0;

LRESULT CALLBACK CountDeviceChanges(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DEVICECHANGE && wParam == DBT_DEVNODES_CHANGED && lParam == 0) {
        ++g_deviceChanges;
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The program's controller is a hidden top-level window in another process: so is this one.
void TestCamctl(bool withUi) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = CountDeviceChanges;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"SimcamSelftestListener";
    RegisterClassW(&windowClass);
    HWND listener = nullptr;
    if (withUi) {
        listener = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10,
                                   nullptr, nullptr, windowClass.hInstance, nullptr);
        Check(listener != nullptr, "create a hidden top-level window");
    }
    Check(RunCamctl("devchange") == 0, "camctl devchange succeeds");
    if (withUi) {
        Check(g_deviceChanges == 1, "camctl devchange reaches a hidden window of another process");
    }
    Check(RunCamctl("plug") == 0 && simcam::IsPlugged(simcam::Device::Camera),
          "camctl plug adds the camera");
    if (withUi) {
        Check(g_deviceChanges == 2, "camctl plug announces the change");
    }
    Check(RunCamctl("unplug") == 0 && !simcam::IsPlugged(simcam::Device::Camera),
          "camctl unplug removes the camera");
    Check(RunCamctl("unplug") == 0, "unplugging an unplugged camera is no error");
    Check(RunCamctl("set-status 0x1b") == 0 && simcam::ReadCameraStatus() == 0x1bu,
          "camctl set-status takes hex");
    Check(RunCamctl("active off") == 0 && simcam::ReadCameraStatus() == 0x1au,
          "camctl active off clears STATUS_ACTIVE only");
    Check(RunCamctl("kind x7") == 2 && RunCamctl("active maybe") == 2 &&
              RunCamctl("frobnicate") == 2 && RunCamctl("kind") == 2,
          "camctl refuses bad commands and arguments with exit code 2");
    Check(RunCamctl("wait-journal no-such-line 100") == 1,
          "camctl wait-journal fails when the line does not come");
    if (listener != nullptr) {
        DestroyWindow(listener);
    }
    UnregisterClassW(windowClass.lpszClassName, windowClass.hInstance);
    simcam::WriteCameraStatus(0);
}

void TestEnumeration(const std::vector<Device>& devices) {
    for (const Device& device : devices) {
        std::printf("device: \"%s\" \"%s\"\n", device.friendlyName.c_str(),
                    device.displayName.c_str());
    }
    const Device* plain = FindDevice(devices, kSimPlainFriendlyName);
    const Device* camera = FindDevice(devices, kSimCameraFriendlyName);
    Check(plain != nullptr && camera != nullptr, "both devices are listed");
    if (plain == nullptr || camera == nullptr) {
        return;
    }
    Check(plain < camera, "the plain device is listed before the camera");
    Check(camera->displayName == kSimCameraDisplayName, "camera display name");
    Check(plain->displayName == kSimPlainDisplayName, "plain display name");
}

void TestPlainDevice(const Device& device) {
    Graph g = OpenGraph(device);
    if (!g.filter) {
        return;
    }
    ComPtr<IUnknown> extension;
    Check(g.filter->QueryInterface(IID_IKRYExtension,
                                   reinterpret_cast<void**>(extension.GetAddressOf())) ==
                  E_NOINTERFACE &&
              !extension,
          "the plain filter has no IKRYExtension");
    TestPins(g);
}

void TestCameraDevice(const Device& device, bool withUi) {
    Graph g = OpenGraph(device);
    if (!g.filter) {
        return;
    }
    ComPtr<IKRYExtension> extension;
    g.filter->QueryInterface(IID_IKRYExtension, reinterpret_cast<void**>(extension.GetAddressOf()));
    Check(extension != nullptr, "the camera filter has IKRYExtension");
    if (!extension) {
        return;
    }
    TestPins(g);
    TestProperties(extension.Get());
    TestSnapButton(extension.Get());
    TestStill(g, extension.Get());
    TestConcurrentCalls(extension.Get());
    TestPropertyFrame(g.filter.Get());
    if (withUi) {
        TestPropertyFrameUi(g.filter.Get());
    }
}

void TestReleaseAndUnplug() {
    Check(JournalIndex("filter-released") > JournalIndex("filter-created") &&
              JournalIndex("filter-created") >= 0,
          "the camera filter was released once the graph was");
    Check(JournalIndex("plain-released") > JournalIndex("plain-created") &&
              JournalIndex("plain-created") >= 0,
          "the plain filter was released once the graph was");

    simcam::Unplug(simcam::Device::Camera);
    HRESULT result = E_FAIL;
    std::vector<Device> devices = EnumerateVideoInputs(&result);
    Check(FindDevice(devices, kSimCameraFriendlyName) == nullptr &&
              FindDevice(devices, kSimPlainFriendlyName) != nullptr,
          "unplug removes the camera only");
    simcam::Unplug(simcam::Device::Plain);
    devices = EnumerateVideoInputs(&result);
    Check(result == S_FALSE && devices.empty(),
          "with nothing plugged the category is empty (S_FALSE)");
}

}  // namespace

int main(int argc, char** argv) {
    const bool withUi = !(argc > 1 && std::strcmp(argv[1], "--no-ui") == 0);
    if (FAILED(CoInitialize(nullptr))) {
        std::printf("CoInitialize failed\n");
        return 1;
    }
    const std::optional<DWORD> savedStatus = simcam::ReadCameraStatus();
    simcam::ClearJournal();
    simcam::SetSensorKind(kTestKind);
    simcam::SetSensorPixels(kTestPixels);
    Check(simcam::Plug(simcam::Device::Plain) == ERROR_SUCCESS, "plug-plain");
    Check(simcam::Plug(simcam::Device::Camera) == ERROR_SUCCESS, "plug");

    {
        HRESULT result = E_FAIL;
        const std::vector<Device> devices = EnumerateVideoInputs(&result);
        Check(result == S_OK, "the video input category lists devices");
        TestEnumeration(devices);
        if (const Device* plain = FindDevice(devices, kSimPlainFriendlyName)) {
            TestPlainDevice(*plain);
        }
        if (const Device* camera = FindDevice(devices, kSimCameraFriendlyName)) {
            TestCameraDevice(*camera, withUi);
        }
    }
    TestReleaseAndUnplug();
    TestCamctl(withUi);

    simcam::SetSensorKind(1);
    simcam::SetSensorPixels(307200);
    simcam::WriteCameraStatus(savedStatus.value_or(0));
    CoUninitialize();
    std::printf("%d passed, %d failed\n", g_passed, g_failed);
    return g_failed == 0 ? 0 : 1;
}
