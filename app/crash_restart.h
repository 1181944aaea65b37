// What the program does about its own crash: the dump files it keeps and whether it starts
// itself again. Portable: no Windows headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

constexpr std::size_t kDumpsKept = 5;
constexpr int kMaxRestarts = 3;
constexpr int64_t kRestartWindowSeconds = 10 * 60;
// The argument a restarted copy receives, followed by the crashed copy's process id.
constexpr const char* kAfterCrashArgument = "--after-crash";
constexpr uint32_t kCrashedCopyWaitMs = 5000;

// "crash-20240131-235959-123.dmp": names sort in the order of their times.
std::string DumpFileName(int year, int month, int day, int hour, int minute, int second,
                         int millisecond);

// Of the dump files in the folder, the names to delete so that the newest `keep` stay.
std::vector<std::string> DumpsToDelete(std::vector<std::string> names,
                                       std::size_t keep = kDumpsKept);

// Restarts after a crash are counted by the dumps' times (the new dump included): a crash is
// followed by a restart only while at most kMaxRestarts dumps fall in the last ten minutes, so
// a program that crashes at every start stays down rather than crashing in a loop.
bool ShouldRestart(const std::vector<int64_t>& dumpTimesSeconds, int64_t nowSeconds);

// The crashed copy's process id when the command line carries kAfterCrashArgument and a number.
std::optional<uint32_t> CrashedCopyProcessId(const std::string& commandLine);
