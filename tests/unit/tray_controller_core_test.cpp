#include "app/tray_controller_core.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/exit_command.h"
#include "camera/capability_tables.h"
#include "debug_record_capture.h"
#include "fake_camera.h"
#include "fake_controller_platform.h"
#include "memory_settings_backend.h"
#include "res/resource.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The camera driver: stores every PROP_STATUS it receives in CameraStatus, as the real one does.
class DriverCamera : public FakeCamera {
public:
    DriverCamera(Recorder& recorder, MemorySettingsBackend& registry) : m_registry(registry) {
        onCall = [this, &recorder](const Call& call) {
            switch (call.op) {
                case Op::Get:
                    break;
                case Op::Set:
                    if (call.id == PROP_STATUS) {
                        const auto value = static_cast<uint32_t>(call.block.words[1]);
                        recorder.Add("status " + Hex(value));
                        m_pending = value;
                        if (!storesLate) {
                            StoreLateStatus();
                        }
                    } else {
                        recorder.Add("property " + std::to_string(call.id) + " " +
                                     std::to_string(call.block.words[0]));
                    }
                    break;
                case Op::Effect:
                    recorder.Add("effect " + std::to_string(call.id));
                    break;
                case Op::Trigger:
                    recorder.Add("trigger");
                    break;
                case Op::PropertyPages:
                    recorder.Add("property pages");
                    break;
            }
        };
    }

    // A driver that stores a new CameraStatus only when StoreLateStatus is called.
    bool storesLate = false;

    void StoreLateStatus() {
        if (m_pending) {
            m_registry.SetDword(kValueCameraStatus, *m_pending);
            m_pending.reset();
        }
    }

private:
    MemorySettingsBackend& m_registry;
    std::optional<uint32_t> m_pending;
};

class TrayControllerTest : public ::testing::Test {
protected:
    TrayControllerTest() {
        registry.SetDword(kValueTrayEnabled, 1);
        registry.SetDword(kValueDebugLevel, 103);
    }
    void TearDown() override {
        core.PrepareDestroyWindow();  // joins the poller before the capture goes
    }

    uint32_t Status() {
        const auto& bytes = registry.values[kValueCameraStatus];
        uint32_t value = 0;
        for (std::size_t i = 0; i < bytes.size() && i < 4; ++i) {
            value |= uint32_t{bytes[i]} << (8 * i);
        }
        return value;
    }
    void SetStatus(uint32_t value) { registry.SetDword(kValueCameraStatus, value); }

    // Start-up as the dialog runs it, with a camera found by the first discovery.
    void StartUp(bool cameraFound = true) {
        core.ReadStartupSettings();
        camera.open = false;
        core.BeginInitialise();
        camera.open = cameraFound;
        SetPresent(cameraFound);
        core.FinishInitialise();
        recorder.Take();
    }
    // A discovery that finds the camera, or none; its events dropped.
    void SetPresent(bool present) {
        platform.found = present ? DiscoveryResult::Held : DiscoveryResult::NoneListed;
        core.OnDeviceChange();
        EXPECT_EQ(recorder.Take().back(), "find");
    }
    // A tick that finds the camera present and active; events dropped.
    void PlugIn() {
        SetPresent(true);
        SetStatus(Status() | STATUS_ACTIVE);
        core.OnStatusTick();
        recorder.Take();
    }
    // The window thread receives what the poller's thread handed over last.
    void DeliverPolled() { core.OnPolledStatus(platform.polled.first, platform.polled.second); }
    void TurnSelfTimerOn() {
        core.OnTrayCommand(ID_SNAPONE_DELAY);
        recorder.Take();
    }

    Recorder recorder;
    DebugRecordCapture log{
        std::nullopt, [this](const DebugRecord& record) {
            recorder.Add("log " + std::to_string(record.level) + " " + record.text);
        }};
    MemorySettingsBackend registry;
    DriverCamera camera{recorder, registry};
    SettingsStore store{registry, camera};
    FakePlatform platform{recorder, camera};
    TrayControllerCore core{store, camera, platform};
};

// --- Start-up ---

TEST_F(TrayControllerTest, StartUpLogsTheTraySwitchFirstAndKeepsTheStoredSelfTimer) {
    registry.SetDword(kValueTrayEnabled, 0x2a);
    SetStatus(STATUS_SELF_TIMER | STATUS_ACTIVE);
    core.ReadStartupSettings();
    EXPECT_EQ(DebugLevel, 103);
    EXPECT_TRUE(core.Plug().TrayEnabled());
    EXPECT_EQ(g_nEffectCount, 33);

    camera.open = false;  // no camera open before discovery: the clear only logs
    core.BeginInitialise();
    camera.open = true;
    core.OnDeviceChange();  // finds the camera
    core.FinishInitialise();

    EXPECT_THAT(recorder.Take(),
                ElementsAre("log 103 CKRYTrayDlg, ulCameraStatus = 0x2a",
                            "log 103 ClearCameraStatus 0x0", "tray add 132/131 checked 0", "find"));
    EXPECT_TRUE(core.Timer().IsOn());
    EXPECT_TRUE(core.Plug().IsMinimized());
    EXPECT_FALSE(core.Plug().IsPlugIn());
    EXPECT_EQ(core.Timer().Remaining(), 0);
    EXPECT_EQ(core.Timer().PendingSizeIndex(), 0);

    // The first tick shows the plugged-in icon, now with the self-timer's check mark.
    core.OnStatusTick();
    EXPECT_THAT(recorder.Take(), ElementsAre("tray gone 131", "tray add 133/130 checked 1",
                                             "log 100 plug in and play!"));
}

TEST_F(TrayControllerTest, PollerStartsLastAndStopsWithTheWindow) {
    StartUp(false);
    core.StartSnapButtonPoller();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!recorder.Contains("log 101 Thread Start") &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_TRUE(recorder.Contains("log 101 Thread Start"));
    core.PrepareDestroyWindow();  // wakes the poller from its wait for a tick
    EXPECT_FALSE(core.Plug().IsMinimized());
}

// --- Plug state ---

struct PlugRow {
    uint8_t present;
    bool active;
    bool previous;
    bool pluggedAfter;
    std::vector<std::string> events;
};

class PlugStateTest : public TrayControllerTest, public ::testing::WithParamInterface<PlugRow> {};

TEST_P(PlugStateTest, FollowsTheTransitionTable) {
    const PlugRow& row = GetParam();
    StartUp();
    if (row.previous) {
        PlugIn();
    }
    SetPresent(row.present != 0);
    SetStatus(row.active ? STATUS_ACTIVE : 0);
    core.OnStatusTick();
    EXPECT_EQ(recorder.Take(), row.events);
    EXPECT_EQ(core.Plug().IsPlugIn(), row.pluggedAfter);
    EXPECT_EQ(core.Plug().WasPlugIn(), row.pluggedAfter);
    EXPECT_TRUE(core.Plug().HasIcon());
    EXPECT_EQ(platform.mostLiveIcons, 1);
}

const std::vector<std::string> kPlugOut = {"tray gone 130", "tray add 132/131 checked 0",
                                           "log 100 plug out or stop"};
const std::vector<std::string> kPlugIn = {"tray gone 131", "tray add 133/130 checked 0",
                                          "log 100 plug in and play!"};

INSTANTIATE_TEST_SUITE_P(
    AllRows, PlugStateTest,
    ::testing::Values(PlugRow{0, false, false, false, {}}, PlugRow{0, true, false, false, {}},
                      PlugRow{0, false, true, false, kPlugOut},
                      PlugRow{0, true, true, false, kPlugOut}, PlugRow{1, false, false, false, {}},
                      PlugRow{1, false, true, false, kPlugOut},
                      PlugRow{1, true, false, true, kPlugIn}, PlugRow{1, true, true, true, {}}));

TEST_F(TrayControllerTest, TraySwitchOffNeverCreatesAnIconButStillLogs) {
    registry.SetDword(kValueTrayEnabled, 0);
    StartUp();
    PlugIn();
    SetPresent(false);
    core.OnStatusTick();
    EXPECT_THAT(recorder.Take(), ElementsAre("log 100 plug out or stop"));
    EXPECT_FALSE(core.Plug().HasIcon());
    EXPECT_EQ(platform.mostLiveIcons, 0);
}

TEST_F(TrayControllerTest, AfterRestoreTheNextChangeRemovesTheIconAndAddsNone) {
    StartUp();
    core.OnSysCommand(kSysCommandMinimize | 0x0F);  // not exactly SC_MINIMIZE: ignored
    core.OnSysCommand(kSysCommandRestore);
    EXPECT_FALSE(core.Plug().IsMinimized());
    SetPresent(true);
    SetStatus(STATUS_ACTIVE);
    core.OnStatusTick();
    EXPECT_THAT(recorder.Take(), ElementsAre("tray gone 131", "log 100 plug in and play!"));
    EXPECT_FALSE(core.Plug().HasIcon());

    core.OnSysCommand(kSysCommandMinimize);
    SetPresent(false);
    core.OnStatusTick();
    EXPECT_THAT(recorder.Take(),
                ElementsAre("tray add 132/131 checked 0", "log 100 plug out or stop"));
}

// --- Launches ---

TEST_F(TrayControllerTest, ButtonAndStillInOneTickLaunchInOrderFromFreshReads) {
    registry.SetText(kValueQuickLaunch, "C:\\Program Files\\Snap\\snap.exe");
    StartUp();
    PlugIn();
    SetStatus(STATUS_ACTIVE | STATUS_SNAP_BUTTON | STATUS_STILL_READY);
    core.OnStatusTick();
    // The second clear works from the value the driver stored after the first.
    EXPECT_THAT(recorder.Take(), ElementsAre("start C:\\Program Files\\Snap\\snap.exe",
                                             "log 103 ClearCameraStatus 0x9", "status 0x9",
                                             "log 100 C:\\Program Files\\Snap\\snap.exe",
                                             "log 103 ClearCameraStatus 0x1", "status 0x1",
                                             "start DEZAD.EXE", "log 100 DEZAD.EXE"));
    core.OnStatusTick();
    EXPECT_THAT(recorder.Take(), IsEmpty());
}

TEST_F(TrayControllerTest, PressSeenByThePollerStartsTheProgramOnceThoughTheClearLandsLate) {
    registry.SetText(kValueQuickLaunch, "C:\\snap.exe");
    StartUp();
    PlugIn();
    camera.storesLate = true;
    core.OnSnapPolled();
    EXPECT_THAT(recorder.Take(), ElementsAre("check requested 0x1"));
    core.OnSnapPolled();
    EXPECT_THAT(recorder.Take(), IsEmpty()) << "at rest the window thread is not woken";

    SetStatus(STATUS_ACTIVE | STATUS_SNAP_BUTTON);
    core.OnSnapPolled();
    DeliverPolled();
    EXPECT_THAT(recorder.Take(),
                ElementsAre("check requested 0x3", "start C:\\snap.exe",
                            "log 103 ClearCameraStatus 0x1", "status 0x1", "log 100 C:\\snap.exe"));

    // The driver has not stored the clear yet: the next poll's check sends it again, no start.
    core.OnSnapPolled();
    DeliverPolled();
    camera.StoreLateStatus();
    core.OnSnapPolled();
    DeliverPolled();
    EXPECT_THAT(
        recorder.Take(),
        ElementsAre("check requested 0x3", "log 100 CameraStatus 0x2 not cleared, clearing again",
                    "log 103 ClearCameraStatus 0x1", "status 0x1", "check requested 0x1"));

    // The next press starts it again, at once.
    SetStatus(STATUS_ACTIVE | STATUS_SNAP_BUTTON);
    core.OnSnapPolled();
    DeliverPolled();
    EXPECT_TRUE(recorder.Contains("start C:\\snap.exe"));
}

TEST_F(TrayControllerTest, PressActedOnByATickIsNotActedOnAgainByAPollReadBeforeIt) {
    registry.SetText(kValueQuickLaunch, "C:\\snap.exe");
    StartUp();
    PlugIn();
    camera.storesLate = true;
    SetStatus(STATUS_ACTIVE | STATUS_SNAP_BUTTON);
    core.OnSnapPolled();  // a read on the poller's thread, handed over late
    core.OnStatusTick();  // the window thread's own check (the poller is not running)
    DeliverPolled();
    const auto events = recorder.Take();
    EXPECT_EQ(std::count(events.begin(), events.end(), "start C:\\snap.exe"), 1);

    // A driver that never stores the clear: later ticks send it again and start nothing.
    core.OnStatusTick();
    core.OnStatusTick();
    EXPECT_THAT(recorder.Take(), ElementsAre("log 100 CameraStatus 0x2 not cleared, clearing again",
                                             "log 103 ClearCameraStatus 0x1", "status 0x1",
                                             "log 100 CameraStatus 0x2 not cleared, clearing again",
                                             "log 103 ClearCameraStatus 0x1", "status 0x1"));

    // Once the driver takes the clear, the next press works as before.
    camera.StoreLateStatus();
    core.OnStatusTick();
    SetStatus(STATUS_ACTIVE | STATUS_SNAP_BUTTON);
    core.OnStatusTick();
    EXPECT_TRUE(recorder.Contains("start C:\\snap.exe"));
}

TEST_F(TrayControllerTest, CommandsWhileTheCameraIsBusyAreDroppedNotQueued) {
    StartUp();
    PlugIn();
    camera.busy = true;
    core.OnTrayCommand(ID_SNAPSHOT_FIRST);
    core.OnTrayCommand(ID_SNAPONE_DELAY);
    EXPECT_FALSE(core.Timer().IsOn()) << "the choice the driver holds stays shown";
    camera.busy = false;
    core.OnStatusTick();
    EXPECT_THAT(recorder.Take(), ElementsAre("log 103 SetCameraStatus 0x11"));
}

TEST_F(TrayControllerTest, StillSeenByThePollerStartsTheViewerOnce) {
    StartUp();
    PlugIn();
    camera.storesLate = true;
    SetStatus(STATUS_ACTIVE | STATUS_STILL_READY);
    for (int poll = 0; poll < 3; ++poll) {
        if (poll == 2) {
            camera.StoreLateStatus();
        }
        core.OnSnapPolled();
        DeliverPolled();
    }
    const auto events = recorder.Take();
    EXPECT_THAT(std::vector<std::string>(events.begin(), events.begin() + 5),
                ElementsAre("check requested 0x9", "log 103 ClearCameraStatus 0x1", "status 0x1",
                            "start DEZAD.EXE", "log 100 DEZAD.EXE"));
    EXPECT_EQ(std::count(events.begin(), events.end(), "start DEZAD.EXE"), 1);
}

TEST_F(TrayControllerTest, StillReadyIsActedOnInTheTickThatPlugsIn) {
    StartUp();
    SetStatus(STATUS_ACTIVE | STATUS_STILL_READY);
    core.OnStatusTick();
    EXPECT_THAT(recorder.Take(),
                ElementsAre("tray gone 131", "tray add 133/130 checked 0",
                            "log 100 plug in and play!", "log 103 ClearCameraStatus 0x1",
                            "status 0x1", "start DEZAD.EXE", "log 100 DEZAD.EXE"));
}

TEST_F(TrayControllerTest, ButtonWorksWhileOpenButNotActive) {
    registry.SetText(kValueQuickLaunch, "D:\\a.exe");
    StartUp();
    SetStatus(STATUS_SNAP_BUTTON);
    core.OnStatusTick();
    EXPECT_THAT(recorder.Take(), ElementsAre("start D:\\a.exe", "log 103 ClearCameraStatus 0x0",
                                             "status 0x0", "log 100 D:\\a.exe"));
    EXPECT_FALSE(core.Plug().IsPlugIn());
}

TEST_F(TrayControllerTest, ButtonWithNoCameraOpenIsLeftSet) {
    registry.SetText(kValueQuickLaunch, "D:\\a.exe");
    StartUp(false);
    SetStatus(STATUS_SNAP_BUTTON | STATUS_ACTIVE);
    core.OnStatusTick();
    EXPECT_THAT(recorder.Take(), IsEmpty());
    EXPECT_EQ(Status(), STATUS_SNAP_BUTTON | STATUS_ACTIVE);
}

TEST_F(TrayControllerTest, StillReadyWhileUnpluggedWaitsForThePlugIn) {
    StartUp();
    SetStatus(STATUS_STILL_READY);  // open, but not active
    core.OnStatusTick();
    core.OnStatusTick();
    EXPECT_THAT(recorder.Take(), IsEmpty());
    EXPECT_EQ(Status(), STATUS_STILL_READY);

    SetStatus(STATUS_STILL_READY | STATUS_ACTIVE);
    core.OnStatusTick();
    const auto events = recorder.Take();
    EXPECT_NE(std::find(events.begin(), events.end(), "start DEZAD.EXE"), events.end());
}

TEST_F(TrayControllerTest, NoQuickLaunchProgramStartsNothingButClearsAndLogs) {
    StartUp();
    SetStatus(STATUS_SNAP_BUTTON);
    core.OnStatusTick();
    EXPECT_THAT(recorder.Take(),
                ElementsAre("log 103 ClearCameraStatus 0x0", "status 0x0", "log 100 "));

    registry.SetText(kValueQuickLaunch, "");  // stored, but empty
    SetStatus(STATUS_SNAP_BUTTON);
    core.OnStatusTick();
    EXPECT_THAT(recorder.Take(),
                ElementsAre("log 103 ClearCameraStatus 0x0", "status 0x0", "log 100 "));
}

TEST_F(TrayControllerTest, QuickLaunchPathIsLoggedVerbatim) {
    registry.SetText(kValueQuickLaunch, "C:\\100%s\\%d.exe");
    StartUp();
    SetStatus(STATUS_SNAP_BUTTON);
    core.OnStatusTick();
    EXPECT_TRUE(recorder.Contains("log 100 C:\\100%s\\%d.exe"));
}

// --- Commands ---

TEST_F(TrayControllerTest, EffectCommandsSendTheirRowsEffectId) {
    StartUp();
    PlugIn();
    for (unsigned id : {32710u, 32720u, 32730u, 32731u, 32732u, 32742u}) {
        core.OnTrayCommand(id);
    }
    EXPECT_THAT(recorder.Take(), ElementsAre("effect 1", "effect 11", "effect 21", "effect 0",
                                             "effect 51", "effect 61"));
}

TEST_F(TrayControllerTest, CommandsWithoutAnActionDoNothing) {
    StartUp();
    PlugIn();
    std::vector<unsigned> ids{ID_MENU_TITLE, 32776, 32777, 32784};
    for (unsigned id = 32700; id <= 32709; ++id)
        ids.push_back(id);
    for (unsigned id = 32743; id <= 32759; ++id)
        ids.push_back(id);  // past EffectTable, gap
    for (unsigned id = 32779; id <= 32782; ++id)
        ids.push_back(id);
    for (unsigned id = 32787; id <= 32797; ++id)
        ids.push_back(id);
    ids.push_back(32799);
    for (unsigned id : ids) {
        core.OnTrayCommand(id);
        EXPECT_THAT(recorder.Take(), IsEmpty()) << id;
    }
    EXPECT_FALSE(core.Timer().IsOn());
    EXPECT_EQ(core.Timer().Remaining(), 0);
}

TEST_F(TrayControllerTest, StillWithoutSelfTimerSendsSizeClearsAndTriggersAtOnce) {
    StartUp();
    PlugIn();
    SetStatus(STATUS_ACTIVE | STATUS_STILL_READY);
    core.OnTrayCommand(32764);
    EXPECT_THAT(recorder.Take(), ElementsAre("property 12 4", "log 103 ClearCameraStatus 0x1",
                                             "status 0x1", "trigger"));

    for (unsigned p = 0; p < 14; ++p) {
        core.OnTrayCommand(ID_SNAPSHOT_FIRST + p);
        EXPECT_EQ(recorder.Take().front(), "property 12 " + std::to_string(p));
    }
    core.OnTrayCommand(ID_SNAPSHOT_LAST);  // beyond any list: sent unchanged
    EXPECT_EQ(recorder.Take().front(), "property 12 15");
}

TEST_F(TrayControllerTest, SelfTimerCountsDownFiveSecondsThenCapturesOnce) {
    StartUp();
    PlugIn();
    TurnSelfTimerOn();
    core.OnTrayCommand(32762);
    EXPECT_THAT(recorder.Take(), ElementsAre("timer set"));
    EXPECT_EQ(core.Timer().Remaining(), 5);

    for (int tick = 0; tick < 6; ++tick) {
        core.OnCountdownTick();
    }
    EXPECT_THAT(
        recorder.Take(),
        ElementsAre("log 102 5", "overlay 137", "log 102 4", "overlay 136", "log 102 3",
                    "overlay 135", "log 102 2", "overlay 134", "log 102 1", "overlay 133",
                    "log 102 Self-Timer Capture", "timer kill", "property 12 2",
                    "log 103 ClearCameraStatus 0x11", "status 0x11", "trigger", "overlay hide"));
}

TEST_F(TrayControllerTest, StillCommandDuringCountdownRestartsWithTheNewSize) {
    StartUp();
    PlugIn();
    TurnSelfTimerOn();
    core.OnTrayCommand(32762);
    core.OnCountdownTick();
    core.OnCountdownTick();
    core.OnTrayCommand(32765);
    EXPECT_EQ(core.Timer().Remaining(), 5);
    recorder.Take();

    for (int tick = 0; tick < 6; ++tick) {
        core.OnCountdownTick();
    }
    const auto events = recorder.Take();
    EXPECT_EQ(events.front(), "log 102 5");
    EXPECT_EQ(std::count(events.begin(), events.end(), "trigger"), 1);
    EXPECT_NE(std::find(events.begin(), events.end(), "property 12 5"), events.end());
}

TEST_F(TrayControllerTest, CountdownHoldsWhileTheCameraIsAwayAndResumes) {
    StartUp();
    PlugIn();
    TurnSelfTimerOn();
    core.OnTrayCommand(32761);
    core.OnCountdownTick();
    core.OnCountdownTick();
    core.OnCountdownTick();  // "3"
    recorder.Take();

    SetPresent(false);
    core.OnStatusTick();
    recorder.Take();
    core.OnCountdownTick();
    core.OnCountdownTick();
    EXPECT_THAT(recorder.Take(), ElementsAre("overlay hide")) << "its digit leaves the screen";
    EXPECT_EQ(core.Timer().Remaining(), 2);

    PlugIn();
    core.OnCountdownTick();
    core.OnCountdownTick();
    core.OnCountdownTick();
    EXPECT_THAT(recorder.Take(), ElementsAre("log 102 2", "overlay 134", "log 102 1", "overlay 133",
                                             "log 102 Self-Timer Capture", "timer kill",
                                             "property 12 1", "log 103 ClearCameraStatus 0x11",
                                             "status 0x11", "trigger", "overlay hide"));
}

TEST_F(TrayControllerTest, TogglingTwiceSetsThenClearsTheBitAndTheCheckMark) {
    StartUp();
    PlugIn();
    core.OnTrayCommand(ID_SNAPONE_DELAY);
    core.OnTrayCommand(ID_SNAPONE_DELAY);
    EXPECT_THAT(recorder.Take(),
                ElementsAre("log 103 SetCameraStatus 0x11", "status 0x11", "tray check 130 1",
                            "log 103 ClearCameraStatus 0x1", "status 0x1", "tray check 130 0"));
    EXPECT_FALSE(core.Timer().IsOn());

    // Without an icon only the bit changes.
    core.PrepareDestroyWindow();
    SetPresent(false);
    core.OnStatusTick();
    recorder.Take();
    core.OnTrayCommand(ID_SNAPONE_DELAY);
    EXPECT_THAT(recorder.Take(), ElementsAre("log 103 SetCameraStatus 0x11", "status 0x11"));
    EXPECT_TRUE(core.Timer().IsOn());
}

TEST_F(TrayControllerTest, SwitchingTheSelfTimerOffDoesNotStopACountdown) {
    StartUp();
    PlugIn();
    TurnSelfTimerOn();
    core.OnTrayCommand(32760);
    core.OnCountdownTick();
    core.OnTrayCommand(ID_SNAPONE_DELAY);
    recorder.Take();
    for (int tick = 0; tick < 5; ++tick) {
        core.OnCountdownTick();
    }
    const auto events = recorder.Take();
    EXPECT_EQ(events.front(), "log 102 4");
    EXPECT_EQ(std::count(events.begin(), events.end(), "trigger"), 1);
}

TEST_F(TrayControllerTest, QuickLaunchAndPropertyPagesCommands) {
    StartUp();
    PlugIn();
    core.OnTrayCommand(ID_QUICKLAUNCH);
    core.OnTrayCommand(ID_VIDEO_CAPTURE_FILTER);
    EXPECT_THAT(recorder.Take(), ElementsAre("quick launch dialog", "property pages"));
}

// --- Sleep, resets and restarts ---

TEST_F(TrayControllerTest, GoneCameraIsOpenedAgainAtTheNextTickWithoutActingTwice) {
    registry.SetText(kValueQuickLaunch, "C:\\snap.exe");
    StartUp();
    PlugIn();
    camera.storesLate = true;  // the clear is lost with the device
    SetStatus(STATUS_ACTIVE | STATUS_SNAP_BUTTON);
    core.OnStatusTick();
    EXPECT_TRUE(recorder.Contains("start C:\\snap.exe"));
    recorder.Take();

    platform.now += kFailsAtOnceWithin;  // it worked for a while
    camera.gone = true;
    core.OnStatusTick();
    EXPECT_THAT(recorder.Take(),
                ElementsAre("find afresh", "tray gone 130", "tray add 133/130 checked 0",
                            "log 100 plug in and play!",
                            "log 100 CameraStatus 0x2 not cleared, clearing again",
                            "log 103 ClearCameraStatus 0x1", "status 0x1"));
    camera.StoreLateStatus();
    core.OnStatusTick();
    EXPECT_THAT(recorder.Take(), IsEmpty()) << "one reopen, one record";

    // Gone again right after that open: closed, and opened again by the back-off, not at once.
    camera.gone = true;
    core.OnStatusTick();
    EXPECT_EQ(recorder.Take().front(), "close");
    EXPECT_FALSE(core.CameraPresent());
    core.OnStatusTick();
    EXPECT_FALSE(recorder.Contains("find"));
    core.OnStatusTick();
    EXPECT_TRUE(recorder.Contains("find"));
}

TEST_F(TrayControllerTest, ListedCameraThatDoesNotOpenIsLookedForWithABackOff) {
    StartUp(false);
    platform.found = DiscoveryResult::NoneWorking;
    core.OnDeviceChange();
    recorder.Take();
    std::vector<int> looks;
    for (int tick = 1; tick <= 200; ++tick) {
        core.OnStatusTick();
        if (recorder.Contains("find")) {
            looks.push_back(tick);
        }
        recorder.Take();
    }
    EXPECT_THAT(looks, ElementsAre(2, 6, 14, 30, 62, 122, 182));
    EXPECT_EQ(platform.statusTimer, kStatusPeriod);

    // A device message that lists the same devices opens nothing and keeps the wait; a changed
    // list starts again from 2 s; a camera found ends the looks, as does none listed.
    core.OnDeviceChange();
    EXPECT_THAT(recorder.Take(), ElementsAre("find unchanged"));
    platform.listChanged = true;
    core.OnDeviceChange();
    recorder.Take();
    platform.found = DiscoveryResult::Held;
    core.OnStatusTick();
    core.OnStatusTick();
    EXPECT_THAT(recorder.Take(), ElementsAre("find"));
    platform.found = DiscoveryResult::NoneListed;
    core.OnDeviceChange();
    recorder.Take();
    for (int tick = 0; tick < 70; ++tick) {
        core.OnStatusTick();
    }
    EXPECT_FALSE(recorder.Contains("find"));
    EXPECT_EQ(platform.statusTimer.count(), 0) << "no camera, no look: nothing runs";
}

// Several users signed in: the camera's bits are one for the machine, and only the copy whose
// session is on the console and unlocked acts on them.
TEST_F(TrayControllerTest, OnlyTheCopyInFrontActsAndOneComingToTheFrontClearsWhatItMissed) {
    registry.SetText(kValueQuickLaunch, "C:\\snap.exe");
    StartUp();
    PlugIn();
    core.OnSessionChange(kWtsSessionLock);
    EXPECT_EQ(platform.statusTimer.count(), 0) << "no tick, no poll";
    SetStatus(STATUS_ACTIVE | STATUS_SNAP_BUTTON | STATUS_STILL_READY);
    core.OnSnapPolled();  // a request already under way
    DeliverPolled();
    SetPresent(true);  // a device message: a check of its own
    core.OnStatusTick();
    EXPECT_FALSE(recorder.Contains("start C:\\snap.exe"));
    EXPECT_EQ(Status(), STATUS_ACTIVE | STATUS_SNAP_BUTTON | STATUS_STILL_READY);

    core.OnSessionChange(kWtsSessionUnlock);
    core.OnStatusTick();
    EXPECT_THAT(recorder.Take(), ElementsAre("log 101 session in front",
                                             "log 103 ClearCameraStatus 0x1", "status 0x1"));
    SetStatus(STATUS_ACTIVE | STATUS_SNAP_BUTTON);
    core.OnStatusTick();
    EXPECT_TRUE(recorder.Contains("start C:\\snap.exe"));

    // The console attached to another session: this copy waits again.
    platform.session.attachedToConsole = false;
    core.OnSessionChange(kWtsConsoleDisconnect);
    EXPECT_FALSE(core.Session().InFront());
}

TEST_F(TrayControllerTest, ResumeReopensAndChecksTheIconOncePerSuspend) {
    StartUp();
    PlugIn();
    core.OnPowerBroadcast(kPowerResumeAutomatic);
    core.OnPowerBroadcast(kPowerResumeSuspend);  // the same resume
    core.OnStatusTick();
    EXPECT_THAT(recorder.Take(),
                ElementsAre("tray ensure 130", "find afresh", "tray gone 130",
                            "tray add 133/130 checked 0", "log 100 plug in and play!"));
    core.OnPowerBroadcast(kPowerSuspend);
    core.OnPowerBroadcast(kPowerResumeSuspend);
    EXPECT_THAT(recorder.Take(), ElementsAre("tray ensure 130", "find afresh"));
}

TEST_F(TrayControllerTest, RestartManagersCloseEndsAsExitASignOutDoesNothing) {
    StartUp();
    PlugIn();
    constexpr uint32_t kEndSessionLogoff = 0x80000000;
    core.OnEndSession(true, kEndSessionLogoff);
    core.OnEndSession(false, kEndSessionCloseApp);  // the close was cancelled
    EXPECT_THAT(recorder.Take(), IsEmpty());
    core.OnEndSession(true, kEndSessionCloseApp | kEndSessionLogoff);
    EXPECT_THAT(recorder.Take(), ElementsAre("tray delete 130", "destroy window"));
}

// --- Ending ---

TEST_F(TrayControllerTest, ExitRemovesTheIconBeforeDestroyingAndLeavesTheExitBit) {
    StartUp();
    PlugIn();
    SetStatus(STATUS_ACTIVE | STATUS_TRAY_EXIT);
    core.OnTrayCommand(ID_MENU_EXIT);
    EXPECT_THAT(recorder.Take(), ElementsAre("tray delete 130", "destroy window"));
    EXPECT_EQ(Status(), STATUS_ACTIVE | STATUS_TRAY_EXIT);
}

TEST_F(TrayControllerTest, ExitCommandClearsTheExitBitThenEndsAsExit) {
    StartUp();
    PlugIn();
    SetStatus(STATUS_ACTIVE | STATUS_TRAY_EXIT);
    EXPECT_FALSE(core.OnCopyData(kExitCopyDataId, "exit", 4));
    EXPECT_FALSE(core.OnCopyData(4401, "EXIT", 4));
    EXPECT_THAT(recorder.Take(), IsEmpty());

    EXPECT_TRUE(core.OnCopyData(kExitCopyDataId, "EXIT", 5));
    EXPECT_THAT(recorder.Take(), ElementsAre("log 103 ClearCameraStatus 0x1", "status 0x1",
                                             "tray delete 130", "destroy window"));
}

TEST_F(TrayControllerTest, ExitCommandWithoutAnIconTouchesNoTray) {
    registry.SetDword(kValueTrayEnabled, 0);
    StartUp();
    core.OnExitCommand();
    EXPECT_THAT(recorder.Take(),
                ElementsAre("log 103 ClearCameraStatus 0x0", "status 0x0", "destroy window"));
}

TEST_F(TrayControllerTest, NoIconIsCreatedOnceTheWindowIsGoing) {
    StartUp();
    core.PrepareDestroyWindow();
    PlugIn();
    EXPECT_FALSE(core.Plug().HasIcon());
    EXPECT_EQ(platform.liveIcons, 0);
}

}  // namespace
