#include "stand_ins.h"

#include <windows.h>

#include <cstdio>

#include "e2e_support.h"
#include "win/text_win32.h"

namespace stand_in {

void Install() {
    const std::string source = BinDirectory() + "\\record_args.exe";
    CreateDirectoryA("C:\\krytest", nullptr);
    CreateDirectoryA(kViewerDir, nullptr);
    CreateDirectoryA("C:\\Program Files\\KRY Test", nullptr);
    const std::wstring cyrillic = FromUtf8(kQuickLaunchCyrillic);
    CreateDirectoryW(cyrillic.substr(0, cyrillic.rfind(L'\\')).c_str(), nullptr);
    for (const char* target :
         {kViewer, kQuickLaunch, kQuickLaunchWithBlanks, kQuickLaunchCyrillic}) {
        CopyFileW(FromUtf8(source).c_str(), FromUtf8(target).c_str(), FALSE);
    }
    char path[32768];
    const DWORD length = GetEnvironmentVariableA("PATH", path, sizeof path);
    const std::string current(path, length < sizeof path ? length : 0);
    if (current.find(kViewerDir) == std::string::npos) {
        SetEnvironmentVariableA("PATH", (std::string(kViewerDir) + ";" + current).c_str());
    }
}

void ClearStarts(const std::string& program) {
    DeleteFileW(FromUtf8(program + ".args").c_str());
}

std::vector<std::string> Starts(const std::string& program) {
    std::vector<std::string> lines;
    FILE* in = _wfopen(FromUtf8(program + ".args").c_str(), L"r");
    if (in == nullptr) {
        return lines;
    }
    char line[4096];
    while (std::fgets(line, sizeof line, in) != nullptr) {
        std::string text(line);
        text = text.substr(0, text.find('\n'));
        if (!text.empty()) {
            lines.push_back(text);
        }
    }
    std::fclose(in);
    return lines;
}

}  // namespace stand_in
