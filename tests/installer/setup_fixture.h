// The set-up of the setup tests: a machine without KRYTray before and after each test, and the
// setup, the uninstaller and the copies they start.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "setup_support.h"

namespace setup {

constexpr const char* kBlankRoot = "C:\\KRY Setup Test";
constexpr const char* kBlankDir = "C:\\KRY Setup Test\\Velmora Tray";
inline const std::string kInstalledExe = std::string(kDefaultDir) + "\\KRYTray.exe";
inline const std::string kUninstaller = std::string(kDefaultDir) + "\\uninstall.exe";
// The program as the setup, the package and the zip carry it (stripped); the product codes of
// every installed version of the package.
std::string StagedProgram();
std::vector<std::string> InstalledPackages();

std::string Quoted(const std::string& text);
// Milliseconds since `start`, for the timings the run prints.
long long MillisecondsSince(std::chrono::steady_clock::time_point start);

class SetupTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // What a machine without KRYTray has: no folder, values, entry or language file.
    static void RemoveEverything();
    // Runs the setup silently; its exit code, or a failure.
    static DWORD Install(const std::string& arguments = "", long long* took = nullptr);
    // The copy running from `exe` other than `other`, once it shows its controller; 0 if none.
    static DWORD WaitForCopy(const std::string& exe, DWORD other = 0);
    // Runs the entry's QuietUninstallString and waits until the uninstaller's temporary copy
    // has removed `dir`; false when that does not happen in time.
    static bool UninstallQuietly(const std::string& dir, long long* took = nullptr);
    void StartUnresponsiveCopy();
    // Runs msiexec silently with `arguments` and a verbose log in the artifacts; its exit code.
    static DWORD Msiexec(const std::string& arguments);

    UniqueKernelHandle m_standIn;
};

}  // namespace setup
