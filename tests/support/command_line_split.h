// How the Microsoft C runtime splits a command line into argv, modelled apart from the code
// that builds one. The program name has its own rule: quotes toggle and are dropped, backslashes
// are literal. Later arguments follow the backslash-and-quote rules; the runtimes before 2008
// and after differ only in what a doubled quote inside a quoted argument does.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace command_line_model {

enum class DoubledQuote { Current, Legacy };

inline bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The program name: quotes switch quoting on and off and are dropped; outside quotes a blank
// or a tab ends the name; everything else, backslashes included, is taken as it stands.
inline std::size_t SplitProgramName(const std::string& line, std::string& name) {
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
inline std::vector<std::string> SplitArguments(const std::string& line, std::size_t i,
                                               DoubledQuote rule) {
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

}  // namespace command_line_model

// `legacyDoubledQuote`: the pre-2008 runtime's reading of a doubled quote.
inline std::vector<std::string> SplitCommandLine(const std::string& line, bool legacyDoubledQuote) {
    using namespace command_line_model;
    const DoubledQuote rule = legacyDoubledQuote ? DoubledQuote::Legacy : DoubledQuote::Current;
    std::string name;
    const std::size_t rest = SplitProgramName(line, name);
    std::vector<std::string> argv{name};
    for (std::string& arg : SplitArguments(line, rest, rule)) {
        argv.push_back(std::move(arg));
    }
    return argv;
}
