#include "camera/discovery.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "debug_record_capture.h"
#include "fake_capture_system.h"

namespace {

using FakeSystem = FakeCaptureSystem;

class DiscoveryTest : public ::testing::Test {
protected:
    DebugRecordCapture m_log{kLogEvent};

    bool Discover(DiscoveryRequest request = DiscoveryRequest::Look) {
        m_last = DiscoverCamera(m_camera, m_system, m_present, m_memory, request);
        return m_last.result == DiscoveryResult::Held;
    }

    DeviceListMemory m_memory;
    DiscoveryOutcome m_last;
    FakeSystem m_system;
    CCameraDevice m_camera{m_system};
    std::atomic<uint8_t> m_present{0};
};

TEST_F(DiscoveryTest, SkipsADeviceWithoutTheExtensionAndKeepsTheCamera) {
    m_system.devices = {{"@device:sw:plain", "Plain Webcam", false},
                        {"@device:sw:cam", "KRY Camera", true}};
    EXPECT_TRUE(Discover());

    EXPECT_EQ(m_present.load(), 1);
    EXPECT_EQ(m_camera.DisplayName(), "@device:sw:cam");
    EXPECT_EQ(m_camera.FriendlyName(), "KRY Camera");
    EXPECT_EQ(m_system.events,
              (std::vector<std::string>{"open @device:sw:plain", "close", "open @device:sw:cam"}));
    ASSERT_EQ(m_log.Records().size(), 1u);
    EXPECT_EQ(m_log.Records()[0].level, kLogEvent);
    EXPECT_EQ(m_log.Records()[0].text, "KRY Camera");
}

// The laptop's own webcam, a virtual camera: opened once for each list of devices, never by the
// back-off, and not again for a device message that lists the same devices.
TEST_F(DiscoveryTest, OtherMakersCamerasAreOpenedOncePerDeviceList) {
    m_system.devices = {{"@device:sw:plain", "Plain Webcam", false}};
    EXPECT_FALSE(Discover());
    EXPECT_TRUE(m_last.listChanged);
    EXPECT_EQ(m_last.result, DiscoveryResult::NoneListed);
    EXPECT_FALSE(Discover());
    EXPECT_FALSE(m_last.listChanged);
    EXPECT_EQ(m_system.events, (std::vector<std::string>{"open @device:sw:plain", "close"}));

    m_system.events.clear();
    m_system.devices.push_back({"@device:sw:cam", "KRY Camera", true});
    EXPECT_TRUE(Discover());
    EXPECT_TRUE(m_last.listChanged);
    EXPECT_EQ(m_system.events,
              (std::vector<std::string>{"open @device:sw:plain", "close", "open @device:sw:cam"}));
    // While the back-off waits, an unchanged list opens nothing.
    m_system.events.clear();
    m_camera.Close();
    m_present = 0;
    m_system.events.clear();
    EXPECT_FALSE(Discover(DiscoveryRequest::LookIfChanged));
    EXPECT_TRUE(m_system.events.empty());
}

TEST_F(DiscoveryTest, UnrelatedDeviceChangeLeavesTheOpenCameraAlone) {
    m_system.devices = {{"@device:sw:cam", "KRY Camera", true}};
    ASSERT_TRUE(Discover());
    m_system.events.clear();
    m_log.Clear();

    m_system.devices.insert(m_system.devices.begin(), {"@device:sw:other", "Other", true});
    EXPECT_TRUE(Discover());
    m_system.devices.erase(m_system.devices.begin());
    EXPECT_TRUE(Discover());

    EXPECT_EQ(m_present.load(), 1);
    EXPECT_TRUE(m_system.events.empty());  // nothing closed, nothing reopened
    EXPECT_TRUE(m_log.Records().empty());
    EXPECT_EQ(m_camera.DisplayName(), "@device:sw:cam");
}

TEST_F(DiscoveryTest, KeepAliveComparesDisplayNamesExactly) {
    m_system.devices = {{"@device:sw:Cam", "KRY Camera", true}};
    ASSERT_TRUE(Discover());
    m_system.events.clear();

    // Same device re-enumerated under a name differing only in case: a different device.
    m_system.devices = {{"@device:sw:cam", "KRY Camera", true}};
    EXPECT_TRUE(Discover());
    EXPECT_EQ(m_system.events, (std::vector<std::string>{"close", "open @device:sw:cam"}));
}

TEST_F(DiscoveryTest, UnplugClosesTheCameraAndTriesTheRest) {
    m_system.devices = {{"@device:sw:cam", "KRY Camera", true},
                        {"@device:sw:plain", "Plain", false}};
    ASSERT_TRUE(Discover());
    m_system.events.clear();

    m_system.devices.erase(m_system.devices.begin());
    EXPECT_FALSE(Discover());

    EXPECT_EQ(m_present.load(), 0);
    EXPECT_EQ(m_system.events,
              (std::vector<std::string>{"close", "open @device:sw:plain", "close"}));
    EXPECT_EQ(m_camera.DisplayName(), "");
    EXPECT_EQ(m_camera.FriendlyName(), "");
}

TEST_F(DiscoveryTest, DeviceGoneBeforeItsOpenIsClosedAndTheNextTried) {
    m_system.devices = {{"@device:sw:gone", "Gone", true, false},
                        {"@device:sw:cam", "KRY Camera", true}};
    EXPECT_TRUE(Discover());
    EXPECT_EQ(m_system.events,
              (std::vector<std::string>{"open @device:sw:gone", "close", "open @device:sw:cam"}));
    EXPECT_EQ(m_camera.FriendlyName(), "KRY Camera");
}

TEST_F(DiscoveryTest, FriendlyNameIsLoggedVerbatim) {
    m_system.devices = {{"@device:sw:pct", "100% %s %n Cam", true}};
    ASSERT_TRUE(Discover());
    ASSERT_EQ(m_log.Records().size(), 1u);
    EXPECT_EQ(m_log.Records()[0].text, "100% %s %n Cam");
}

TEST_F(DiscoveryTest, NoDevicesLeavesTheCameraClosed) {
    EXPECT_FALSE(Discover());
    EXPECT_EQ(m_present.load(), 0);
    EXPECT_TRUE(m_system.events.empty());
    EXPECT_TRUE(m_log.Records().empty());

    // A nameless device must not be taken for the closed camera's (empty) name.
    m_system.devices = {{"", "Nameless", false}};
    EXPECT_FALSE(Discover());
    EXPECT_EQ(m_present.load(), 0);
    EXPECT_EQ(m_system.events, (std::vector<std::string>{"open ", "close"}));
}

// The snap-button poller trusts the byte: it must read 0 from before the old camera is closed
// until the new one is open and proven.
TEST_F(DiscoveryTest, PresentByteIsClearedBeforeCloseAndSetAfterOpen) {
    std::atomic<uint8_t> present{1};
    std::vector<int> presentAtOpen;
    FakeSystem system;
    system.onOpen = [&] { presentAtOpen.push_back(present.load()); };
    CCameraDevice camera(system);
    system.devices = {{"@device:sw:plain", "Plain", false}, {"@device:sw:cam", "Cam", true}};

    DeviceListMemory memory;
    EXPECT_EQ(DiscoverCamera(camera, system, present, memory).result, DiscoveryResult::Held);
    EXPECT_EQ(presentAtOpen, (std::vector<int>{0, 0}));
    EXPECT_EQ(present.load(), 1);
}

}  // namespace
