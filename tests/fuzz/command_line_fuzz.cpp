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
#include "tests/fuzz/fuzz_check.h"

namespace {

enum class DoubledQuote { Current, Legacy };

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The program name: quotes switch quoting on and off and are dropped; outside quotes a blank
// or a tab ends the name; everything else, backslashes included, is taken as it stands.
std::size_t SplitProgramName(const std::string& line, std::string& name) {
    bool quoted = false;
    std::size_t i = 0;
    for (; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && IsBlank(c)) {
            break;
        }
        name.push_back(c);
    }
    return i;
}

// Later arguments, one character at a time. A run of backslashes counts only in front of a
// quote: 2n of them give n backslashes and the quote acts; 2n+1 give n and a literal quote.
// Inside quotes, a quote directly followed by another gives one literal quote; the current
// runtime stays inside the quotes after it, the pre-2008 one leaves them.
std::vector<std::string> SplitArguments(const std::string& line, std::size_t i, DoubledQuote rule) {
    std::vector<std::string> args;
    bool quoted = false;
    bool inArgument = false;
    std::string arg;
    while (i < line.size()) {
        const char c = line[i];
        if (!quoted && IsBlank(c)) {
            if (inArgument) {
                args.push_back(arg);
                arg.clear();
                inArgument = false;
            }
            ++i;
            continue;
        }
        inArgument = true;
        if (c == '\\') {
            std::size_t run = 0;
            while (i < line.size() && line[i] == '\\') {
                ++run;
                ++i;
            }
            if (i < line.size() && line[i] == '"') {
                arg.append(run / 2, '\\');
                if (run % 2 == 1) {
                    arg.push_back('"');
                    ++i;
                }
            } else {
                arg.append(run, '\\');
            }
            continue;
        }
        if (c == '"') {
            if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                arg.push_back('"');
                i += 2;
                quoted = rule == DoubledQuote::Current;
                continue;
            }
            quoted = !quoted;
            ++i;
            continue;
        }
        arg.push_back(c);
        ++i;
    }
    if (inArgument) {
        args.push_back(arg);
    }
    return args;
}

std::vector<std::string> Split(const std::string& line, DoubledQuote rule) {
    std::string name;
    const std::size_t rest = SplitProgramName(line, name);
    std::vector<std::string> argv{name};
    for (std::string& arg : SplitArguments(line, rest, rule)) {
        argv.push_back(std::move(arg));
    }
    return argv;
}

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
    FUZZ_CHECK(Split(line, DoubledQuote::Current) == expected);
    FUZZ_CHECK(Split(line, DoubledQuote::Legacy) == expected);
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
