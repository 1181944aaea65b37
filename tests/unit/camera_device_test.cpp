#include "camera/camera_device.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "debug_record_capture.h"
#include "fake_capture_system.h"
#include "memory_settings_backend.h"

namespace {

// Any name opens with a full filter, as a camera that is there.
void AnyNameOpens(FakeCaptureSystem& system) {
    system.openUnlisted = true;
    system.noFilterResult = static_cast<int32_t>(0x80004005);  // E_FAIL
}

class CameraDeviceTest : public ::testing::Test {
protected:
    FakeCaptureSystem m_system{AnyNameOpens};
    CCameraDevice m_camera{m_system};
};

TEST_F(CameraDeviceTest, ClosedCameraAnswersMinusOneAndTouchesNothing) {
    ExtensionBuffer block{{7, 8, 9, 10}};
    EXPECT_EQ(m_camera.GetExtensionProperty(PROP_SENSOR_PIXELS, &block), -1);
    EXPECT_EQ(block.words[0], 7);
    EXPECT_EQ(m_camera.SetExtensionProperty(PROP_SNAP_POLL, &block), -1);
    EXPECT_EQ(m_camera.SetVideoControlMode(8), -1);
    EXPECT_EQ(m_camera.TriggerStill(), -1);
    m_camera.SetEffect(5);
    m_camera.ShowPropertyPages();
    EXPECT_TRUE(m_system.calls.empty());

    EXPECT_EQ(m_camera.Close(), 0);
    EXPECT_EQ(m_camera.Close(), 0);
    EXPECT_EQ(m_camera.FriendlyName(), "");
    EXPECT_EQ(m_camera.DisplayName(), "");
}

TEST_F(CameraDeviceTest, OpenCameraReachesTheDriver) {
    EXPECT_EQ(m_camera.Open("@device:cam", "Cam"), 0);
    EXPECT_EQ(m_camera.FriendlyName(), "Cam");
    EXPECT_EQ(m_camera.DisplayName(), "@device:cam");

    ExtensionBuffer block{};
    EXPECT_EQ(m_camera.GetExtensionProperty(PROP_SENSOR_KIND, &block), 0);
    EXPECT_EQ(block.words[0], 1001);
    ExtensionBuffer status{{kStatusWord, 0x12, 0, 0}};
    EXPECT_EQ(m_camera.SetExtensionProperty(PROP_STATUS, &status), 0);
    m_camera.SetEffect(53);
    EXPECT_EQ(m_camera.TriggerStill(), 0);
    m_camera.ShowPropertyPages();

    EXPECT_EQ(m_system.calls,
              (std::vector<std::string>{"open @device:cam", "get 1", "get 2", "set 18 5 18",
                                        "set 3 53 0", "still 8", "pages"}));
}

TEST_F(CameraDeviceTest, ADeviceGoneFromUnderTheFilterMarksTheCameraUntilReopened) {
    EXPECT_TRUE(IsDeviceGoneResult(static_cast<int32_t>(0x8007048F)));   // not connected
    EXPECT_TRUE(IsDeviceGoneResult(static_cast<int32_t>(0x80070002)));   // file not found
    EXPECT_FALSE(IsDeviceGoneResult(static_cast<int32_t>(0x80004005)));  // E_FAIL
    EXPECT_FALSE(IsDeviceGoneResult(static_cast<int32_t>(0x80070005)));  // access denied
    EXPECT_FALSE(IsDeviceGoneResult(0x48F));

    m_camera.Open("@device:cam", "Cam");
    ExtensionBuffer block{};
    m_system.setAnswer = -1;
    m_camera.SetExtensionProperty(PROP_SNAP_POLL, &block);
    EXPECT_FALSE(m_camera.IsGone()) << "a driver's own failure is no reason to reopen";
    m_system.setAnswer = kCameraGone;
    EXPECT_EQ(m_camera.SetExtensionProperty(PROP_SNAP_POLL, &block), kCameraGone);
    EXPECT_TRUE(m_camera.IsGone());
    m_camera.Open("@device:cam", "Cam");
    EXPECT_FALSE(m_camera.IsGone());
    m_camera.SetExtensionProperty(PROP_SNAP_POLL, &block);
    m_camera.Close();
    EXPECT_FALSE(m_camera.IsGone());
}

TEST_F(CameraDeviceTest, FailedOpenKeepsNamesAndGraphUntilClose) {
    m_system.openUnlisted = false;
    EXPECT_LT(m_camera.Open("@device:gone", "Gone"), 0);
    EXPECT_EQ(m_camera.FriendlyName(), "Gone");
    EXPECT_EQ(m_camera.DisplayName(), "@device:gone");
    EXPECT_EQ(m_system.graphsAlive, 1);
    ExtensionBuffer block{};
    EXPECT_EQ(m_camera.GetExtensionProperty(PROP_SENSOR_PIXELS, &block), -1);

    EXPECT_EQ(m_camera.Close(), 0);
    EXPECT_EQ(m_system.graphsAlive, 0);
    EXPECT_EQ(m_camera.FriendlyName(), "");
    EXPECT_EQ(m_camera.DisplayName(), "");
}

TEST_F(CameraDeviceTest, ReopeningReleasesThePreviousGraph) {
    m_camera.Open("@device:a", "A");
    m_camera.Open("@device:b", "B");
    EXPECT_EQ(m_system.graphsAlive, 1);
    EXPECT_EQ(m_camera.DisplayName(), "@device:b");
    m_camera.OpenGraph("@device:c");
    EXPECT_EQ(m_system.graphsAlive, 1);
    m_camera.Close();
    EXPECT_EQ(m_system.graphsAlive, 0);
}

// The property frame is modal and pumps messages: a device change handled meanwhile closes or
// reopens the camera, which must neither deadlock nor pull the filter from under the frame.
TEST_F(CameraDeviceTest, PropertyFrameRunsOutsideTheLock) {
    m_camera.Open("@device:cam", "Cam");
    int graphsDuringRun = -1;
    m_system.onPagesRun = [&] {
        ExtensionBuffer block{};
        EXPECT_EQ(m_camera.GetExtensionProperty(PROP_SENSOR_PIXELS, &block), 0);
        m_camera.Close();
        graphsDuringRun = m_system.graphsAlive;
    };
    m_camera.ShowPropertyPages();
    EXPECT_EQ(graphsDuringRun, 0);
    EXPECT_EQ(m_camera.FriendlyName(), "");
}

// Graphs that notice being used while or after they are released.
void Guarded(FakeCaptureSystem& system) {
    system.openUnlisted = true;
    system.guarded = true;
}

// A driver call that hangs on the poller's thread: the UI thread's calls give up after the
// patience, the names and the sensor stay readable, and Close leaves the graph to the stuck
// call, which releases it on return.
TEST(CameraDeviceThreads, AStuckCallMakesOthersBusyAndCloseWaitsForNoOne) {
    FakeCaptureSystem system{AnyNameOpens};
    CCameraDevice camera(system, std::chrono::milliseconds(20));
    camera.Open("@device:cam", "Cam");
    std::promise<void> entered;
    std::promise<void> release;
    system.onSet = [&, released = release.get_future().share()] {
        entered.set_value();
        released.wait();
    };
    std::thread poller([&] {
        ExtensionBuffer block{{kSnapPollWord, 0, 0, 0}};
        camera.SetExtensionProperty(PROP_SNAP_POLL, &block);
    });
    entered.get_future().wait();

    ExtensionBuffer block{};
    EXPECT_EQ(camera.SetExtensionProperty(PROP_EFFECT, &block), kCameraBusy);
    EXPECT_EQ(camera.GetExtensionProperty(PROP_SENSOR_PIXELS, &block), 0) << "kept from Open";
    EXPECT_EQ(block.words[0], 1002);
    EXPECT_EQ(camera.FriendlyName(), "Cam");
    camera.Close();
    EXPECT_EQ(camera.Open("@device:other", "Other"), kCameraBusy);
    release.set_value();
    poller.join();
    EXPECT_EQ(system.graphsAlive, 0) << "released as the stuck call returned";
    EXPECT_EQ(camera.DisplayName(), "");
}

TEST(CameraDeviceThreads, PropertyCallsNeverUseAClosedGraph) {
    FakeCaptureSystem system{Guarded};
    CCameraDevice camera(system);
    std::atomic<bool> done{false};
    std::atomic<long> reached{0};

    auto poller = [&](int32_t id) {
        while (!done.load()) {
            ExtensionBuffer block{{kSnapPollWord, 0, 0, 0}};
            const int result = id == PROP_SNAP_POLL ? camera.SetExtensionProperty(id, &block)
                                                    : camera.GetExtensionProperty(id, &block);
            if (result == 0) {
                ++reached;
            }
            camera.TriggerStill();
        }
    };
    std::thread setter(poller, PROP_SNAP_POLL);
    std::thread getter(poller, PROP_SENSOR_PIXELS);

    for (int i = 0; i < 3000; ++i) {
        camera.Open("@device:cam", "Cam");
        std::this_thread::yield();
        if (i % 2 == 0) {
            camera.OpenGraph("@device:cam");
        }
        camera.Close();
    }
    done.store(true);
    setter.join();
    getter.join();

    EXPECT_EQ(system.faults.load(), 0);
    EXPECT_GT(reached.load(), 0);  // the calls did meet open graphs
}

// A poll, which lets the driver record a press, waits while the status word is read and sent.
TEST_F(CameraDeviceTest, AStatusChangeKeepsAPressRecordedMeanwhile) {
    CCameraDevice camera(m_system, std::chrono::seconds(10));
    MemorySettingsBackend registry;
    SettingsStore store(registry, camera);
    camera.Open("@device:cam", "Cam");
    registry.SetDword(kValueCameraStatus, STATUS_ACTIVE | STATUS_STILL_READY);
    m_system.onSet = [&] {  // the driver keeps the word sent; a poll records a press
        const std::string call = m_system.calls.back();
        registry.SetDword(kValueCameraStatus, call == "set 14 4 0"
                                                  ? store.ReadCameraStatus() | STATUS_SNAP_BUTTON
                                                  : std::stoul(call.substr(9)));
    };
    std::future<int> poll;
    const DebugRecordCapture log(103, [&](const DebugRecord&) {  // between read and request
        poll = std::async(std::launch::async, [&] {
            ExtensionBuffer block{{kSnapPollWord}};
            return camera.SetExtensionProperty(PROP_SNAP_POLL, &block);
        });
        poll.wait_for(std::chrono::milliseconds(50));
    });
    EXPECT_EQ(store.ClearCameraStatus(STATUS_STILL_READY), 0);
    EXPECT_EQ(poll.get(), 0);
    EXPECT_EQ(store.ReadCameraStatus(), STATUS_ACTIVE | STATUS_SNAP_BUTTON);
}

}  // namespace
