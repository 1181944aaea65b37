// KRYTray-<version>.msi under Wine's msiexec, in the setup tests' prefix.
#include <gtest/gtest.h>

#include "setup_fixture.h"
#include "tests/e2e/e2e_support.h"

using namespace setup;

namespace {

const std::string kQuickLaunch = "C:\\Program Files\\Snap\\snap.exe";
const std::string kInstall = "/i " + Quoted(Environment("KRY_PACKAGE"));

TEST_F(SetupTest, PackageUpgradeOverARunningCopyWithPropertiesThenADowngradeIsRefused) {
    const std::string installOld = "/i " + Quoted(Environment("KRY_OLD_PACKAGE"));
    ASSERT_EQ(Msiexec(installOld), 0u);
    const auto copy = Start(Quoted(kInstalledExe));
    ASSERT_TRUE(copy && WaitForCopy(kInstalledExe) == copy->processId);
    ASSERT_EQ(Msiexec(kInstall + " TRAYICON=0 QUICKLAUNCH=" + Quoted(kQuickLaunch)), 0u);
    // Ended as "EXIT" ends it, with exit code 0 (STILL_ACTIVE while it runs).
    DWORD exitCode = 1234;
    EXPECT_TRUE(GetExitCodeProcess(copy->process.get(), &exitCode) && exitCode == 0);
    // The older package holds the program with its symbols: the upgrade replaced it.
    EXPECT_EQ(ReadFileBytes(kInstalledExe), ReadFileBytes(StagedProgram()));
    EXPECT_EQ(registry::ReadString(kRunKey, "KRYTray"), Quoted(kInstalledExe));
    EXPECT_EQ(registry::ReadDword(kSettingsKey, "KRYTray"), 0u);
    EXPECT_EQ(registry::ReadString(kSettingsKey, "QuickLaunch"), kQuickLaunch);
    const auto products = InstalledPackages();
    EXPECT_EQ(products.size(), 1u);
    EXPECT_EQ(Msiexec(installOld), 1603u);
    EXPECT_EQ(InstalledPackages(), products);
}

TEST_F(SetupTest, PackageKeepsAStoredTraySwitchRepairsAndUninstallsWhileRunning) {
    settings::SetDword("KRYTray", 0);
    ASSERT_EQ(Msiexec(kInstall + " QUICKLAUNCH=" + Quoted(kQuickLaunch)), 0u);
    ASSERT_TRUE(DeleteFileA(kInstalledExe.c_str()));
    ASSERT_EQ(Msiexec(kInstall + " REINSTALL=ALL REINSTALLMODE=amus"), 0u);
    EXPECT_EQ(ReadFileBytes(kInstalledExe), ReadFileBytes(StagedProgram()));
    const auto copy = Start(Quoted(kInstalledExe));
    ASSERT_TRUE(copy && WaitForCopy(kInstalledExe) == copy->processId);
    ASSERT_EQ(Msiexec("/x " + InstalledPackages().at(0)), 0u);
    DWORD exitCode = 1234;
    EXPECT_TRUE(GetExitCodeProcess(copy->process.get(), &exitCode) && exitCode == 0);
    EXPECT_FALSE(PathExists(kMakerDir));
    EXPECT_FALSE(registry::ReadRaw(kRunKey, "KRYTray"));
    EXPECT_EQ(registry::ReadDword(kSettingsKey, "KRYTray"), 0u);
    EXPECT_EQ(registry::ReadString(kSettingsKey, "QuickLaunch"), kQuickLaunch);
}

}  // namespace
