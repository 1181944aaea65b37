// Copies of the argument-recording stand-in under the names the program starts: the image
// viewer "DEZAD.EXE" on PATH, and quick-launch programs with and without blanks in their path.
// Paths are UTF-8.
#pragma once

#include <string>
#include <vector>

namespace stand_in {
constexpr const char* kViewerDir = "C:\\krytest\\viewer";
constexpr const char* kViewer = "C:\\krytest\\viewer\\DEZAD.EXE";
constexpr const char* kQuickLaunch = "C:\\krytest\\quick.exe";
constexpr const char* kQuickLaunchWithBlanks = "C:\\Program Files\\KRY Test\\quick launch.exe";
// In a folder whose name no Western code page spells (UTF-8).
constexpr const char* kQuickLaunchCyrillic = "C:\\krytest\\\u042E\u0440\u0438\u0439\\quick.exe";

// Installs the copies and puts the viewer's folder on this process's PATH (inherited by the
// program under test). Idempotent.
void Install();
// Forgets earlier starts of `program`.
void ClearStarts(const std::string& program);
// One line per start: "<tick> <argc> [arg0] [arg1] ...".
std::vector<std::string> Starts(const std::string& program);
}  // namespace stand_in
