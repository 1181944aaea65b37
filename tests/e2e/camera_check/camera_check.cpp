// camera_check: the camera layer (DirectShow capture system, camera object, discovery) against
// the simulated camera driver. Prints one line per check; the exit code is the number of failed
// checks (2 when the driver cannot even be registered).
//
// Expects kry_simcam.dll beside the program; registers it itself.
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "camera/camera_device.h"
#include "camera/directshow_system_win32.h"
#include "camera/discovery.h"
#include "debug_record_capture.h"
#include "diag/debug_log.h"
#include "sim/simcam_control.h"
#include "sim/simcam_ids.h"

#include "tests/e2e/check_report.h"

namespace {

DebugRecordCapture* g_capture = nullptr;

std::vector<DebugRecord> TakeLog() {
    return g_capture->Take();
}

// Journal lines written since the last call.
class JournalCursor {
public:
    std::vector<std::string> Next() {
        const std::vector<std::string> lines = simcam::JournalLines();
        std::vector<std::string> fresh(lines.begin() + std::min(m_seen, lines.size()), lines.end());
        m_seen = lines.size();
        return fresh;
    }

private:
    std::size_t m_seen = 0;
};

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Position of `line` in `lines`, or lines.size() when absent.
std::size_t IndexOf(const std::vector<std::string>& lines, const std::string& line) {
    return static_cast<std::size_t>(std::find(lines.begin(), lines.end(), line) - lines.begin());
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += (text.empty() ? "" : " | ") + line;
    }
    return "[" + text + "]";
}

bool RegisterDriver() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dll(path, length);
    dll = dll.substr(0, dll.find_last_of("\\/") + 1) + "kry_simcam.dll";
    const HMODULE module = LoadLibraryA(dll.c_str());
    if (!module) {
        std::printf("FAIL cannot load %s (error %lu)\n", dll.c_str(), GetLastError());
        return false;
    }
    using RegisterFn = HRESULT(STDAPICALLTYPE*)();
    const auto registerServer = reinterpret_cast<RegisterFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, "DllRegisterServer")));
    const HRESULT hr = registerServer ? registerServer() : E_NOINTERFACE;
    FreeLibrary(module);
    if (FAILED(hr)) {
        std::printf("FAIL DllRegisterServer: 0x%08lx\n", static_cast<unsigned long>(hr));
    }
    return SUCCEEDED(hr);
}

// Each look as the first after a change of the devices.
DiscoveryResult Discover(CCameraDevice& camera, std::atomic<uint8_t>& present) {
    DeviceListMemory memory;
    return DiscoverCamera(camera, GetDirectShowCaptureSystem(), present, memory).result;
}

void CheckEmptyCategory(CCameraDevice& camera, std::atomic<uint8_t>& present) {
    std::vector<std::string> displayNames;
    std::vector<std::string> friendlyNames;
    const long hr = GetDirectShowCaptureSystem().EnumerateDevices(displayNames, friendlyNames);
    Expect(hr == S_FALSE && displayNames.empty() && friendlyNames.empty(),
           "no device: the empty category answers S_FALSE and lists nothing (hr " +
               std::to_string(hr) + ")");
    Expect(Discover(camera, present) == DiscoveryResult::NoneListed && present == 0,
           "no device: discovery holds no camera");
    Expect(TakeLog().empty(), "no device: nothing logged");
}

void CheckDiscoveryPicksTheCamera(CCameraDevice& camera, std::atomic<uint8_t>& present,
                                  JournalCursor& journal) {
    std::vector<std::string> displayNames{"kept"};
    std::vector<std::string> friendlyNames{"Kept"};
    GetDirectShowCaptureSystem().EnumerateDevices(displayNames, friendlyNames);
    Expect(
        displayNames ==
            std::vector<std::string>{"kept", kSimPlainDisplayName, kSimCameraDisplayName},
        "enumeration appends the plain device first, the camera second: " + Joined(displayNames));
    Expect(friendlyNames ==
               std::vector<std::string>{"Kept", kSimPlainFriendlyName, kSimCameraFriendlyName},
           "friendly names stay aligned: " + Joined(friendlyNames));
    journal.Next();

    Expect(Discover(camera, present) == DiscoveryResult::Held && present == 1,
           "discovery accepts a camera");
    Expect(camera.DisplayName() == kSimCameraDisplayName, "the camera's display name is held");
    Expect(camera.FriendlyName() == kSimCameraFriendlyName, "the camera's friendly name is held");
    const std::vector<DebugRecord> log = TakeLog();
    Expect(log.size() == 1 && log[0].level == kLogEvent && log[0].text == kSimCameraFriendlyName,
           "the friendly name is logged once at level 100");

    const std::vector<std::string> lines = journal.Next();
    const std::size_t plainReleased = IndexOf(lines, "plain-released");
    const std::size_t cameraCreated = IndexOf(lines, "filter-created");
    Expect(Contains(lines, "plain-created") && plainReleased < cameraCreated,
           "the plain device is opened and released before the camera: " + Joined(lines));
    Expect(cameraCreated < IndexOf(lines, "get 2"), "the camera is proven with PROP_SENSOR_PIXELS");
}

void CheckProperties(CCameraDevice& camera, JournalCursor& journal) {
    // A sensor does not change while plugged in: kind and size are what the open read.
    simcam::SetSensorKind(3);
    simcam::SetSensorPixels(1310720);
    ExtensionBuffer kind{};
    const int kindResult = camera.GetExtensionProperty(PROP_SENSOR_KIND, &kind);
    Expect(
        kindResult == 0 && kind.words[0] == 1,
        "PROP_SENSOR_KIND answers the kind read at open (" + std::to_string(kind.words[0]) + ")");
    ExtensionBuffer pixels{};
    const int pixelsResult = camera.GetExtensionProperty(PROP_SENSOR_PIXELS, &pixels);
    Expect(pixelsResult == 0 && pixels.words[0] == 307200,
           "PROP_SENSOR_PIXELS answers the size read at open (" + std::to_string(pixels.words[0]) +
               ")");

    ExtensionBuffer status{{kStatusWord, 0x10, 0, 0}};
    Expect(camera.SetExtensionProperty(PROP_STATUS, &status) == 0,
           "PROP_STATUS reaches the driver");
    camera.SetEffect(53);
    Expect(camera.TriggerStill() == 0, "TriggerStill returns 0");

    const std::vector<std::string> lines = journal.Next();
    Expect(lines == std::vector<std::string>{"set 18 5 16 0 0", "set 3 53 0 0 0", "still 8"},
           "the journal holds exactly the calls made: " + Joined(lines));
}

// The snap-button poller calls from its own thread, without COM initialised there, on the
// filter the UI thread made.
void CheckPollerThread(CCameraDevice& camera, JournalCursor& journal) {
    int result = -2;
    std::thread poller([&] {
        ExtensionBuffer block{{kSnapPollWord, 0, 0, 0}};
        result = camera.SetExtensionProperty(PROP_SNAP_POLL, &block);
    });
    poller.join();
    const std::vector<std::string> lines = journal.Next();
    Expect(result == 0 && lines == std::vector<std::string>{"set 14 4 0 0 0"},
           "PROP_SNAP_POLL from another thread reaches the driver: " + Joined(lines));
}

void CheckPropertyPages(JournalCursor& journal) {
    std::unique_ptr<ICaptureGraph> graph;
    const long hr = GetDirectShowCaptureSystem().OpenGraph(kSimCameraDisplayName, graph);
    Expect(hr == S_OK && graph && graph->PreparePropertyPages() != nullptr,
           "the camera filter offers property pages");
    graph.reset();
    GetDirectShowCaptureSystem().OpenGraph(kSimPlainDisplayName, graph);
    Expect(graph && graph->PreparePropertyPages() == nullptr,
           "the plain filter offers no property pages");
    graph.reset();
    const std::vector<std::string> lines = journal.Next();
    Expect(Contains(lines, "pages") && Contains(lines, "filter-released") &&
               Contains(lines, "plain-released"),
           "GetPages is asked and both filters are released: " + Joined(lines));
}

void CheckUnrelatedDeviceChange(CCameraDevice& camera, std::atomic<uint8_t>& present,
                                JournalCursor& journal) {
    journal.Next();
    simcam::Unplug(simcam::Device::Plain);
    const bool heldAfterUnplug = Discover(camera, present) == DiscoveryResult::Held;
    simcam::Plug(simcam::Device::Plain);
    const bool heldAfterPlug = Discover(camera, present) == DiscoveryResult::Held;
    Expect(heldAfterUnplug && heldAfterPlug && present == 1 &&
               camera.DisplayName() == kSimCameraDisplayName,
           "an unrelated device coming and going keeps the camera");
    const std::vector<std::string> lines = journal.Next();
    Expect(lines.empty(), "nothing is closed or reopened: " + Joined(lines));
    Expect(TakeLog().empty(), "nothing is logged");
}

void CheckVanishedDevice(JournalCursor& journal) {
    CCameraDevice probe(GetDirectShowCaptureSystem());
    const std::string gone =
        "@device:sw:{860BB310-5D01-11D0-BD3B-00A0C911CE86}\\{00000000-0000-0000-0000-000000000000}";
    const long hr = probe.Open(gone, "Gone");
    ExtensionBuffer block{{7, 0, 0, 0}};
    Expect(hr < 0 && probe.GetExtensionProperty(PROP_SENSOR_PIXELS, &block) == -1 &&
               block.words[0] == 7 && probe.TriggerStill() == -1,
           "a device gone before its open fails to open and answers -1");
    Expect(probe.FriendlyName() == "Gone" && probe.Close() == 0 && probe.FriendlyName().empty(),
           "its names stay until Close");
    journal.Next();
}

void CheckUnplug(CCameraDevice& camera, std::atomic<uint8_t>& present, JournalCursor& journal) {
    journal.Next();
    simcam::Unplug(simcam::Device::Camera);
    Expect(Discover(camera, present) != DiscoveryResult::Held && present == 0,
           "after unplug, discovery holds no camera");
    Expect(camera.DisplayName().empty() && camera.FriendlyName().empty(),
           "the camera object is closed");
    const std::vector<std::string> lines = journal.Next();
    Expect(IndexOf(lines, "filter-released") < IndexOf(lines, "plain-created") &&
               Contains(lines, "plain-released"),
           "the camera is released, the plain device tried and released: " + Joined(lines));
    ExtensionBuffer block{};
    Expect(camera.SetExtensionProperty(PROP_SNAP_POLL, &block) == -1 && journal.Next().empty(),
           "a poll after unplug goes nowhere");
    Expect(TakeLog().empty(), "nothing is logged");
}

}  // namespace

int main() {
    if (FAILED(CoInitialize(nullptr))) {
        std::printf("FAIL CoInitialize\n");
        return 2;
    }
    if (!RegisterDriver()) {
        CoUninitialize();
        return 2;
    }
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string journalPath = std::string(temp) + "camera_check_journal.txt";
    simcam::SetJournalPath(std::wstring(journalPath.begin(), journalPath.end()));
    // A folder of our own, emptied afterwards: the still trigger makes the driver write an image.
    const std::string stillFolder =
        std::string(temp) + "camera_check_stills_" + std::to_string(GetCurrentProcessId());
    simcam::SetStillFolder(std::wstring(stillFolder.begin(), stillFolder.end()));
    simcam::ClearJournal();
    simcam::Unplug(simcam::Device::Camera);
    simcam::Unplug(simcam::Device::Plain);
    DebugRecordCapture capture(kLogEvent);
    g_capture = &capture;
    {
        CCameraDevice camera(GetDirectShowCaptureSystem());
        std::atomic<uint8_t> present{0};
        JournalCursor journal;

        CheckEmptyCategory(camera, present);
        simcam::Plug(simcam::Device::Camera);
        simcam::Plug(simcam::Device::Plain);
        CheckDiscoveryPicksTheCamera(camera, present, journal);
        CheckProperties(camera, journal);
        CheckPollerThread(camera, journal);
        CheckPropertyPages(journal);
        CheckVanishedDevice(journal);
        CheckUnrelatedDeviceChange(camera, present, journal);
        CheckUnplug(camera, present, journal);

        simcam::Unplug(simcam::Device::Plain);
        camera.Close();
    }
    g_capture = nullptr;
    const std::wstring still = simcam::LastStillPath();
    if (!still.empty()) {
        DeleteFileW(still.c_str());
    }
    RemoveDirectoryA(stillFolder.c_str());
    CoUninitialize();
    std::printf("%d check(s) failed\n", g_failures);
    return g_failures;
}
