#include "diag/debug_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "debug_record_capture.h"

namespace {

class DebugLogTest : public ::testing::Test {
protected:
    DebugRecordCapture log;
};

TEST_F(DebugLogTest, LevelZeroSendsNothing) {
    DebugLevel = 0;
    DebugLog(100, "plug in and play!");
    DebugLogText(100, "camera");
    EXPECT_EQ(log.Records().size(), 0u);
}

TEST_F(DebugLogTest, OnlyLevelsUpToTheSettingAreSent) {
    DebugLevel = 100;
    for (int level = 100; level <= 103; ++level) {
        DebugLog(level, "level %d", level);
    }
    ASSERT_EQ(log.Records().size(), 1u);
    EXPECT_EQ(log.Records()[0].level, 100);
}

TEST_F(DebugLogTest, NegativeLevelDropsEverything) {
    DebugLevel = -1;
    DebugLog(100, "x");
    EXPECT_EQ(log.Records().size(), 0u);
}

TEST_F(DebugLogTest, RecordCarriesLevelAndLengthWithoutTerminator) {
    DebugLevel = 103;
    DebugLog(103, "ClearCameraStatus 0x%x", 9u);
    ASSERT_EQ(log.Records().size(), 1u);
    EXPECT_EQ(log.Records()[0].level, 103);
    EXPECT_EQ(log.Records()[0].text.size(), 21u);
    EXPECT_EQ(log.Records()[0].text, "ClearCameraStatus 0x9");
}

TEST_F(DebugLogTest, NamesAreSentVerbatim) {
    DebugLevel = 100;
    DebugLogText(100, "Cam %s %n 100%");
    DebugLog(100, "%s", "C:\\100%\\x.exe");
    ASSERT_EQ(log.Records().size(), 2u);
    EXPECT_EQ(log.Records()[0].text, "Cam %s %n 100%");
    EXPECT_EQ(log.Records()[1].text, "C:\\100%\\x.exe");
}

TEST_F(DebugLogTest, LongTextIsCutToTheBuffer) {
    DebugLevel = 100;
    const std::string longText(5000, 'a');
    DebugLog(100, "%s", longText.c_str());
    DebugLogText(100, longText.c_str());
    ASSERT_EQ(log.Records().size(), 2u);
    EXPECT_EQ(log.Records()[0].text.size(), 2047u);
    EXPECT_EQ(log.Records()[1].text.size(), 2047u);
}

TEST_F(DebugLogTest, EmptyTextGivesEmptyRecord) {
    DebugLevel = 100;
    DebugLogText(100, "");
    ASSERT_EQ(log.Records().size(), 1u);
    EXPECT_EQ(log.Records()[0].text.size(), 0u);
}

}  // namespace
