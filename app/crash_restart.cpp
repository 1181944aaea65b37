#include "app/crash_restart.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

std::string DumpFileName(int year, int month, int day, int hour, int minute, int second,
                         int millisecond) {
    char name[64];
    (void)std::snprintf(name, sizeof name, "crash-%04d%02d%02d-%02d%02d%02d-%03d.dmp", year, month,
                        day, hour, minute, second, millisecond);
    return name;
}

std::vector<std::string> DumpsToDelete(std::vector<std::string> names, std::size_t keep) {
    if (names.size() <= keep) {
        return {};
    }
    std::sort(names.begin(), names.end());
    names.resize(names.size() - keep);  // the oldest
    return names;
}

bool ShouldRestart(const std::vector<int64_t>& dumpTimesSeconds, int64_t nowSeconds) {
    const auto recent = std::count_if(
        dumpTimesSeconds.begin(), dumpTimesSeconds.end(),
        [nowSeconds](int64_t time) { return nowSeconds - time < kRestartWindowSeconds; });
    return recent <= kMaxRestarts;
}

std::string CrashedCopyArguments(const CrashedCopy& crashed) {
    std::ostringstream text;
    text << kAfterCrashArgument << ' ' << crashed.processId << ' ' << crashed.threadId << ' '
         << std::hex << crashed.exceptionPointers << std::dec << ' ' << (crashed.restart ? 1 : 0)
         << ' ' << crashed.dumpName;
    return text.str();
}

std::optional<CrashedCopy> ParseCrashedCopy(const std::string& commandLine) {
    const std::string argument = std::string(" ") + kAfterCrashArgument + " ";
    const std::size_t at = commandLine.find(argument);
    if (at == std::string::npos) {
        return std::nullopt;
    }
    std::istringstream text(commandLine.substr(at + argument.size()));
    CrashedCopy crashed;
    int restart = -1;
    text >> crashed.processId >> crashed.threadId >> std::hex >> crashed.exceptionPointers >>
        std::dec >> restart >> crashed.dumpName;
    // The name goes into a path: nothing but a dump file's own name is taken.
    const bool nameOk = crashed.dumpName.rfind("crash-", 0) == 0 &&
                        crashed.dumpName.find_first_of("\\/:") == std::string::npos;
    if (!text || crashed.processId == 0 || (restart != 0 && restart != 1) || !nameOk) {
        return std::nullopt;
    }
    crashed.restart = restart == 1;
    return crashed;
}
