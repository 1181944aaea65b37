#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// How the Microsoft C runtime splits a command line into argv. The program name has its own
// rule: quotes toggle and are dropped, backslashes are literal. Later arguments follow the
// backslash-and-quote rules; the runtimes before 2008 and after differ only in what a doubled
// quote inside a quoted argument does, which `legacyDoubledQuote` selects.
std::vector<std::string> ParseCommandLine(const std::string& line, bool legacyDoubledQuote) {
    std::vector<std::string> argv;
    const std::size_t n = line.size();
    std::size_t i = 0;

    std::string name;
    bool inQuotes = false;
    for (; i < n; ++i) {
        const char c = line[i];
        if (c == '"') {
            inQuotes = !inQuotes;
        } else if (!inQuotes && (c == ' ' || c == '\t')) {
            break;
        } else {
            name += c;
        }
    }
    argv.push_back(name);

    inQuotes = false;
    for (;;) {
        while (i < n && (line[i] == ' ' || line[i] == '\t')) {
            ++i;
        }
        if (i >= n) {
            break;
        }
        std::string arg;
        for (;;) {
            bool copy = true;
            std::size_t backslashes = 0;
            while (i < n && line[i] == '\\') {
                ++i;
                ++backslashes;
            }
            if (i < n && line[i] == '"') {
                if (backslashes % 2 == 0) {
                    const bool doubled = inQuotes && i + 1 < n && line[i + 1] == '"';
                    if (legacyDoubledQuote) {
                        if (doubled) {
                            ++i;  // copy the second quote
                        } else {
                            copy = false;
                        }
                        inQuotes = !inQuotes;
                    } else if (doubled) {
                        ++i;
                    } else {
                        copy = false;
                        inQuotes = !inQuotes;
                    }
                }
                backslashes /= 2;
            }
            arg.append(backslashes, '\\');
            if (i >= n || (!inQuotes && (line[i] == ' ' || line[i] == '\t'))) {
                break;
            }
            if (copy) {
                arg += line[i];
            }
            ++i;
        }
        argv.push_back(arg);
    }
    return argv;
}

void ExpectRoundTrip(const std::vector<std::string>& argv) {
    const std::string line = BuildCommandLine(argv);
    EXPECT_EQ(ParseCommandLine(line, false), argv) << "command line: [" << line << "]";
    EXPECT_EQ(ParseCommandLine(line, true), argv) << "command line (legacy): [" << line << "]";
}

// Every text of up to `maxLength` characters drawn from `alphabet`.
std::vector<std::string> AllTexts(const std::string& alphabet, std::size_t maxLength) {
    std::vector<std::string> texts{""};
    std::size_t begin = 0;
    for (std::size_t length = 1; length <= maxLength; ++length) {
        const std::size_t end = texts.size();
        for (std::size_t k = begin; k < end; ++k) {
            for (char c : alphabet) {
                texts.push_back(texts[k] + c);
            }
        }
        begin = end;
    }
    return texts;
}

TEST(CommandLineTest, LaunchVectorOfAPathWithBlanks) {
    const std::string path = "C:\\Program Files\\Snap Tools\\snap.exe";
    EXPECT_EQ(BuildLaunchCommandLine(path),
              "\"C:\\Program Files\\Snap Tools\\snap.exe\" \"\" \"\"");
    EXPECT_EQ(ParseCommandLine(BuildLaunchCommandLine(path), false),
              (std::vector<std::string>{path, "", ""}));
}

TEST(CommandLineTest, PlainNamesAndArgumentsStayUnquoted) {
    EXPECT_EQ(BuildLaunchCommandLine("DEZAD.EXE"), "DEZAD.EXE \"\" \"\"");
    EXPECT_EQ(BuildCommandLine({"C:\\bin\\a.exe", "x", "C:\\dir\\"}), "C:\\bin\\a.exe x C:\\dir\\");
    EXPECT_EQ(BuildCommandLine({}), "");
}

TEST(CommandLineTest, QuotesBackslashesAndBlanksInArguments) {
    EXPECT_EQ(BuildCommandLine({"a", "b c"}), "a \"b c\"");
    EXPECT_EQ(BuildCommandLine({"a", "tab\there"}), "a \"tab\there\"");
    // Backslashes before the closing quote are doubled, others stay single.
    EXPECT_EQ(BuildCommandLine({"a", "C:\\dir with blank\\"}), "a \"C:\\dir with blank\\\\\"");
    EXPECT_EQ(BuildCommandLine({"a", "x\\y z"}), "a \"x\\y z\"");
    // An embedded quote is escaped, with the backslashes before it doubled.
    EXPECT_EQ(BuildCommandLine({"a", "say \"hi\""}), "a \"say \\\"hi\\\"\"");
    EXPECT_EQ(BuildCommandLine({"a", "\\\""}), "a \"\\\\\\\"\"");
    EXPECT_EQ(BuildCommandLine({"a", "\""}), "a \"\\\"\"");
}

TEST(CommandLineTest, ProgramNameKeepsBackslashesLiteralAndDropsQuotes) {
    // The runtime reads backslashes in the program name literally, even before the closing quote.
    EXPECT_EQ(BuildCommandLine({"C:\\dir with blank\\"}), "\"C:\\dir with blank\\\"");
    EXPECT_EQ(BuildCommandLine({""}), "\"\"");
    EXPECT_EQ(BuildCommandLine({"a\"b c\""}), "\"ab c\"");
    ExpectRoundTrip({"C:\\dir with blank\\", "x"});
    ExpectRoundTrip({"", "", ""});
}

TEST(CommandLineTest, ArgumentsEndAtTheirFirstNul) {
    EXPECT_EQ(BuildCommandLine({std::string("a\0b", 3), std::string("c d\0e", 5)}), "a \"c d\"");
}

TEST(CommandLineTest, EveryShortArgumentRoundTrips) {
    const auto texts = AllTexts("a \t\\\"", 5);
    ASSERT_EQ(texts.size(), 3906u);
    for (const auto& text : texts) {
        ExpectRoundTrip({"prog", text});
        ExpectRoundTrip({"C:\\Program Files\\p.exe", text, "", text});
    }
}

TEST(CommandLineTest, EveryPairOfShortArgumentsRoundTrips) {
    const auto texts = AllTexts("a \\\"", 3);
    for (const auto& first : texts) {
        for (const auto& second : texts) {
            ExpectRoundTrip({"p", first, second});
        }
    }
}

TEST(CommandLineTest, EveryShortProgramNameRoundTrips) {
    // Quotes excluded: a program name cannot carry one.
    for (const auto& name : AllTexts("a \t\\:", 5)) {
        ExpectRoundTrip({name, "", ""});
    }
}

}  // namespace
