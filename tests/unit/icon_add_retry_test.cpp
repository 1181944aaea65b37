#include "tray/icon_add_retry.h"

#include <gtest/gtest.h>

#include "fake_shell_icon.h"

using namespace std::chrono_literals;

TEST(IconAddRetry, TriesAgainLaterAndNeverAddsASecondIcon) {
    FakeShellIcon shell;
    IconAddRetry retry(shell);
    for (const auto delay : {1s, 2s, 4s, 8s, 16s, 32s, 60s, 60s}) {
        EXPECT_FALSE(retry.Show());
        EXPECT_EQ(retry.Delay(), delay);
    }
    shell.calls.clear();
    shell.shellHasIcon = true;  // the last add timed out but happened
    EXPECT_TRUE(retry.Show());
    EXPECT_EQ(shell.calls, "HV") << "no second add; the version the lost answer did not set";
}
