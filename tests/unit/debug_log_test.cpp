#include "diag/debug_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Record {
    int32_t level;
    std::string text;
    std::size_t length;
};
std::vector<Record> g_sent;
int g_calls = 0;

int Capture(int32_t level, const char* text, std::size_t length) {
    ++g_calls;
    g_sent.push_back({level, std::string(text, length), length});
    return 0;
}

class DebugLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_sent.clear();
        g_calls = 0;
        SetDebugRecordSender(Capture);
    }
    void TearDown() override {
        SetDebugRecordSender(nullptr);
        DebugLevel = 0;
    }
};

TEST_F(DebugLogTest, LevelZeroSendsNothing) {
    DebugLevel = 0;
    DebugLog(100, "plug in and play!");
    DebugLogText(100, "camera");
    EXPECT_EQ(g_calls, 0);
}

TEST_F(DebugLogTest, OnlyLevelsUpToTheSettingAreSent) {
    DebugLevel = 100;
    for (int level = 100; level <= 103; ++level) {
        DebugLog(level, "level %d", level);
    }
    ASSERT_EQ(g_sent.size(), 1u);
    EXPECT_EQ(g_sent[0].level, 100);
}

TEST_F(DebugLogTest, NegativeLevelDropsEverything) {
    DebugLevel = -1;
    DebugLog(100, "x");
    EXPECT_EQ(g_calls, 0);
}

TEST_F(DebugLogTest, RecordCarriesLevelAndLengthWithoutTerminator) {
    DebugLevel = 103;
    DebugLog(103, "ClearCameraStatus 0x%x", 9u);
    ASSERT_EQ(g_sent.size(), 1u);
    EXPECT_EQ(g_sent[0].level, 103);
    EXPECT_EQ(g_sent[0].length, 21u);
    EXPECT_EQ(g_sent[0].text, "ClearCameraStatus 0x9");
}

TEST_F(DebugLogTest, NamesAreSentVerbatim) {
    DebugLevel = 100;
    DebugLogText(100, "Cam %s %n 100%");
    DebugLog(100, "%s", "C:\\100%\\x.exe");
    ASSERT_EQ(g_sent.size(), 2u);
    EXPECT_EQ(g_sent[0].text, "Cam %s %n 100%");
    EXPECT_EQ(g_sent[1].text, "C:\\100%\\x.exe");
}

TEST_F(DebugLogTest, LongTextIsCutToTheBuffer) {
    DebugLevel = 100;
    const std::string longText(5000, 'a');
    DebugLog(100, "%s", longText.c_str());
    DebugLogText(100, longText.c_str());
    ASSERT_EQ(g_sent.size(), 2u);
    EXPECT_EQ(g_sent[0].length, 2047u);
    EXPECT_EQ(g_sent[1].length, 2047u);
}

TEST_F(DebugLogTest, EmptyTextGivesEmptyRecord) {
    DebugLevel = 100;
    DebugLogText(100, "");
    ASSERT_EQ(g_sent.size(), 1u);
    EXPECT_EQ(g_sent[0].length, 0u);
}

}  // namespace
