// KRYTray-<version>.msi under Wine's msiexec, in the setup tests' prefix.
#include <gtest/gtest.h>

#include "setup_fixture.h"
#include "tests/e2e/e2e_support.h"

using namespace setup;

namespace {

const std::string kQuickLaunch = "C:\\Program Files\\Snap\\snap.exe";

class PackageTest : public SetupTest {
protected:
    // Starts the installed program as a user would, once it shows its controller.
    static UniqueKernelHandle StartInstalledCopy() {
        auto program = Start(Quoted(kInstalledExe));
        EXPECT_TRUE(program && WaitForCopy(kInstalledExe) == program->processId);
        return program ? std::move(program->process) : UniqueKernelHandle();
    }
    // The copy has ended, with the exit code "EXIT" gives it.
    static void ExpectEnded(const UniqueKernelHandle& program) {
        DWORD exitCode = 1234;
        EXPECT_EQ(WaitForSingleObject(program.get(), 0), WAIT_OBJECT_0);
        EXPECT_TRUE(GetExitCodeProcess(program.get(), &exitCode) && exitCode == 0);
    }
    const std::string m_install = "/i " + Quoted(Environment("KRY_PACKAGE"));
    const std::string m_installOld = "/i " + Quoted(Environment("KRY_OLD_PACKAGE"));
};

TEST_F(PackageTest, UpgradeOverARunningCopyWithPropertiesThenADowngradeIsRefused) {
    settings::SetDword("CameraStatus", 0x11);
    ASSERT_EQ(Msiexec(m_installOld), 0u);
    EXPECT_EQ(registry::ReadDword(kSettingsKey, "KRYTray"), 1u) << "nothing was stored";
    const UniqueKernelHandle program = StartInstalledCopy();

    ASSERT_EQ(Msiexec(m_install + " TRAYICON=0 QUICKLAUNCH=" + Quoted(kQuickLaunch)), 0u);
    ExpectEnded(program);
    // The older package holds the program with its symbols: the upgrade replaced it.
    EXPECT_EQ(ReadFileBytes(kInstalledExe), ReadFileBytes(StagedProgram()));
    EXPECT_EQ(registry::ReadString(kRunKey, "KRYTray"), Quoted(kInstalledExe));
    EXPECT_EQ(registry::ReadDword(kSettingsKey, "KRYTray"), 0u);
    EXPECT_EQ(registry::ReadString(kSettingsKey, "QuickLaunch"), kQuickLaunch);
    EXPECT_EQ(registry::ReadDword(kSettingsKey, "CameraStatus"), 0x11u);
    // One entry in Apps and features, the package's own.
    const auto products = InstalledPackages();
    EXPECT_EQ(products.size(), 1u);
    EXPECT_EQ(registry::SubkeysWithDisplayName(kUninstallParent, "KRYTray", KEY_WOW64_64KEY),
              products);

    EXPECT_EQ(Msiexec(m_installOld), 1603u);
    EXPECT_EQ(InstalledPackages(), products);
}

TEST_F(PackageTest, KeepsAStoredTraySwitchAndRepairRestoresTheProgram) {
    settings::SetDword("KRYTray", 0);
    ASSERT_EQ(Msiexec(m_install), 0u);
    EXPECT_EQ(registry::ReadDword(kSettingsKey, "KRYTray"), 0u);
    ASSERT_TRUE(DeleteFileA(kInstalledExe.c_str()));
    ASSERT_EQ(Msiexec(m_install + " REINSTALL=ALL REINSTALLMODE=amus"), 0u);
    EXPECT_EQ(ReadFileBytes(kInstalledExe), ReadFileBytes(StagedProgram()));
    EXPECT_EQ(registry::ReadDword(kSettingsKey, "KRYTray"), 0u);
}

TEST_F(PackageTest, UninstallEndsTheRunningCopyAndTheSetupAndPackageRefuseEachOther) {
    ASSERT_EQ(Msiexec(m_install + " QUICKLAUNCH=" + Quoted(kQuickLaunch)), 0u);
    EXPECT_EQ(Install(), 2u);
    EXPECT_FALSE(registry::KeyExists(kUninstallKey));
    const UniqueKernelHandle program = StartInstalledCopy();

    ASSERT_EQ(Msiexec("/x " + InstalledPackages().at(0)), 0u);
    ExpectEnded(program);
    EXPECT_FALSE(PathExists(kMakerDir));
    EXPECT_FALSE(registry::ReadRaw(kRunKey, "KRYTray"));
    EXPECT_EQ(registry::ReadDword(kSettingsKey, "KRYTray"), 1u);
    EXPECT_EQ(registry::ReadString(kSettingsKey, "QuickLaunch"), kQuickLaunch);

    ASSERT_EQ(Install(), 0u);
    EXPECT_EQ(Msiexec(m_install), 1603u);
    EXPECT_TRUE(InstalledPackages().empty());
}

}  // namespace
