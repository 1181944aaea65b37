// The translated menu-text files: up to date with their table and generator, and read back
// byte by byte the way the program's ANSI profile reader sees them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tools/langgen/code_page.h"
#include "tools/langgen/language_files.h"
#include "tray/language_texts.h"

namespace langgen {
// Test names and failure messages show the language's code rather than its bytes.
void PrintTo(const Language& language, std::ostream* os) {
    *os << language.code;
}
}  // namespace langgen

namespace {

using langgen::Language;
using langgen::TextTable;
using testing::Contains;
using testing::HasSubstr;

std::string ReadResFile(const std::string& relative) {
    std::ifstream in(std::string(KRY_RES_DIR) + "/" + relative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const TextTable& CommittedTable() {
    static const TextTable table =
        langgen::ParseTextTable(ReadResFile(std::string(langgen::kTextTablePath)));
    return table;
}

// A profile file as raw bytes in its code page: "; " comments and key=text lines in file order.
struct IniFile {
    std::vector<std::string> comments;
    std::vector<std::string> sections;
    std::vector<std::pair<std::string, std::string>> texts;
};

IniFile ParseIni(const std::string& bytes) {
    IniFile ini;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "CRLF line ends, byte " << start;
        if (end == std::string::npos) {
            break;
        }
        const std::string line = bytes.substr(start, end - start);
        EXPECT_EQ(line.find('\n'), std::string::npos) << "bare LF in " << line;
        start = end + 2;
        if (line.starts_with("; ")) {
            ini.comments.push_back(line.substr(2));
        } else if (line.starts_with("[")) {
            ini.sections.push_back(line);
        } else {
            const std::size_t equals = line.find('=');
            EXPECT_NE(equals, std::string::npos) << line;
            ini.texts.emplace_back(line.substr(0, equals), line.substr(equals + 1));
        }
    }
    return ini;
}

std::vector<std::string> Keys(const IniFile& ini) {
    std::vector<std::string> keys;
    for (const auto& [key, text] : ini.texts) {
        keys.push_back(key);
    }
    return keys;
}

TEST(LanguageFiles, CommittedFilesEqualTheGeneratorsOutput) {
    const auto generated = langgen::GenerateLanguageFiles(CommittedTable());
    EXPECT_THAT(generated.errors, testing::IsEmpty());
    ASSERT_EQ(generated.files.size(), langgen::kTranslations.size() + 1);
    EXPECT_EQ(generated.files[0].path, "LUMA64.ini");
    for (const auto& file : generated.files) {
        EXPECT_TRUE(ReadResFile(file.path) == file.bytes)
            << "res/" << file.path << " is stale; regenerate: build the langgen target, then run "
            << "`langgen res` from the repository root";
    }
}

TEST(LanguageFiles, BuiltInEnglishHoldsEveryTextOfTheShippedFile) {
    const std::string bytes = ReadResFile("LUMA64.ini");
    CLanguageSection builtIn(bytes);
    const IniFile english = ParseIni(bytes);
    ASSERT_EQ(english.texts.size(), 38u);
    for (const auto& [key, text] : english.texts) {
        EXPECT_EQ(builtIn.Find(key.c_str()), text) << key;
    }
}

class TranslatedFile : public testing::TestWithParam<Language> {
protected:
    void SetUp() override {
        english_ = ParseIni(ReadResFile("LUMA64.ini"));
        const std::string bytes = ReadResFile(langgen::LanguageFilePath(GetParam()));
        ASSERT_FALSE(bytes.empty()) << langgen::LanguageFilePath(GetParam());
        file_ = ParseIni(bytes);
    }

    // The file's text of `key` as the table's UTF-8.
    std::string Decoded(const std::string& text) const {
        return langgen::DecodeCodePage(text, GetParam().codePage).value_or("<not decodable>");
    }

    IniFile english_;
    IniFile file_;
};

TEST_P(TranslatedFile, HasTheEnglishFilesKeysInItsOrderAndNoOthers) {
    ASSERT_EQ(english_.texts.size(), 38u);
    EXPECT_EQ(Keys(file_), Keys(english_));
    EXPECT_EQ(file_.sections, english_.sections);
    EXPECT_EQ(file_.comments.size(), english_.comments.size());
}

TEST_P(TranslatedFile, EveryTextFitsTheReadBufferAndSurvivesTheProfileReader) {
    for (const auto& [key, text] : file_.texts) {
        EXPECT_FALSE(text.empty()) << key;
        EXPECT_LE(text.size(), kLanguageTextMaxLength) << key << " would be cut";
        for (const char c : text) {
            EXPECT_GE(static_cast<unsigned char>(c), 0x20) << key << ": control byte";
        }
        // The reader trims blanks and strips enclosing quotes.
        EXPECT_TRUE(text.find_first_of(" \t\"'") != 0 &&
                    text.find_last_of(" \t\"'") != text.size() - 1)
            << key;
    }
}

TEST_P(TranslatedFile, DecodedFromItsCodePageEqualsTheTable) {
    const std::string code(GetParam().code);
    for (const auto& [key, text] : file_.texts) {
        const std::string* expected = CommittedTable().Find(key, code);
        ASSERT_NE(expected, nullptr) << key;
        EXPECT_EQ(Decoded(text), *expected) << key;
    }
    for (std::size_t i = 0; i < file_.comments.size(); ++i) {
        const std::string* expected = CommittedTable().Find(";" + std::to_string(i + 1), code);
        ASSERT_NE(expected, nullptr) << "comment " << i + 1;
        EXPECT_EQ(Decoded(file_.comments[i]), *expected) << "comment " << i + 1;
    }
}

TEST_P(TranslatedFile, KeepsTheMenuConventionsOfTheEnglishTexts) {
    ASSERT_EQ(file_.texts.size(), english_.texts.size());
    std::string framePrefix;
    std::set<std::string> effectTexts;
    for (std::size_t i = 0; i < file_.texts.size(); ++i) {
        const std::string& key = file_.texts[i].first;
        const std::string text = Decoded(file_.texts[i].second);
        EXPECT_EQ(text.ends_with("..."), english_.texts[i].second.ends_with("..."))
            << key << ": items that open a window end in \"...\"";
        if (key.starts_with("IDC_")) {
            EXPECT_TRUE(effectTexts.insert(text).second) << key << ": two effects read alike";
        }
        if (key.starts_with("IDC_FRAME_RADIO")) {
            // "Frame:" is one word in every frame item; Chinese writes the full-width colon.
            const std::size_t colon = std::min(text.find(':'), text.find("\xEF\xBC\x9A"));
            ASSERT_NE(colon, std::string::npos) << key;
            const std::string prefix = text.substr(0, colon);
            if (framePrefix.empty()) {
                framePrefix = prefix;
            }
            EXPECT_EQ(prefix, framePrefix) << key;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Translations, TranslatedFile, testing::ValuesIn(langgen::kTranslations),
                         [](const testing::TestParamInfo<Language>& info) {
                             return std::string(info.param.code);
                         });

// A valid two-text table in every language, for the generator's refusals below.
constexpr std::string_view kMiniEnglish = "; About\r\n[Language]\r\nA=Exit...\r\nB=Take\r\n";

TextTable MiniTable() {
    std::string tsv = ";1\tenu\tAbout\nA\tenu\tExit...\nB\tenu\tTake\n";
    for (const Language& language : langgen::kTranslations) {
        const std::string code(language.code);
        tsv += ";1\t" + code + "\tÜber\nA\t" + code + "\tEnde...\nB\t" + code + "\tFoto\n";
    }
    TextTable table = langgen::ParseTextTable(tsv);
    table.texts[{";1", "jpn"}] = "説明";
    table.texts[{";1", "chs"}] = "说明";
    table.texts[{"A", "chs"}] = "退出...";
    return table;
}

TEST(LanguageGenerator, WritesEachTextInItsCodePageInTheEnglishLayout) {
    const auto generated = langgen::GenerateLanguageFiles(MiniTable());
    EXPECT_THAT(generated.errors, testing::IsEmpty());
    ASSERT_EQ(generated.files.size(), langgen::kTranslations.size() + 1);
    EXPECT_EQ(generated.files[0].bytes, kMiniEnglish);
    EXPECT_EQ(generated.files[1].path, "lang/LUMA64.deu.ini");
    EXPECT_EQ(generated.files[1].bytes,
              "; \xDC"
              "ber\r\n[Language]\r\nA=Ende...\r\nB=Foto\r\n");
    EXPECT_EQ(generated.files[6].bytes.substr(0, 8), "; \x90\xE0\x96\xBE\r\n");  // 説明 in 932
    EXPECT_THAT(generated.files[7].bytes,
                HasSubstr("\r\nA=\xCD\xCB\xB3\xF6...\r\n"));  // 退出 in 936
}

TEST(LanguageGenerator, RefusesTextsTheProgramCouldNotShowAndLeavesThatFileOut) {
    struct Case {
        const char* why;
        std::string code, key, text, error;
    };
    std::string kanji29;
    for (int i = 0; i < 29; ++i) {
        kanji29 += "日";
    }
    const std::vector<Case> cases = {
        {"60 bytes in 932 though 30 characters", "jpn", "B", kanji29 + "日", "jpn B: 60 bytes"},
        {"a wave dash that 932 folds into the full-width tilde", "jpn", "B", "〜", "jpn B: not"},
        {"Japanese in a Western code page", "deu", "B", "日本", "deu B: not representable"},
        {"a blank the reader would trim", "fra", "B", "Photo ", "fra B: starts or ends"},
        {"the English file obeys the same rules", "enu", "A", "Exit\"", "enu A: starts or ends"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TextTable table = MiniTable();
        table.texts[{c.key, c.code}] = c.text;
        const auto generated = langgen::GenerateLanguageFiles(table);
        EXPECT_THAT(generated.errors, Contains(HasSubstr(c.error)));
        EXPECT_EQ(generated.files.size(), langgen::kTranslations.size());
        for (const auto& file : generated.files) {
            EXPECT_NE(file.path, c.code == "enu" ? "LUMA64.ini" : "lang/LUMA64." + c.code + ".ini");
        }
    }
    TextTable longest = MiniTable();
    longest.texts[{"B", "jpn"}] = kanji29;  // 58 bytes: fits
    EXPECT_THAT(langgen::GenerateLanguageFiles(longest).errors, testing::IsEmpty());
}

TEST(LanguageGenerator, RefusesATableOutOfStepWithTheEnglishRows) {
    TextTable table = MiniTable();
    table.texts.erase({"B", "ptb"});
    table.texts[{"C", "esn"}] = "Extra";
    const auto generated = langgen::GenerateLanguageFiles(table);
    EXPECT_THAT(generated.errors, Contains(HasSubstr("ptb B: no text")));
    EXPECT_THAT(generated.errors, Contains(HasSubstr("esn C: no English text")));
}

// The English rows give every file its layout: comments first, then the section and the texts,
// each in the order of its key's first row.
TEST(LanguageGenerator, LaysOutEveryFileInTheOrderOfTheEnglishRows) {
    const TextTable table = langgen::ParseTextTable(
        "B\tdeu\tFoto\nB\tenu\tTake\n;1\tenu\tAbout\n;1\tdeu\tInfo\nA\tenu\tExit\n");
    const auto generated = langgen::GenerateLanguageFiles(table);
    ASSERT_FALSE(generated.files.empty());
    EXPECT_EQ(generated.files[0].bytes, "; About\r\n[Language]\r\nB=Take\r\nA=Exit\r\n");
}

TEST(TextTableParser, ReadsTabSeparatedRowsAndNamesTheLineOfEachFault) {
    const TextTable table = langgen::ParseTextTable(
        "# comment\n"
        "\n"
        "A\tdeu\tSchnappschuss; Foto=Bild\r\n"
        "A\tdeu\tagain\n"
        "A\txyz\tunknown\n"
        "A\tfra\ttoo\tmany\n"
        "B\tjpn\n"
        "B\tjpn\t終了");
    EXPECT_EQ(table.texts.size(), 2u);
    ASSERT_NE(table.Find("A", "deu"), nullptr);
    EXPECT_EQ(*table.Find("A", "deu"), "Schnappschuss; Foto=Bild");
    ASSERT_NE(table.Find("B", "jpn"), nullptr);
    EXPECT_EQ(*table.Find("B", "jpn"), "終了");
    EXPECT_EQ(table.keys, (std::vector<std::string>{"A", "B"}));
    EXPECT_THAT(table.errors, testing::ElementsAre(HasSubstr("line 4: second text of A in deu"),
                                                   HasSubstr("line 5: unknown language \"xyz\""),
                                                   HasSubstr("line 6:"), HasSubstr("line 7:")));
}

// The setup chooses among the translations by UI language and code page: every one in the table
// is packed, chosen under its own code and given its own code page (1252 unless the branch says).
TEST(LanguageSetup, PlacesEveryTranslationWithItsCodePage) {
    std::ifstream in(std::string(KRY_RES_DIR) + "/../installer/KRYTray.nsi", std::ios::binary);
    const std::string script{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(script.empty());
    for (const Language& language : langgen::kTranslations) {
        const std::string code(language.code);
        SCOPED_TRACE(code);
        EXPECT_NE(script.find("PLACE_TRANSLATION \"" + code + "\""), std::string::npos)
            << "not packed";
        const std::size_t pick = script.find("StrCpy $R3 \"" + code + "\"");
        ASSERT_NE(pick, std::string::npos) << "never chosen";
        const std::string branch = script.substr(pick, script.find("${", pick) - pick);
        if (language.codePage == 1252) {
            EXPECT_THAT(branch, testing::Not(HasSubstr("StrCpy $R4")));
        } else {
            EXPECT_THAT(branch,
                        HasSubstr("StrCpy $R4 " + std::to_string(language.codePage) + "\n"));
        }
    }
}

}  // namespace
