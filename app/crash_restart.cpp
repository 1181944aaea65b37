#include "app/crash_restart.h"

#include <algorithm>
#include <cctype>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>

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

// No iostreams here: the product keeps none, so that no stream or locale is set up at start.
std::string CrashedCopyArguments(const CrashedCopy& crashed) {
    char fields[96];
    (void)std::snprintf(fields, sizeof fields, "%s %" PRIu32 " %" PRIu32 " %" PRIx64 " %d ",
                        kAfterCrashArgument, crashed.processId, crashed.threadId,
                        crashed.exceptionPointers, crashed.restart ? 1 : 0);
    return fields + crashed.dumpName;
}

std::optional<CrashedCopy> ParseCrashedCopy(const std::string& commandLine) {
    const std::string argument = std::string(" ") + kAfterCrashArgument + " ";
    const std::size_t at = commandLine.find(argument);
    if (at == std::string::npos) {
        return std::nullopt;
    }
    const char* cursor = commandLine.c_str() + at + argument.size();
    // One unsigned number after blanks; false when there is none.
    const auto number = [&cursor](int base, uint64_t& value) {
        while (*cursor == ' ') {
            ++cursor;
        }
        char* end = nullptr;
        value = std::isxdigit(static_cast<unsigned char>(*cursor)) != 0
                    ? std::strtoull(cursor, &end, base)
                    : 0;
        const bool read = end != nullptr && end != cursor;
        cursor = read ? end : cursor;
        return read;
    };
    uint64_t processId = 0;
    uint64_t threadId = 0;
    uint64_t pointers = 0;
    uint64_t restart = 2;
    if (!number(10, processId) || !number(10, threadId) || !number(16, pointers) ||
        !number(10, restart) || *cursor != ' ') {
        return std::nullopt;
    }
    while (*cursor == ' ') {
        ++cursor;
    }
    const char* nameEnd = cursor;
    while (*nameEnd != '\0' && std::isspace(static_cast<unsigned char>(*nameEnd)) == 0) {
        ++nameEnd;
    }
    CrashedCopy crashed;
    crashed.dumpName.assign(cursor, nameEnd);
    // The name goes into a path: nothing but a dump file's own name is taken.
    const bool nameOk = crashed.dumpName.rfind("crash-", 0) == 0 &&
                        crashed.dumpName.find_first_of("\\/:") == std::string::npos;
    if (processId == 0 || processId > UINT32_MAX || threadId > UINT32_MAX || restart > 1 ||
        !nameOk) {
        return std::nullopt;
    }
    crashed.processId = static_cast<uint32_t>(processId);
    crashed.threadId = static_cast<uint32_t>(threadId);
    crashed.exceptionPointers = pointers;
    crashed.restart = restart == 1;
    return crashed;
}
