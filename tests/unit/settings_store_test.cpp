#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "diag/debug_log.h"
#include "fakes/memory_settings_backend.h"

namespace {

struct SentProperty {
    int32_t id;
    ExtensionBuffer block;
};

// A camera that records what reaches the driver, or refuses when no filter is open.
class RecordingCamera : public ICameraOps {
public:
    bool open = true;
    std::vector<SentProperty> sent;

    int GetExtensionProperty(int32_t, ExtensionBuffer*) override { return open ? 0 : -1; }
    int SetExtensionProperty(int32_t id, ExtensionBuffer* block) override {
        if (!open) {
            return -1;
        }
        sent.push_back({id, *block});
        return 0;
    }
    void SetEffect(int32_t) override {}
    int TriggerStill() override { return 0; }
    void ShowPropertyPages() override {}
};

std::vector<std::pair<int32_t, std::string>> g_records;

int CaptureRecord(int32_t level, const char* text, std::size_t length) {
    g_records.emplace_back(level, std::string(text, length));
    return 0;
}

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_records.clear();
        DebugLevel = 103;
        SetDebugRecordSender(CaptureRecord);
    }
    void TearDown() override {
        SetDebugRecordSender(nullptr);
        DebugLevel = 0;
    }

    MemorySettingsBackend backend;
    RecordingCamera camera;
    SettingsStore store{backend, camera};
};

TEST_F(SettingsStoreTest, MissingKeyReadsAsZeroAndLeavesPathUntouched) {
    backend.keyExists = false;
    backend.SetDword("CameraStatus", 7);
    EXPECT_EQ(store.ReadCameraStatus(), 0u);
    EXPECT_EQ(store.ReadTrayEnabled(), 0u);
    EXPECT_EQ(store.ReadDebugLevel(), 0);
    char path[512] = "keep";
    EXPECT_FALSE(store.ReadQuickLaunchPath(path));
    EXPECT_STREQ(path, "keep");
    EXPECT_EQ(backend.opens, backend.closes) << "every open is closed, also a failed one";
}

TEST_F(SettingsStoreTest, DwordDecodingIsLittleEndianUpToFourBytes) {
    backend.values["CameraStatus"] = {0x05, 0x00};
    EXPECT_EQ(store.ReadCameraStatus(), 5u);
    backend.values["CameraStatus"] = {0x34, 0x12, 0x00, 0x80};
    EXPECT_EQ(store.ReadCameraStatus(), 0x80001234u);
    backend.values["CameraStatus"] = {};
    EXPECT_EQ(store.ReadCameraStatus(), 0u);
    backend.values["CameraStatus"] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(store.ReadCameraStatus(), 0u) << "longer data is a failed read";
}

TEST_F(SettingsStoreTest, DebugLevelIsSigned) {
    backend.SetDword("debug", 0xFFFFFFFFu);
    EXPECT_EQ(store.ReadDebugLevel(), -1);
    backend.SetDword("debug", 103);
    EXPECT_EQ(store.ReadDebugLevel(), 103);
}

TEST_F(SettingsStoreTest, ReadsAskForReadAccessAndTheWriteOnlyForSetValue) {
    store.ReadTrayEnabled();
    EXPECT_EQ(backend.lastAccess, 0x20019u);
    EXPECT_EQ(backend.lastPath, "SOFTWARE\\Velmora\\QXLUMA64\\Current\\");
    char path[512];
    store.ReadQuickLaunchPath(path);
    EXPECT_EQ(backend.lastAccess, 0x20019u);
    store.ClearCameraStatus(STATUS_SNAP_BUTTON);
    EXPECT_EQ(backend.lastAccess, 0x20019u);
    store.WriteQuickLaunchPath("x.exe");
    EXPECT_EQ(backend.lastAccess, 0x0002u);
}

TEST_F(SettingsStoreTest, Wow64AddsTheSixtyFourBitView) {
    backend.wow64 = true;
    store.ReadCameraStatus();
    EXPECT_EQ(backend.lastAccess, 0x20119u);
    store.WriteQuickLaunchPath("x.exe");
    EXPECT_EQ(backend.lastAccess, 0x0102u);
}

TEST_F(SettingsStoreTest, ClearSendsWholeNewSetAndNeverWritesTheRegistry) {
    backend.SetDword("CameraStatus", 0x0B);
    EXPECT_EQ(store.ClearCameraStatus(0x02), 0);
    ASSERT_EQ(camera.sent.size(), 1u);
    EXPECT_EQ(camera.sent[0].id, PROP_STATUS);
    EXPECT_EQ(camera.sent[0].block.words[0], 5);
    EXPECT_EQ(camera.sent[0].block.words[1], 0x09);
    EXPECT_EQ(camera.sent[0].block.words[2], 0);
    EXPECT_EQ(camera.sent[0].block.words[3], 0);
    EXPECT_EQ(store.ReadCameraStatus(), 0x0Bu);
    ASSERT_EQ(g_records.size(), 1u);
    EXPECT_EQ(g_records[0], (std::pair<int32_t, std::string>{103, "ClearCameraStatus 0x9"}));
}

TEST_F(SettingsStoreTest, SetWithMissingValueSendsTheMask) {
    EXPECT_EQ(store.SetCameraStatus(0x10), 0);
    ASSERT_EQ(camera.sent.size(), 1u);
    EXPECT_EQ(camera.sent[0].block.words[1], 0x10);
    EXPECT_EQ(g_records.back().second, "SetCameraStatus 0x10");
}

TEST_F(SettingsStoreTest, StatusChangeWithoutCameraStillLogs) {
    camera.open = false;
    backend.SetDword("CameraStatus", 0x1F);
    EXPECT_EQ(store.ClearCameraStatus(0x1F), -1);
    EXPECT_TRUE(camera.sent.empty());
    EXPECT_EQ(g_records.back().second, "ClearCameraStatus 0x0");
}

TEST_F(SettingsStoreTest, QuickLaunchIsStoredWithoutNulAndReadBack) {
    store.WriteQuickLaunchPath("D:\\a.exe");
    EXPECT_EQ(backend.values["QuickLaunch"].size(), 8u);
    char path[512] = "";
    ASSERT_TRUE(store.ReadQuickLaunchPath(path));
    EXPECT_STREQ(path, "D:\\a.exe");

    store.WriteQuickLaunchPath("");
    EXPECT_TRUE(backend.values["QuickLaunch"].empty());
    std::strcpy(path, "old");
    ASSERT_TRUE(store.ReadQuickLaunchPath(path));
    EXPECT_STREQ(path, "");
}

TEST_F(SettingsStoreTest, QuickLaunchReaderEndsTheTextItself) {
    backend.values["QuickLaunch"] = {'a', 'b', 0, 'c'};
    char path[512];
    std::memset(path, 'x', sizeof path);
    ASSERT_TRUE(store.ReadQuickLaunchPath(path));
    EXPECT_STREQ(path, "ab");

    backend.SetText("QuickLaunch", std::string(512, 'p'));
    ASSERT_TRUE(store.ReadQuickLaunchPath(path));
    EXPECT_EQ(std::strlen(path), 511u) << "a full buffer keeps room for the terminator";

    backend.SetText("QuickLaunch", std::string(600, 'p'));
    std::strcpy(path, "keep");
    EXPECT_FALSE(store.ReadQuickLaunchPath(path));
    EXPECT_STREQ(path, "keep");
}

TEST_F(SettingsStoreTest, WriteKeepsAtMost511Characters) {
    store.WriteQuickLaunchPath(std::string(600, 'q').c_str());
    EXPECT_EQ(backend.values["QuickLaunch"].size(), 511u);
}

}  // namespace
