#include "tray/language_texts.h"

#include <algorithm>
#include <cctype>

namespace {

std::string_view Trimmed(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r";
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::string UpperCase(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

}  // namespace

CLanguageSection::CLanguageSection(std::string_view file) {
    const std::string section = UpperCase(kLanguageSection);
    bool inSection = false;
    while (!file.empty()) {
        const std::size_t end = std::min(file.find('\n'), file.size());
        const std::string_view line = Trimmed(file.substr(0, end));
        file.remove_prefix(std::min(end + 1, file.size()));
        if (line.starts_with('[')) {
            const std::size_t close = line.find(']');
            inSection = close != std::string_view::npos &&
                        UpperCase(Trimmed(line.substr(1, close - 1))) == section;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inSection || line.starts_with(';') || equals == std::string_view::npos) {
            continue;
        }
        // The first occurrence of a key wins, as with the profile reader.
        m_texts.emplace(UpperCase(Trimmed(line.substr(0, equals))),
                        std::string(Trimmed(line.substr(equals + 1))));
    }
}

std::optional<std::string> CLanguageSection::Find(const char* key) {
    const auto found = m_texts.find(UpperCase(key));
    if (found == m_texts.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::optional<std::string> CLanguageFallback::Find(const char* key) {
    std::optional<std::string> text = m_file.Find(key);
    return text ? text : m_fallback.Find(key);
}
