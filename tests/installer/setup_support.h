// What the setup tests need around KRYTraySetup.exe: running it, the files and 64-bit registry
// values it leaves, and the copies of the program that run.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "win/handles_win32.h"

namespace setup {

constexpr const char* kDefaultDir = "C:\\Program Files (x86)\\Velmora\\KRYTray";
constexpr const char* kMakerDir = "C:\\Program Files (x86)\\Velmora";
constexpr const char* kUninstallParent = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr const char* kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KRYTray";
constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kSettingsKey = settings::kKeyPath;

// A variable of the runner's environment, "" when unset.
std::string Environment(const char* name);
// From the runner's environment: the setup under test and the default language file.
std::string SetupPath();
std::string DefaultLanguageFile();
// The language file where the installed program reads it: its own system directory (this test
// program is built for the same processor as the program the setup installs).
std::string LanguageFilePath();

// A process started from a command line; the thread stays suspended with CREATE_SUSPENDED.
struct Started {
    UniqueKernelHandle process;
    UniqueKernelHandle thread;
    DWORD processId = 0;
};
std::optional<Started> Start(const std::string& commandLine, DWORD flags = 0);

// Runs a command line and waits for its end; false when it could not start or did not end.
bool RunAndWait(const std::string& commandLine, DWORD* exitCode,
                std::chrono::milliseconds timeout = std::chrono::seconds(60));

std::optional<std::string> ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool PathExists(const std::string& path);

// The fixed file version of an executable's version resource, "a.b.c.d", or "".
std::string FileVersion(const std::string& path);

constexpr const char* kProgram = "KRYTray.exe";
// The name of the temporary copy the uninstaller runs as.
constexpr const char* kUninstallerCopy = "Un.exe";

// A running process of the program (or another executable, by file name).
struct Copy {
    DWORD processId;
    std::string imagePath;
};
std::vector<Copy> RunningProcesses(const char* exeName = kProgram);
// Its tray icon (either look) is in the notification area.
bool ShowsTrayIcon(DWORD processId);
// Ends every running copy: "EXIT", then TerminateProcess for one that does not end.
void EndAllCopies();

UniqueKernelHandle OpenForWait(DWORD processId);

}  // namespace setup
