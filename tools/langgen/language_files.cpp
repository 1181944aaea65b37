#include "tools/langgen/language_files.h"

#include <optional>
#include <set>

#include "tools/langgen/code_page.h"
#include "tray/language_texts.h"

namespace langgen {
namespace {

constexpr std::string_view kCrlf = "\r\n";

// One line of the English file: copied as it is (empty key), or a text replaced per language.
struct LayoutLine {
    std::string key;           // ";n" for the n-th comment line
    std::string prefix;        // "; " or "KEY="
    std::string_view english;  // the English text, or the whole line when copied
    bool isMenuText = false;
};

// The English file's lines; nullopt when one does not end in CRLF.
std::optional<std::vector<LayoutLine>> ReadLayout(std::string_view text) {
    std::vector<LayoutLine> layout;
    int comments = 0;
    while (!text.empty()) {
        const std::size_t end = text.find(kCrlf);
        if (end == text.npos || text.find('\n') != end + 1) {
            return std::nullopt;
        }
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end + kCrlf.size());
        const std::size_t equals = line.find('=');
        if (line.starts_with(';')) {
            line.remove_prefix(line.starts_with("; ") ? 2 : 1);
            layout.push_back({";" + std::to_string(++comments), "; ", line, false});
        } else if (line.starts_with('[') || equals == line.npos) {
            layout.push_back({"", "", line, false});
        } else {
            const std::string key(line.substr(0, equals));
            layout.push_back({key, key + "=", line.substr(equals + 1), true});
        }
    }
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
            out.append(line.english).append(kCrlf);
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
    return "lang/LUMA64." + std::string(language.code) + ".ini";
}

GeneratedLanguageFiles GenerateLanguageFiles(std::string_view englishIni, const TextTable& table) {
    GeneratedLanguageFiles result;
    result.errors = table.errors;
    const auto layout = ReadLayout(englishIni);
    if (!layout) {
        result.errors.push_back("res/LUMA64.ini: every line must end in CRLF");
        return result;
    }
    std::set<std::string> keys;
    for (const LayoutLine& line : *layout) {
        if (line.key.empty()) {
            continue;
        }
        keys.insert(line.key);
        const std::string* english = table.Find(line.key, kEnglishCode);
        if (english == nullptr || *english != line.english) {
            result.errors.push_back("enu " + line.key + ": differs from res/LUMA64.ini");
        }
    }
    for (const auto& [keyAndCode, text] : table.texts) {
        if (!keys.contains(keyAndCode.first)) {
            result.errors.push_back(keyAndCode.second + " " + keyAndCode.first +
                                    ": no such key in res/LUMA64.ini");
        }
    }
    for (const Language& language : kTranslations) {
        if (auto bytes = WriteFile(*layout, language, table, result.errors)) {
            result.files.push_back({LanguageFilePath(language), std::move(*bytes)});
        }
    }
    return result;
}

}  // namespace langgen
