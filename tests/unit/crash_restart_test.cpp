#include "app/crash_restart.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::ElementsAre;

TEST(CrashRestart, ThreeRestartsInTenMinutesThenItStaysDown) {
    const int64_t now = 1'000'000;
    EXPECT_TRUE(ShouldRestart({now}, now));
    EXPECT_TRUE(ShouldRestart({now - 300, now - 200, now}, now));
    EXPECT_FALSE(ShouldRestart({now - 300, now - 200, now - 100, now}, now)) << "the fourth";
    // Crashes older than ten minutes no longer count.
    EXPECT_TRUE(ShouldRestart({now - 900, now - 601, now - 600 + 1, now - 1, now}, now));
}

TEST(CrashRestart, KeepsTheNewestFiveDumps) {
    const std::vector<std::string> names = {
        DumpFileName(2026, 12, 8, 11, 0, 0, 5), DumpFileName(2025, 1, 31, 23, 59, 59, 999),
        DumpFileName(2026, 12, 8, 10, 59, 59, 0), DumpFileName(2026, 12, 8, 11, 0, 0, 40),
        DumpFileName(2026, 2, 1, 0, 0, 0, 0),     DumpFileName(2026, 12, 9, 0, 0, 0, 0),
        DumpFileName(2026, 12, 8, 9, 0, 0, 0)};
    EXPECT_EQ(names[0], "crash-20261208-110000-005.dmp");
    EXPECT_THAT(DumpsToDelete(names),
                ElementsAre("crash-20250131-235959-999.dmp", "crash-20260201-000000-000.dmp"));
    EXPECT_TRUE(DumpsToDelete({names.begin(), names.begin() + 5}).empty());
}

TEST(CrashRestart, RestartedCopyFindsTheCrashedCopysProcessId) {
    EXPECT_EQ(CrashedCopyProcessId("\"C:\\KRYTray.exe\" --after-crash 1234"), 1234u);
    EXPECT_EQ(CrashedCopyProcessId("\"C:\\KRYTray.exe\""), std::nullopt);
    EXPECT_EQ(CrashedCopyProcessId("\"C:\\KRYTray.exe\" --after-crash x"), std::nullopt);
    EXPECT_EQ(CrashedCopyProcessId("\"C:\\KRYTray.exe\" --after-crash 0"), std::nullopt);
}

}  // namespace
