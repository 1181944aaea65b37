#include "app/command_line.h"

#include <cstddef>

namespace {

// The text of an argument as a C string would see it.
std::string AsCString(const std::string& arg) {
    return arg.substr(0, arg.find('\0'));
}

void AppendProgramName(std::string& line, const std::string& name) {
    std::string plain;
    for (char c : AsCString(name)) {
        if (c != '"') {
            plain += c;
        }
    }
    const bool quote = plain.empty() || plain.find_first_of(" \t") != std::string::npos;
    if (quote) {
        line += '"';
        line += plain;
        line += '"';
    } else {
        line += plain;
    }
}

void AppendArgument(std::string& line, const std::string& argument) {
    const std::string arg = AsCString(argument);
    if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string::npos) {
        line += arg;
        return;
    }
    line += '"';
    std::size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            // 2n backslashes + \" give n backslashes and a literal quote.
            line.append(backslashes * 2 + 1, '\\');
        } else {
            line.append(backslashes, '\\');
        }
        backslashes = 0;
        line += c;
    }
    // Doubled so that the closing quote is not taken as a literal one.
    line.append(backslashes * 2, '\\');
    line += '"';
}

}  // namespace

std::string BuildCommandLine(const std::vector<std::string>& argv) {
    if (argv.empty()) {
        return {};
    }
    std::string line;
    AppendProgramName(line, argv.front());
    if (argv.size() > 1) {
        line += ' ';
        line += BuildArguments({argv.begin() + 1, argv.end()});
    }
    return line;
}

std::string BuildArguments(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty()) {
            line += ' ';
        }
        AppendArgument(line, argument);
    }
    return line;
}

std::vector<std::string> LaunchArguments(const std::string& program) {
    return {program, "", ""};
}

std::string BuildLaunchCommandLine(const std::string& program) {
    return BuildCommandLine(LaunchArguments(program));
}
