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
constexpr int64_t kRestartWindowSeconds = 600;  // ten minutes
// The argument of the copy started by a crashed one, followed by what CrashedCopy holds.
constexpr const char* kAfterCrashArgument = "--after-crash";
constexpr uint32_t kCrashedCopyWaitMs = 5000;

// What a crashed copy tells the copy it starts. A process cannot dump itself reliably while one
// of its threads is broken (Wine's dbghelp hangs on it), so the new copy writes the dump of the
// crashed one, then either carries on as the program or ends.
struct CrashedCopy {
    uint32_t processId = 0;
    uint32_t threadId = 0;           // the thread that crashed
    uint64_t exceptionPointers = 0;  // EXCEPTION_POINTERS* in the crashed process
    bool restart = false;            // false: write the dump and end
    std::string dumpName;            // "crash-....dmp" in the dump folder
};

// The arguments after the program name: kAfterCrashArgument and the fields, in order.
std::string CrashedCopyArguments(const CrashedCopy& crashed);
// The crashed copy's details when the command line carries them.
std::optional<CrashedCopy> ParseCrashedCopy(const std::string& commandLine);

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
