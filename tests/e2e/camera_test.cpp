// Finding the camera among the video input devices, keeping it, and losing it.
#include "sim/simcam_ids.h"
#include "sim_camera.h"
#include "tray_test_fixture.h"

namespace {

class CameraTest : public TrayTest {
protected:
    void SetUp() override {
        TrayTest::SetUp();
        sim::Reset();
    }
    void TearDown() override {
        TrayTest::TearDown();
        sim::Reset();
    }
};

TEST_F(CameraTest, FriendlyNameIsLoggedAtStartUp) {
    sim::Camctl("plug");
    StartTray();
    ASSERT_TRUE(viewer.WaitFor(kSimCameraFriendlyName, 5s));
    for (const auto& record : viewer.Records()) {
        if (record.text == kSimCameraFriendlyName) {
            EXPECT_EQ(record.level, 100u);
        }
    }
    ExpectCleanExit();
}

TEST_F(CameraTest, PlainDeviceListedFirstIsPassedOver) {
    sim::Camctl("plug-plain");
    sim::Camctl("plug");
    StartTray();
    ASSERT_TRUE(viewer.WaitFor(kSimCameraFriendlyName, 5s));
    EXPECT_EQ(viewer.Count(kSimPlainFriendlyName), 0);
    // The camera stays open: it answers the extension call discovery made.
    EXPECT_FALSE(sim::JournalLines("get 2").empty());
    EXPECT_TRUE(sim::JournalLines("filter-released").empty());
    ExpectCleanExit();
}

TEST_F(CameraTest, UnrelatedDeviceChangeOpensNothingAgain) {
    sim::Camctl("plug");
    StartTray();
    ASSERT_TRUE(viewer.WaitFor(kSimCameraFriendlyName, 5s));
    const auto created = sim::JournalLines("filter-created").size();
    sim::Camctl("devchange");  // the broadcast returns once the program has handled it
    sim::Camctl("plug-plain");
    EXPECT_EQ(sim::JournalLines("filter-created").size(), created);
    EXPECT_TRUE(sim::JournalLines("filter-released").empty());
    EXPECT_EQ(viewer.Count(kSimCameraFriendlyName), 1);
    ExpectCleanExit();
}

TEST_F(CameraTest, UnplugClosesTheCameraAtTheNextDeviceChange) {
    sim::Camctl("plug");
    StartTray(1, 103, 0x01);
    ASSERT_TRUE(viewer.WaitFor("plug in and play!", 5s));
    sim::Camctl("unplug");
    EXPECT_TRUE(PollUntil([] { return !sim::JournalLines("filter-released").empty(); }, 5s));
    EXPECT_TRUE(viewer.WaitFor("plug out or stop", 5s));
    ExpectCleanExit();
}

TEST_F(CameraTest, ReplugOpensAndLogsTheCameraAgain) {
    StartTray();
    sim::Camctl("plug");
    ASSERT_TRUE(viewer.WaitFor(kSimCameraFriendlyName, 5s));
    sim::Camctl("unplug");
    sim::Camctl("plug");
    EXPECT_TRUE(viewer.WaitFor(kSimCameraFriendlyName, 5s, 2));
    ExpectCleanExit();
}

}  // namespace
