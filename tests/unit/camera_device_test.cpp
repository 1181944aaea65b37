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

namespace {

// Shared record of everything that reached the fake driver.
struct Journal {
    std::vector<std::string> calls;
    int graphsAlive = 0;
    std::function<void()> onPagesRun;
    std::function<void()> onSet;  // inside every set that reaches the driver
    int setAnswer = 0;            // what every set that reaches the driver answers
};

// A graph whose filter is either there with every interface, or missing (the device vanished
// and AddFilter failed on a null filter).
class FakeGraph : public ICaptureGraph {
public:
    FakeGraph(bool hasFilter, Journal& journal) : m_hasFilter(hasFilter), m_journal(journal) {
        ++m_journal.graphsAlive;
    }
    ~FakeGraph() override { --m_journal.graphsAlive; }

    int GetExtensionProperty(int32_t id, ExtensionBuffer* block) override {
        if (!m_hasFilter) {
            return -1;
        }
        m_journal.calls.push_back("get " + std::to_string(id));
        block->words[0] = 1000 + id;
        return 0;
    }
    int SetExtensionProperty(int32_t id, ExtensionBuffer* block) override {
        if (!m_hasFilter) {
            return -1;
        }
        m_journal.calls.push_back("set " + std::to_string(id) + " " +
                                  std::to_string(block->words[0]) + " " +
                                  std::to_string(block->words[1]));
        if (m_journal.onSet) {
            m_journal.onSet();
        }
        return m_journal.setAnswer;
    }
    int SetVideoControlMode(int32_t mode) override {
        if (!m_hasFilter) {
            return -1;
        }
        m_journal.calls.push_back("still " + std::to_string(mode));
        return 0;
    }
    std::unique_ptr<IPropertyPagesJob> PreparePropertyPages() override {
        if (!m_hasFilter) {
            return nullptr;
        }
        return std::make_unique<Job>(m_journal);
    }

private:
    struct Job : IPropertyPagesJob {
        explicit Job(Journal& journal) : journal(journal) {}
        void Run() override {
            journal.calls.push_back("pages");
            if (journal.onPagesRun) {
                journal.onPagesRun();
            }
        }
        Journal& journal;
    };

    bool m_hasFilter;
    Journal& m_journal;
};

class FakeSystem : public ICaptureSystem {
public:
    long EnumerateDevices(std::vector<std::string>&, std::vector<std::string>&) override {
        return 0;
    }
    long OpenGraph(const std::string& displayName, std::unique_ptr<ICaptureGraph>& graph) override {
        journal.calls.push_back("open " + displayName);
        graph = std::make_unique<FakeGraph>(hasFilter, journal);
        return hasFilter ? 0 : openFailure;
    }

    bool hasFilter = true;
    Journal journal;
    long openFailure = static_cast<int32_t>(0x80004005);  // E_FAIL
};

class CameraDeviceTest : public ::testing::Test {
protected:
    FakeSystem m_system;
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
    EXPECT_TRUE(m_system.journal.calls.empty());

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

    EXPECT_EQ(m_system.journal.calls,
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
    m_system.journal.setAnswer = -1;
    m_camera.SetExtensionProperty(PROP_SNAP_POLL, &block);
    EXPECT_FALSE(m_camera.IsGone()) << "a driver's own failure is no reason to reopen";
    m_system.journal.setAnswer = kCameraGone;
    EXPECT_EQ(m_camera.SetExtensionProperty(PROP_SNAP_POLL, &block), kCameraGone);
    EXPECT_TRUE(m_camera.IsGone());
    m_camera.Open("@device:cam", "Cam");
    EXPECT_FALSE(m_camera.IsGone());
    m_camera.SetExtensionProperty(PROP_SNAP_POLL, &block);
    m_camera.Close();
    EXPECT_FALSE(m_camera.IsGone());
}

TEST_F(CameraDeviceTest, FailedOpenKeepsNamesAndGraphUntilClose) {
    m_system.hasFilter = false;
    EXPECT_LT(m_camera.Open("@device:gone", "Gone"), 0);
    EXPECT_EQ(m_camera.FriendlyName(), "Gone");
    EXPECT_EQ(m_camera.DisplayName(), "@device:gone");
    EXPECT_EQ(m_system.journal.graphsAlive, 1);
    ExtensionBuffer block{};
    EXPECT_EQ(m_camera.GetExtensionProperty(PROP_SENSOR_PIXELS, &block), -1);

    EXPECT_EQ(m_camera.Close(), 0);
    EXPECT_EQ(m_system.journal.graphsAlive, 0);
    EXPECT_EQ(m_camera.FriendlyName(), "");
    EXPECT_EQ(m_camera.DisplayName(), "");
}

TEST_F(CameraDeviceTest, ReopeningReleasesThePreviousGraph) {
    m_camera.Open("@device:a", "A");
    m_camera.Open("@device:b", "B");
    EXPECT_EQ(m_system.journal.graphsAlive, 1);
    EXPECT_EQ(m_camera.DisplayName(), "@device:b");
    m_camera.OpenGraph("@device:c");
    EXPECT_EQ(m_system.journal.graphsAlive, 1);
    m_camera.Close();
    EXPECT_EQ(m_system.journal.graphsAlive, 0);
}

// The property frame is modal and pumps messages: a device change handled meanwhile closes or
// reopens the camera, which must neither deadlock nor pull the filter from under the frame.
TEST_F(CameraDeviceTest, PropertyFrameRunsOutsideTheLock) {
    m_camera.Open("@device:cam", "Cam");
    int graphsDuringRun = -1;
    m_system.journal.onPagesRun = [&] {
        ExtensionBuffer block{};
        EXPECT_EQ(m_camera.GetExtensionProperty(PROP_SENSOR_PIXELS, &block), 0);
        m_camera.Close();
        graphsDuringRun = m_system.journal.graphsAlive;
    };
    m_camera.ShowPropertyPages();
    EXPECT_EQ(graphsDuringRun, 0);
    EXPECT_EQ(m_camera.FriendlyName(), "");
}

// A graph that notices being used while or after it is released.
class GuardedGraph : public ICaptureGraph {
public:
    explicit GuardedGraph(std::atomic<int>& faults) : m_faults(faults) {}
    ~GuardedGraph() override {
        if (m_inFlight.load() != 0) {
            ++m_faults;
        }
        m_alive.store(false);
    }
    int GetExtensionProperty(int32_t, ExtensionBuffer* block) override {
        return Use([&] { block->words[0] = 640 * 480; });
    }
    int SetExtensionProperty(int32_t, ExtensionBuffer*) override {
        return Use([] {});
    }
    int SetVideoControlMode(int32_t) override {
        return Use([] {});
    }
    std::unique_ptr<IPropertyPagesJob> PreparePropertyPages() override { return nullptr; }

private:
    template <typename F>
    int Use(F work) {
        ++m_inFlight;
        if (!m_alive.load()) {
            ++m_faults;
        }
        std::this_thread::yield();  // widen the window a missing lock would leave open
        work();
        --m_inFlight;
        return 0;
    }

    std::atomic<int>& m_faults;
    std::atomic<int> m_inFlight{0};
    std::atomic<bool> m_alive{true};
};

class GuardedSystem : public ICaptureSystem {
public:
    long EnumerateDevices(std::vector<std::string>&, std::vector<std::string>&) override {
        return 0;
    }
    long OpenGraph(const std::string&, std::unique_ptr<ICaptureGraph>& graph) override {
        graph = std::make_unique<GuardedGraph>(faults);
        return 0;
    }
    std::atomic<int> faults{0};
};

// A driver call that hangs on the poller's thread: the UI thread's calls give up after the
// patience, the names and the sensor stay readable, and Close leaves the graph to the stuck
// call, which releases it on return.
TEST(CameraDeviceThreads, AStuckCallMakesOthersBusyAndCloseWaitsForNoOne) {
    FakeSystem system;
    CCameraDevice camera(system, std::chrono::milliseconds(20));
    camera.Open("@device:cam", "Cam");
    std::promise<void> entered;
    std::promise<void> release;
    system.journal.onSet = [&, released = release.get_future().share()] {
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
    EXPECT_EQ(system.journal.graphsAlive, 0) << "released as the stuck call returned";
    EXPECT_EQ(camera.DisplayName(), "");
}

TEST(CameraDeviceThreads, PropertyCallsNeverUseAClosedGraph) {
    GuardedSystem system;
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

}  // namespace
