// KRYTraySetup.exe under Wine: silent install and uninstall, upgrades over a running copy, a copy
// that will not end, a folder with blanks, an older setup over a newer install.
#include <gtest/gtest.h>

#include <cstdio>

#include "setup_fixture.h"
#include "tests/e2e/e2e_support.h"

using namespace setup;

namespace {

constexpr const char* kTranslatedIni =
    "[Language]\r\nID_QUICKLAUNCH=Schnellstart...\r\nID_MENU_EXIT=Beenden\r\n";

TEST_F(SetupTest, FreshSilentInstallThenSilentUninstall) {
    settings::SetDword("CameraStatus", 0x11);
    const std::string quickLaunch = "C:\\Tools\\snap.exe";
    settings::SetRaw("QuickLaunch", REG_SZ, quickLaunch.c_str(),
                     static_cast<DWORD>(quickLaunch.size() + 1));
    const auto cameraStatus = registry::ReadRaw(kSettingsKey, "CameraStatus");
    const auto quickLaunchBefore = registry::ReadRaw(kSettingsKey, "QuickLaunch");

    long long installMs = 0;
    ASSERT_EQ(Install("", &installMs), 0u);
    std::printf("[ timing ] silent install: %lld ms\n", installMs);

    // The program and the uninstaller, byte for byte: the build keeps a copy of the uninstaller
    // the setup writes, to compare builds and check its signature.
    EXPECT_EQ(ReadFileBytes(kInstalledExe), ReadFileBytes(StagedProgram()));
    const auto uninstaller = ReadFileBytes(kUninstaller);
    ASSERT_TRUE(uninstaller);
    EXPECT_TRUE(uninstaller == ReadFileBytes(BinDirectory() + "\\..\\installer\\uninstall.exe"));
    EXPECT_FALSE(PathExists(kInstalledExe + ".new"));
    // The default language file, where the program reads it.
    EXPECT_EQ(ReadFileBytes(LanguageFilePath()), ReadFileBytes(DefaultLanguageFile()));

    EXPECT_EQ(registry::ReadString(kRunKey, "KRYTray"), Quoted(kInstalledExe));

    // The uninstall entry, in the 64-bit view only.
    const std::string version = KRY_EXPECTED_VERSION;
    EXPECT_EQ(registry::ReadString(kUninstallKey, "DisplayName"), "KRYTray");
    EXPECT_EQ(registry::ReadString(kUninstallKey, "DisplayVersion"), version);
    EXPECT_EQ(registry::ReadString(kUninstallKey, "Publisher"), "Velmora");
    EXPECT_EQ(registry::ReadString(kUninstallKey, "DisplayIcon"), kInstalledExe);
    EXPECT_EQ(registry::ReadString(kUninstallKey, "InstallLocation"), kDefaultDir);
    EXPECT_EQ(registry::ReadString(kUninstallKey, "UninstallString"), Quoted(kUninstaller));
    EXPECT_EQ(registry::ReadString(kUninstallKey, "QuietUninstallString"),
              Quoted(kUninstaller) + " /S");
    const auto bytes = ReadFileBytes(kInstalledExe).value_or("").size() +
                       ReadFileBytes(kUninstaller).value_or("").size();
    EXPECT_EQ(registry::ReadDword(kUninstallKey, "EstimatedSize"), (bytes + 1023) / 1024);
    EXPECT_EQ(registry::ReadDword(kUninstallKey, "NoModify"), 1u);
    EXPECT_EQ(registry::ReadDword(kUninstallKey, "NoRepair"), 1u);
    EXPECT_FALSE(registry::KeyExists(kUninstallKey, KEY_WOW64_32KEY));
    // One version everywhere: the program's resource, the setup's and the entry's.
    EXPECT_EQ(FileVersion(kInstalledExe), version + ".0");
    EXPECT_EQ(FileVersion(SetupPath()), version + ".0");

    // The tray switch is added; the driver's and the user's values are left as they were.
    EXPECT_EQ(registry::ReadDword(kSettingsKey, "KRYTray"), 1u);
    EXPECT_EQ(registry::ReadRaw(kSettingsKey, "CameraStatus"), cameraStatus);
    EXPECT_EQ(registry::ReadRaw(kSettingsKey, "QuickLaunch"), quickLaunchBefore);
    EXPECT_FALSE(registry::ReadRaw(kSettingsKey, "debug"));

    // The setup started the installed program, which shows its tray icon.
    const DWORD started = WaitForCopy(kInstalledExe);
    ASSERT_NE(started, 0u) << "the setup did not start the installed program";
    EXPECT_TRUE(PollUntil([&] { return ShowsTrayIcon(started); }, 10s));
    UniqueKernelHandle program = OpenForWait(started);

    long long uninstallMs = 0;
    ASSERT_TRUE(UninstallQuietly(kMakerDir, &uninstallMs)) << "the folder stayed";
    std::printf("[ timing ] silent uninstall: %lld ms\n", uninstallMs);
    ASSERT_EQ(WaitForSingleObject(program.get(), 0), WAIT_OBJECT_0);
    EXPECT_LT(uninstallMs, 5000);
    DWORD exitCode = 1234;
    GetExitCodeProcess(program.get(), &exitCode);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(PathExists(kDefaultDir));
    EXPECT_FALSE(PathExists(LanguageFilePath()));
    EXPECT_FALSE(registry::ReadRaw(kRunKey, "KRYTray"));
    EXPECT_FALSE(registry::KeyExists(kUninstallKey));
    EXPECT_EQ(registry::ReadDword(kSettingsKey, "KRYTray"), 1u);
    EXPECT_EQ(registry::ReadRaw(kSettingsKey, "CameraStatus"), cameraStatus);
    EXPECT_EQ(registry::ReadRaw(kSettingsKey, "QuickLaunch"), quickLaunchBefore);
}

TEST_F(SetupTest, KeepsTheTraySwitchOfZeroAndTheDriversLanguageFile) {
    settings::SetDword("KRYTray", 0);
    // An unnamed default value, as `reg add KEY /f` leaves one, is listed before the others.
    settings::SetRaw("", REG_SZ, "", 1);
    settings::SetDword("CameraStatus", 0x01);
    const std::string quickLaunch = "C:\\Program Files\\Snap\\snap.exe";
    settings::SetRaw("QuickLaunch", REG_SZ, quickLaunch.data(),
                     static_cast<DWORD>(quickLaunch.size()));
    const auto before = [] {
        return std::vector{registry::ReadRaw(kSettingsKey, "KRYTray"),
                           registry::ReadRaw(kSettingsKey, "CameraStatus"),
                           registry::ReadRaw(kSettingsKey, "QuickLaunch")};
    };
    const auto values = before();
    ASSERT_TRUE(WriteFileBytes(LanguageFilePath(), kTranslatedIni));

    ASSERT_EQ(Install(), 0u);
    EXPECT_EQ(before(), values);
    EXPECT_EQ(ReadFileBytes(LanguageFilePath()), kTranslatedIni);
    // With the switch at 0 the program runs without an icon.
    const DWORD started = WaitForCopy(kInstalledExe);
    ASSERT_NE(started, 0u);

    ASSERT_TRUE(UninstallQuietly(kMakerDir));
    EXPECT_EQ(ReadFileBytes(LanguageFilePath()), kTranslatedIni);
    EXPECT_EQ(before(), values);
}

TEST_F(SetupTest, UpgradeEndsTheRunningCopyAndLeavesOne) {
    ASSERT_EQ(Install(), 0u);
    const DWORD first = WaitForCopy(kInstalledExe);
    ASSERT_NE(first, 0u);
    UniqueKernelHandle old = OpenForWait(first);
    // An older version was installed: the setup goes over it.
    registry::WriteString(kUninstallKey, "DisplayVersion", "0.9.0");

    ASSERT_EQ(Install(), 0u);
    ASSERT_EQ(WaitForSingleObject(old.get(), 0), WAIT_OBJECT_0) << "the old copy still runs";
    DWORD exitCode = 1234;
    GetExitCodeProcess(old.get(), &exitCode);
    EXPECT_EQ(exitCode, 0u);
    const DWORD second = WaitForCopy(kInstalledExe, first);
    ASSERT_NE(second, 0u) << "the setup did not start the new copy";
    EXPECT_TRUE(PollUntil([&] { return ShowsTrayIcon(second); }, 10s));
    EXPECT_EQ(RunningProcesses().size(), 1u);

    EXPECT_EQ(registry::ReadString(kUninstallKey, "DisplayVersion"), KRY_EXPECTED_VERSION);
    EXPECT_EQ(registry::SubkeysWithDisplayName(kUninstallParent, "KRYTray", KEY_WOW64_64KEY),
              std::vector<std::string>{"KRYTray"});
    EXPECT_TRUE(
        registry::SubkeysWithDisplayName(kUninstallParent, "KRYTray", KEY_WOW64_32KEY).empty());
}

TEST_F(SetupTest, FolderWithBlanksAndTheRunValueStartingIt) {
    ASSERT_EQ(Install(std::string(" /D=") + kBlankDir), 0u);
    const std::string exe = std::string(kBlankDir) + "\\KRYTray.exe";
    EXPECT_TRUE(PathExists(exe));
    EXPECT_FALSE(PathExists(kDefaultDir));
    EXPECT_EQ(registry::ReadString(kUninstallKey, "InstallLocation"), kBlankDir);
    const auto run = registry::ReadString(kRunKey, "KRYTray");
    ASSERT_EQ(run, Quoted(exe));
    ASSERT_NE(WaitForCopy(exe), 0u);
    EndAllCopies();

    // What Windows does at log-on: the value as a command line.
    const auto program = Start(*run);
    ASSERT_TRUE(program);
    ASSERT_EQ(WaitForCopy(exe), program->processId);
    EXPECT_TRUE(PollUntil([&] { return ShowsTrayIcon(program->processId); }, 10s));

    // Without /D an upgrade stays in the installed copy's folder.
    ASSERT_EQ(Install(), 0u);
    EXPECT_FALSE(PathExists(kDefaultDir));
    EXPECT_EQ(registry::ReadString(kUninstallKey, "InstallLocation"), kBlankDir);
    EXPECT_EQ(WaitForSingleObject(program->process.get(), 0), WAIT_OBJECT_0);
    ASSERT_NE(WaitForCopy(exe, program->processId), 0u);

    ASSERT_TRUE(UninstallQuietly(kBlankDir));
    EXPECT_FALSE(registry::KeyExists(kUninstallKey));
    EXPECT_TRUE(RunningProcesses().empty());
}

// A copy that is still starting holds the program file before its window exists: the uninstaller
// ends it once the window appears instead of failing on the file.
TEST_F(SetupTest, UninstallEndsACopyThatIsStillStarting) {
    ASSERT_EQ(Install(), 0u);
    ASSERT_NE(WaitForCopy(kInstalledExe), 0u);
    EndAllCopies();
    const auto program = Start(Quoted(kInstalledExe), CREATE_SUSPENDED);
    ASSERT_TRUE(program);

    const auto command = registry::ReadString(kUninstallKey, "QuietUninstallString");
    ASSERT_TRUE(command);
    DWORD exitCode = 1234;
    ASSERT_TRUE(RunAndWait(*command, &exitCode));
    // Give the uninstaller time to meet the file held, then let the copy start.
    std::this_thread::sleep_for(1s);
    ResumeThread(program->thread.get());

    EXPECT_TRUE(PollUntil([&] { return !PathExists(kMakerDir); }, 10s));
    ASSERT_EQ(WaitForSingleObject(program->process.get(), 5000), WAIT_OBJECT_0);
    GetExitCodeProcess(program->process.get(), &exitCode);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(registry::KeyExists(kUninstallKey));
}

TEST_F(SetupTest, CopyThatIgnoresExitStopsSetupAndUninstallerBeforeAnyChange) {
    ASSERT_EQ(Install(), 0u);
    ASSERT_NE(WaitForCopy(kInstalledExe), 0u);
    EndAllCopies();
    // Marks that a replacement would overwrite.
    ASSERT_TRUE(WriteFileBytes(kInstalledExe, "the installed copy"));
    registry::WriteString(kUninstallKey, "DisplayVersion", "0.9.0");
    registry::WriteString(kRunKey, "KRYTray", "\"C:\\old\\KRYTray.exe\"");
    const auto state = [] {
        return std::vector{ReadFileBytes(kInstalledExe),
                           ReadFileBytes(kUninstaller),
                           ReadFileBytes(LanguageFilePath()),
                           registry::ReadRaw(kRunKey, "KRYTray"),
                           registry::ReadRaw(kUninstallKey, "DisplayVersion"),
                           registry::ReadRaw(kUninstallKey, "InstallLocation")};
    };
    const auto before = state();
    StartUnresponsiveCopy();

    const auto start = std::chrono::steady_clock::now();
    EXPECT_NE(Install(), 0u);
    const long long waited = MillisecondsSince(start);
    EXPECT_GE(waited, 4500) << "the setup gave up before the copy had 5 s to end";
    EXPECT_LT(waited, 15000);
    EXPECT_EQ(state(), before);
    EXPECT_EQ(WaitForSingleObject(m_standIn.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

    // The uninstaller, run in place (_?=) so that its exit code is its own.
    DWORD exitCode = 0;
    ASSERT_TRUE(RunAndWait(Quoted(kUninstaller) + " /S _?=" + kDefaultDir, &exitCode));
    EXPECT_NE(exitCode, 0u);
    EXPECT_EQ(state(), before);
    EXPECT_TRUE(registry::KeyExists(kUninstallKey));
}

TEST_F(SetupTest, OlderSetupLeavesANewerInstallRunning) {
    ASSERT_EQ(Install(), 0u);
    const DWORD running = WaitForCopy(kInstalledExe);
    ASSERT_NE(running, 0u);
    registry::WriteString(kUninstallKey, "DisplayVersion", "99.0.0");

    EXPECT_NE(Install(), 0u);
    EXPECT_EQ(registry::ReadString(kUninstallKey, "DisplayVersion"), "99.0.0");
    ASSERT_EQ(RunningProcesses().size(), 1u);
    EXPECT_EQ(RunningProcesses().front().processId, running);
}

}  // namespace
