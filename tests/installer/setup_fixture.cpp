#include "setup_fixture.h"

#include <msi.h>

#include <filesystem>

#include "tests/e2e/e2e_support.h"

namespace setup {

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

long long MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

std::string StagedProgram() {
    return BinDirectory() + "\\..\\installer\\stage\\KRYTray.exe";
}

std::vector<std::string> InstalledPackages() {
    std::vector<std::string> products;
    char code[39] = "";
    while (MsiEnumRelatedProductsA(KRY_MSI_UPGRADE_CODE, 0, products.size(), code) == 0) {
        products.emplace_back(code);
    }
    return products;
}

DWORD SetupTest::Msiexec(const std::string& arguments) {
    static int run = 0;
    const std::string log =
        Environment("KRY_SCREENSHOT_DIR") + "\\msiexec_" + std::to_string(++run);
    DWORD exitCode = 1234;
    EXPECT_TRUE(
        RunAndWait("msiexec " + arguments + " /qn /l*v " + Quoted(log + ".log"), &exitCode));
    return exitCode;
}

void SetupTest::SetUp() {
    ASSERT_FALSE(SetupPath().empty()) << "KRY_SETUP names no setup";
    RemoveEverything();
}

void SetupTest::TearDown() {
    if (m_standIn) {
        TerminateProcess(m_standIn.get(), 0);
        WaitForSingleObject(m_standIn.get(), 5000);
    }
    EndAllCopies();
    RemoveEverything();
}

void SetupTest::RemoveEverything() {
    for (const std::string& product : InstalledPackages()) {
        Msiexec("/x " + product);
    }
    std::error_code ignored;
    std::filesystem::remove_all(kMakerDir, ignored);
    std::filesystem::remove_all(kBlankRoot, ignored);
    std::filesystem::remove(LanguageFilePath(), ignored);
    registry::DeleteValue(kRunKey, "KRYTray");
    registry::DeleteTree(kUninstallKey);
    registry::DeleteTree(kSettingsKey);
}

DWORD SetupTest::Install(const std::string& arguments, long long* took) {
    const auto start = std::chrono::steady_clock::now();
    DWORD exitCode = 1234;
    EXPECT_TRUE(RunAndWait(Quoted(SetupPath()) + " /S" + arguments, &exitCode)) << "setup hung";
    if (took != nullptr) {
        *took = MillisecondsSince(start);
    }
    return exitCode;
}

DWORD SetupTest::WaitForCopy(const std::string& exe, DWORD other) {
    DWORD found = 0;
    PollUntil(
        [&] {
            for (const Copy& copy : RunningProcesses()) {
                if (copy.processId != other &&
                    lstrcmpiA(copy.imagePath.c_str(), exe.c_str()) == 0 &&
                    ControllerWindowOf(copy.processId) != nullptr) {
                    found = copy.processId;
                    return true;
                }
            }
            return false;
        },
        10s);
    return found;
}

bool SetupTest::UninstallQuietly(const std::string& dir, long long* took) {
    const auto command = registry::ReadString(kUninstallKey, "QuietUninstallString");
    if (!command) {
        return false;
    }
    const auto start = std::chrono::steady_clock::now();
    DWORD exitCode = 1234;
    if (!RunAndWait(*command, &exitCode) || exitCode != 0) {
        return false;
    }
    // The uninstaller hands over to a temporary copy of itself and returns at once.
    const bool removed = PollUntil(
        [&] { return !PathExists(dir) && RunningProcesses(kUninstallerCopy).empty(); }, 15s);
    if (took != nullptr) {
        *took = MillisecondsSince(start);
    }
    return removed;
}

void SetupTest::StartUnresponsiveCopy() {
    auto started = Start(Quoted(BinDirectory() + "\\kry_unresponsive_tray.exe"));
    ASSERT_TRUE(started);
    m_standIn = std::move(started->process);
    ASSERT_TRUE(PollUntil([&] { return ControllerWindowOf(started->processId) != nullptr; }, 10s));
}

}  // namespace setup
