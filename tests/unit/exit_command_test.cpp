#include "app/exit_command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

bool IsExit(const std::string& payload, uintptr_t dwData = kExitCopyDataId) {
    return IsExitCommand(dwData, payload.data(), payload.size());
}

TEST(ExitCommandTest, AcceptsExitWithOrWithoutItsTerminator) {
    EXPECT_TRUE(IsExit("EXIT"));
    EXPECT_TRUE(IsExit(std::string("EXIT\0", 5)));
    EXPECT_TRUE(IsExit(std::string("EXIT\0junk", 9)));
}

TEST(ExitCommandTest, RejectsOtherTexts) {
    for (const char* text : {"exit", "Exit", "EXIT ", " EXIT", "EXITS", "EXI", "E", "", "EXIT\n"}) {
        EXPECT_FALSE(IsExit(text)) << '[' << text << ']';
    }
    EXPECT_FALSE(IsExit(std::string("\0EXIT", 5)));
    EXPECT_FALSE(IsExit(std::string("EXI\0T", 5)));
}

TEST(ExitCommandTest, RejectsOtherRecordIds) {
    for (uintptr_t id : {uintptr_t{0}, uintptr_t{4401}, uintptr_t{4403}, uintptr_t{100}}) {
        EXPECT_FALSE(IsExit("EXIT", id)) << id;
    }
}

TEST(ExitCommandTest, RejectsMissingPayloads) {
    EXPECT_FALSE(IsExitCommand(kExitCopyDataId, nullptr, 0));
    EXPECT_FALSE(IsExitCommand(kExitCopyDataId, nullptr, 4));
    EXPECT_FALSE(IsExitCommand(kExitCopyDataId, "EXIT", 0));
    // Only the bytes given count, even when more follow in memory.
    EXPECT_FALSE(IsExitCommand(kExitCopyDataId, "EXIT", 3));
}

TEST(ExitCommandTest, LooksOnlyAtTheFirst512BytesOfALongPayload) {
    std::vector<char> payload(4096, 'x');
    std::copy_n("EXIT", 5, payload.begin());
    EXPECT_TRUE(IsExitCommand(kExitCopyDataId, payload.data(), payload.size()));

    // "EXIT" and zeros fill the first 512 bytes; what follows is not looked at.
    std::vector<char> padded(512, '\0');
    std::copy_n("EXIT", 4, padded.begin());
    padded.push_back('y');
    EXPECT_TRUE(IsExitCommand(kExitCopyDataId, padded.data(), padded.size()));

    // No terminator within the first 512 bytes: the text is those 512 bytes, not "EXIT".
    std::vector<char> unterminated(600, 'E');
    EXPECT_FALSE(IsExitCommand(kExitCopyDataId, unterminated.data(), unterminated.size()));
    std::vector<char> fullBuffer(512, 'E');
    EXPECT_FALSE(IsExitCommand(kExitCopyDataId, fullBuffer.data(), fullBuffer.size()));
}

}  // namespace
