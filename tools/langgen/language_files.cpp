#include "tools/langgen/language_files.h"

#include <optional>

#include "tools/langgen/code_page.h"
#include "tray/language_texts.h"

namespace langgen {
namespace {

constexpr std::string_view kCrlf = "\r\n";

// One line of every file: the section line as it is (empty key), or a text of each language.
struct LayoutLine {
    std::string key;     // ";n" for the n-th comment line
    std::string prefix;  // "; ", "KEY=" or the section line
    bool isMenuText = false;
};

// The comment lines, the section line, then the texts: the keys with an English row, in the
// table's order.
std::vector<LayoutLine> Layout(const TextTable& table) {
    std::vector<LayoutLine> layout;
    std::vector<LayoutLine> texts;
    for (const std::string& key : table.keys) {
        if (table.Find(key, kEnglish.code) == nullptr) {
            continue;
        }
        if (key.starts_with(';')) {
            layout.push_back({key, "; ", false});
        } else {
            texts.push_back({key, key + "=", true});
        }
    }
    layout.push_back({"", "[" + std::string(kLanguageSection) + "]", false});
    layout.insert(layout.end(), texts.begin(), texts.end());
    return layout;
}

bool HasEdgeThatProfileReaderDrops(std::string_view text) {
    constexpr std::string_view kDropped = " \t\"'";
    return kDropped.find(text.front()) != kDropped.npos ||
           kDropped.find(text.back()) != kDropped.npos;
}

// The file of `language`; nullopt, with the reasons added to `errors`, when a text is refused.
std::optional<std::string> WriteFile(const std::vector<LayoutLine>& layout,
                                     const Language& language, const TextTable& table,
                                     std::vector<std::string>& errors) {
    std::string out;
    bool failed = false;
    const auto fail = [&](const std::string& key, const std::string& why) {
        errors.push_back(std::string(language.code) + " " + key + ": " + why);
        failed = true;
    };
    for (const LayoutLine& line : layout) {
        if (line.key.empty()) {
            out.append(line.prefix).append(kCrlf);
            continue;
        }
        const std::string* text = table.Find(line.key, language.code);
        if (text == nullptr || text->empty()) {
            fail(line.key, "no text");
            continue;
        }
        const std::optional<std::string> bytes = EncodeCodePage(*text, language.codePage);
        if (!bytes) {
            fail(line.key, "not representable in code page " + std::to_string(language.codePage));
            continue;
        }
        if (line.isMenuText && bytes->size() > kLanguageTextMaxLength) {
            fail(line.key, std::to_string(bytes->size()) + " bytes, more than " +
                               std::to_string(kLanguageTextMaxLength));
        }
        if (line.isMenuText && HasEdgeThatProfileReaderDrops(*bytes)) {
            fail(line.key, "starts or ends with a blank or quote");
        }
        out.append(line.prefix).append(*bytes).append(kCrlf);
    }
    return failed ? std::nullopt : std::optional(out);
}

}  // namespace

std::string LanguageFilePath(const Language& language) {
    return language.code == kEnglish.code ? "LUMA64.ini"
                                          : "lang/LUMA64." + std::string(language.code) + ".ini";
}

GeneratedLanguageFiles GenerateLanguageFiles(const TextTable& table) {
    GeneratedLanguageFiles result;
    result.errors = table.errors;
    for (const auto& [keyAndCode, text] : table.texts) {
        if (table.Find(keyAndCode.first, kEnglish.code) == nullptr) {
            result.errors.push_back(keyAndCode.second + " " + keyAndCode.first +
                                    ": no English text");
        }
    }
    const std::vector<LayoutLine> layout = Layout(table);
    const auto write = [&](const Language& language) {
        if (auto bytes = WriteFile(layout, language, table, result.errors)) {
            result.files.push_back({LanguageFilePath(language), std::move(*bytes)});
        }
    };
    write(kEnglish);
    for (const Language& language : kTranslations) {
        write(language);
    }
    return result;
}

}  // namespace langgen
