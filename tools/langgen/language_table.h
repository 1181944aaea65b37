// The languages of the menu-text file and the UTF-8 table its translations are generated from.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace langgen {

struct Language {
    std::string_view code;  // Windows' three-letter abbreviation, lower case; names the file
    uint16_t langId;        // the UI language a setup matches the file to
    int codePage;           // the ANSI code page the file is written in
    std::string_view name;
};

// The English rows of the table: res/LUMA64.ini, the file the program also builds in.
constexpr Language kEnglish{"enu", 0x0409, 1252, "English"};

// Every translation, each written to res/lang/LUMA64.<code>.ini. A translation is only readable
// where its code page is the system's ANSI code page.
constexpr std::array<Language, 7> kTranslations{{
    {"deu", 0x0407, 1252, "German"},
    {"fra", 0x040C, 1252, "French"},
    {"esn", 0x0C0A, 1252, "Spanish (Spain, modern sort)"},
    {"ita", 0x0410, 1252, "Italian"},
    {"ptb", 0x0416, 1252, "Portuguese (Brazil)"},
    {"jpn", 0x0411, 932, "Japanese"},
    {"chs", 0x0804, 936, "Chinese (Simplified)"},
}};

// The table: key <TAB> language code <TAB> UTF-8 text, one a line; '#' lines and empty lines are
// skipped. Header comment line n of the file has the key ";n".
struct TextTable {
    std::map<std::pair<std::string, std::string>, std::string> texts;  // (key, code) -> text
    std::vector<std::string> keys;    // in the order of their first row: the files' order
    std::vector<std::string> errors;  // "line N: ..."

    const std::string* Find(const std::string& key, std::string_view code) const;
};

TextTable ParseTextTable(std::string_view tsv);

}  // namespace langgen
