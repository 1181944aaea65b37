#include "app/crash_restart.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

namespace {

TEST(CrashRestart, ThreeRestartsInTenMinutesThenItStaysDown) {
    const int64_t now = 1'000'000;
    EXPECT_TRUE(ShouldRestart({now - 300, now - 200, now}, now));
    EXPECT_FALSE(ShouldRestart({now - 300, now - 200, now - 100, now}, now)) << "the fourth";
    EXPECT_TRUE(ShouldRestart({now - 900, now - 600, now - 599, now - 1, now}, now))
        << "crashes ten minutes ago no longer count";
}

TEST(CrashRestart, KeepsTheNewestFiveDumps) {
    const std::vector<std::string> names = {
        DumpFileName(2026, 12, 8, 11, 0, 0, 5),   DumpFileName(2025, 1, 31, 23, 59, 59, 999),
        DumpFileName(2026, 12, 8, 10, 59, 59, 0), DumpFileName(2026, 12, 8, 11, 0, 0, 40),
        DumpFileName(2026, 2, 1, 0, 0, 0, 0),     DumpFileName(2026, 12, 9, 0, 0, 0, 0)};
    EXPECT_EQ(names[0], "crash-20261208-110000-005.dmp");
    EXPECT_THAT(DumpsToDelete(names), ::testing::ElementsAre("crash-20250131-235959-999.dmp"));
}

TEST(CrashRestart, TheStartedCopyReadsWhatTheCrashedOneWrote) {
    const CrashedCopy crashed{1234, 56, 0x12345678abcdULL, true, "crash-20261208-110000-005.dmp"};
    const auto parsed = ParseCrashedCopy("\"C:\\KRYTray.exe\" " + CrashedCopyArguments(crashed));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(std::tie(parsed->processId, parsed->threadId, parsed->exceptionPointers,
                       parsed->restart, parsed->dumpName),
              std::tie(crashed.processId, crashed.threadId, crashed.exceptionPointers,
                       crashed.restart, crashed.dumpName));
    EXPECT_FALSE(ParseCrashedCopy("\"C:\\KRYTray.exe\""));
    EXPECT_FALSE(ParseCrashedCopy("x --after-crash 12 56 1f 1")) << "no dump name";
    EXPECT_FALSE(ParseCrashedCopy("x --after-crash 12 56 1f 1 crash-..\\..\\evil.dmp"));
}

}  // namespace
