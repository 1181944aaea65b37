#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "debug_record_capture.h"
#include "fake_camera.h"
#include "memory_settings_backend.h"

namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    DebugRecordCapture log{103};
    MemorySettingsBackend backend;
    FakeCamera camera;
    SettingsStore store{backend, camera};
};

TEST_F(SettingsStoreTest, MissingKeyReadsAsZeroAndLeavesPathUntouched) {
    backend.keyExists = false;
    backend.SetDword("CameraStatus", 7);
    EXPECT_EQ(store.ReadCameraStatus(), 0u);
    EXPECT_EQ(store.ReadTrayEnabled(), 0u);
    EXPECT_EQ(store.ReadDebugLevel(), 0);
    EXPECT_FALSE(store.ReadQuickLaunchPath());
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
    store.ReadQuickLaunchPath();
    EXPECT_EQ(backend.lastAccess, 0x20019u);
    store.ClearCameraStatus(STATUS_SNAP_BUTTON);
    EXPECT_EQ(backend.lastAccess, 0x20019u);
    store.WriteQuickLaunchPath(u"x.exe");
    EXPECT_EQ(backend.lastAccess, 0x0002u);
}

TEST_F(SettingsStoreTest, Wow64AddsTheSixtyFourBitView) {
    backend.wow64 = true;
    store.ReadCameraStatus();
    EXPECT_EQ(backend.lastAccess, 0x20119u);
    store.WriteQuickLaunchPath(u"x.exe");
    EXPECT_EQ(backend.lastAccess, 0x0102u);
}

TEST_F(SettingsStoreTest, ClearSendsWholeNewSetAndNeverWritesTheRegistry) {
    backend.SetDword("CameraStatus", 0x0B);
    EXPECT_EQ(store.ClearCameraStatus(0x02), 0);
    ASSERT_EQ(camera.Sets().size(), 1u);
    EXPECT_EQ(camera.Sets()[0].id, PROP_STATUS);
    EXPECT_EQ(camera.Sets()[0].block.words[0], 5);
    EXPECT_EQ(camera.Sets()[0].block.words[1], 0x09);
    EXPECT_EQ(camera.Sets()[0].block.words[2], 0);
    EXPECT_EQ(camera.Sets()[0].block.words[3], 0);
    EXPECT_EQ(store.ReadCameraStatus(), 0x0Bu);
    ASSERT_EQ(log.Records().size(), 1u);
    EXPECT_EQ(log.Records()[0], (DebugRecord{103, "ClearCameraStatus 0x9"}));
}

TEST_F(SettingsStoreTest, SetWithMissingValueSendsTheMask) {
    EXPECT_EQ(store.SetCameraStatus(0x10), 0);
    ASSERT_EQ(camera.Sets().size(), 1u);
    EXPECT_EQ(camera.Sets()[0].block.words[1], 0x10);
    EXPECT_EQ(log.Records().back().text, "SetCameraStatus 0x10");
}

TEST_F(SettingsStoreTest, StatusChangeWithoutCameraStillLogs) {
    camera.open = false;
    backend.SetDword("CameraStatus", 0x1F);
    EXPECT_EQ(store.ClearCameraStatus(0x1F), -1);
    EXPECT_TRUE(camera.Sets().empty());
    EXPECT_EQ(log.Records().back().text, "ClearCameraStatus 0x0");
}

TEST_F(SettingsStoreTest, QuickLaunchIsStoredAsUtf16WithoutNulAndReadBack) {
    const std::u16string path = u"C:\\Users\\\u042E\u0440\u0438\u0439\\a.exe";
    EXPECT_EQ(store.WriteQuickLaunchPath(path), 0);
    EXPECT_EQ(backend.values["QuickLaunch"], MemorySettingsBackend::Utf16(path));
    EXPECT_EQ(store.ReadQuickLaunchPath(), path);

    EXPECT_EQ(store.WriteQuickLaunchPath(u""), 0);
    EXPECT_TRUE(backend.values["QuickLaunch"].empty());
    EXPECT_EQ(store.ReadQuickLaunchPath(), u"") << "an empty value is a choice of nothing";
}

TEST_F(SettingsStoreTest, QuickLaunchReaderEndsTheTextItself) {
    backend.values["QuickLaunch"] = {'a', 0, 'b', 0, 0, 0, 'c', 0, 'd'};
    EXPECT_EQ(store.ReadQuickLaunchPath(), u"ab");
    backend.values["QuickLaunch"] = {'a', 0, 'b'};
    EXPECT_EQ(store.ReadQuickLaunchPath(), u"a") << "an odd last byte is no character";

    backend.SetText("QuickLaunch", std::string(512, 'p'));
    EXPECT_EQ(store.ReadQuickLaunchPath().value_or(u"").size(), 511u)
        << "a full buffer keeps room for the terminator";

    backend.SetText("QuickLaunch", std::string(600, 'p'));
    EXPECT_FALSE(store.ReadQuickLaunchPath());
}

TEST_F(SettingsStoreTest, WriteKeepsAtMost511CharactersAndNoHalfPair) {
    store.WriteQuickLaunchPath(std::u16string(600, u'q'));
    EXPECT_EQ(backend.values["QuickLaunch"].size(), 511u * 2);
    // A pair whose second half would be the 512th character is dropped whole.
    store.WriteQuickLaunchPath(std::u16string(510, u'q') + u"\U0001F600");
    EXPECT_EQ(backend.values["QuickLaunch"].size(), 510u * 2);
}

// A standard user may read the machine's key but not write it: the user's own value is then
// where the choice is kept, and it wins over the machine's.
TEST_F(SettingsStoreTest, QuickLaunchOfTheUserWinsAndIsWrittenWhenTheMachineKeyIsNot) {
    backend.SetText("QuickLaunch", "C:\\machine.exe");
    backend.machineWriteError = 5;
    EXPECT_EQ(store.WriteQuickLaunchPath(u"C:\\mine.exe"), 0);
    EXPECT_EQ(store.ReadQuickLaunchPath(), u"C:\\mine.exe");
    EXPECT_EQ(store.WriteQuickLaunchPath(u""), 0);
    EXPECT_EQ(store.ReadQuickLaunchPath(), u"") << "the user's empty choice still wins";
    EXPECT_EQ(backend.values["QuickLaunch"], MemorySettingsBackend::Utf16(u"C:\\machine.exe"));

    backend.userValues.clear();
    EXPECT_EQ(store.ReadQuickLaunchPath(), u"C:\\machine.exe");

    // Neither key writable: the error comes back, nothing changed, and the record says why.
    backend.userWriteError = 5;
    EXPECT_EQ(store.WriteQuickLaunchPath(u"C:\\lost.exe"), 5);
    EXPECT_EQ(store.ReadQuickLaunchPath(), u"C:\\machine.exe");
    EXPECT_EQ(log.Records().back(),
              (DebugRecord{100, "QuickLaunch not stored: machine key error 5, user key error 5"}));
    EXPECT_EQ(backend.opens, backend.closes);
}

TEST_F(SettingsStoreTest, AnAdministratorsChoiceIsTheMachinesAndRemovesTheUsersOwn) {
    backend.SetUserText("QuickLaunch", u"C:\\old.exe");
    EXPECT_EQ(store.WriteQuickLaunchPath(u"C:\\new.exe"), 0);
    EXPECT_EQ(backend.userValues.count("QuickLaunch"), 0u);
    EXPECT_EQ(store.ReadQuickLaunchPath(), u"C:\\new.exe");

    // A user's value that cannot go would hide the choice: that is no success.
    backend.SetUserText("QuickLaunch", u"C:\\old.exe");
    backend.userWriteError = 5;
    EXPECT_EQ(store.WriteQuickLaunchPath(u"C:\\newer.exe"), 5);
}

}  // namespace
