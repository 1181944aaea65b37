#include "app/command_line.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "app/launch_fallback.h"
#include "command_line_split.h"

namespace {

void ExpectRoundTrip(const std::vector<std::string>& argv) {
    const std::string line = BuildCommandLine(argv);
    EXPECT_EQ(SplitCommandLine(line, false), argv) << "command line: [" << line << "]";
    EXPECT_EQ(SplitCommandLine(line, true), argv) << "command line (legacy): [" << line << "]";
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
    EXPECT_EQ(SplitCommandLine(BuildLaunchCommandLine(path), false),
              (std::vector<std::string>{path, "", ""}));
    // What the shell gets after the program when it asks for consent.
    EXPECT_EQ(BuildArguments({"", ""}), "\"\" \"\"");
}

TEST(LaunchFallbackTest, OnlyAProgramNeedingAnAdministratorAsksForConsentAndOnlyOnce) {
    EXPECT_EQ(AfterDirectStart(0), StartOutcome::Started);
    EXPECT_EQ(AfterDirectStart(kErrorElevationRequired), StartOutcome::AskConsent);
    for (uint32_t error : {2u, 5u, 193u, kErrorCancelled}) {  // not found, denied, not a program
        EXPECT_EQ(AfterDirectStart(error), StartOutcome::Failed) << error;
    }
    EXPECT_EQ(AfterShellStart(0), StartOutcome::Started);
    EXPECT_EQ(AfterShellStart(kErrorCancelled), StartOutcome::Refused);
    EXPECT_EQ(AfterShellStart(kErrorElevationRequired), StartOutcome::Failed);
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
