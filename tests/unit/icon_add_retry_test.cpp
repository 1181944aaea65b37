#include "tray/icon_add_retry.h"

#include <gtest/gtest.h>

#include "fake_shell_icon.h"

using namespace std::chrono_literals;

TEST(IconAddRetry, TriesAgainLaterAndNeverAddsASecondIcon) {
    FakeShellIcon shell;
    IconAddRetry retry(shell);
    for (const auto expected : {1s, 2s, 4s, 8s, 16s, 32s, 60s, 60s}) {
        EXPECT_FALSE(retry.Show());
        EXPECT_EQ(retry.Delay(), expected);
    }
    // The last add timed out but happened: the next try finds it, adds nothing and asks the
    // version the lost answer never set.
    shell.calls.clear();
    shell.shellHasIcon = true;
    EXPECT_TRUE(retry.Show());
    EXPECT_EQ(shell.calls, "HV");
    EXPECT_FALSE(retry.Pending());

    // Shown: the resume check asks and does nothing more; a restarted shell gets one add.
    shell.calls.clear();
    EXPECT_TRUE(retry.Show());
    shell.shellHasIcon = false;
    shell.addSucceeds = true;
    EXPECT_TRUE(retry.Show());
    EXPECT_EQ(shell.calls, "HHAV");

    shell.addSucceeds = false;
    shell.shellHasIcon = false;
    EXPECT_FALSE(retry.Show());
    retry.Stop();
    EXPECT_FALSE(retry.Pending()) << "an icon no longer wanted is not tried again";
}
