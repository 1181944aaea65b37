#include "app/crash_restart.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

std::string DumpFileName(int year, int month, int day, int hour, int minute, int second,
                         int millisecond) {
    char name[64];
    std::snprintf(name, sizeof name, "crash-%04d%02d%02d-%02d%02d%02d-%03d.dmp", year, month, day,
                  hour, minute, second, millisecond);
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
    const auto recent = std::count_if(dumpTimesSeconds.begin(), dumpTimesSeconds.end(),
                                      [nowSeconds](int64_t time) {
                                          return nowSeconds - time < kRestartWindowSeconds;
                                      });
    return recent <= kMaxRestarts;
}

std::optional<uint32_t> CrashedCopyProcessId(const std::string& commandLine) {
    const std::string argument = std::string(" ") + kAfterCrashArgument + " ";
    const std::size_t at = commandLine.find(argument);
    if (at == std::string::npos) {
        return std::nullopt;
    }
    const char* digits = commandLine.c_str() + at + argument.size();
    char* end = nullptr;
    const unsigned long pid = std::strtoul(digits, &end, 10);
    if (end == digits || pid == 0 || pid > UINT32_MAX) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(pid);
}
