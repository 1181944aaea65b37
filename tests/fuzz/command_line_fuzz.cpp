// The launch command line, split back by an independent model of the Microsoft C runtime's
// rules. Properties:
//  - for any program name (any bytes; a NUL ends it, as in a C string), the started program's
//    argv is exactly {name, "", ""}, the name without quote characters, which neither a
//    Windows file name nor the runtime's program-name rule can carry;
//  - for any argument vector, every argument comes back as given (up to its first NUL), under
//    both the current runtime's and the pre-2008 runtime's reading of a doubled quote.
// Input: byte 0 chooses the launch vector or a free vector; the rest is the name, or the
// arguments separated by byte 0x01.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "command_line_split.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

std::string UpToNul(const std::string& text) {
    return text.substr(0, text.find('\0'));
}

std::string WithoutQuotes(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c != '"') {
            out.push_back(c);
        }
    }
    return out;
}

void CheckSplitsBack(const std::string& line, const std::vector<std::string>& expected) {
    FUZZ_CHECK(line.find('\0') == std::string::npos);
    FUZZ_CHECK(SplitCommandLine(line, false) == expected);
    FUZZ_CHECK(SplitCommandLine(line, true) == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const bool launch = (data[0] & 1) == 0;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

    if (launch) {
        const std::vector<std::string> expected{WithoutQuotes(UpToNul(bytes)), "", ""};
        CheckSplitsBack(BuildLaunchCommandLine(bytes), expected);
        return 0;
    }

    std::vector<std::string> argv;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = bytes.find('\x01', start);
        argv.push_back(bytes.substr(start, end - start));
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    std::vector<std::string> expected;
    for (const std::string& arg : argv) {
        expected.push_back(expected.empty() ? WithoutQuotes(UpToNul(arg)) : UpToNul(arg));
    }
    CheckSplitsBack(BuildCommandLine(argv), expected);
    return 0;
}
