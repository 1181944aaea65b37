#include "stand_ins.h"

#include <windows.h>

#include <fstream>

#include "e2e_support.h"

namespace stand_in {

void Install() {
    const std::string source = BinDirectory() + "\\record_args.exe";
    CreateDirectoryA("C:\\krytest", nullptr);
    CreateDirectoryA(kViewerDir, nullptr);
    CreateDirectoryA("C:\\Program Files\\KRY Test", nullptr);
    for (const char* target : {kViewer, kQuickLaunch, kQuickLaunchWithBlanks}) {
        CopyFileA(source.c_str(), target, FALSE);
    }
    char path[32768];
    const DWORD length = GetEnvironmentVariableA("PATH", path, sizeof path);
    const std::string current(path, length < sizeof path ? length : 0);
    if (current.find(kViewerDir) == std::string::npos) {
        SetEnvironmentVariableA("PATH", (std::string(kViewerDir) + ";" + current).c_str());
    }
}

void ClearStarts(const std::string& program) {
    DeleteFileA((program + ".args").c_str());
}

std::vector<std::string> Starts(const std::string& program) {
    std::ifstream in(program + ".args");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) {
            lines.push_back(line);
        }
    }
    return lines;
}

}  // namespace stand_in
