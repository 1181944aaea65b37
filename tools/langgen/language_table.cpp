#include "tools/langgen/language_table.h"

#include <algorithm>

namespace langgen {
namespace {

bool IsKnownCode(std::string_view code) {
    return code == kEnglish.code ||
           std::any_of(kTranslations.begin(), kTranslations.end(),
                       [&](const Language& language) { return language.code == code; });
}

}  // namespace

const std::string* TextTable::Find(const std::string& key, std::string_view code) const {
    const auto it = texts.find({key, std::string(code)});
    return it == texts.end() ? nullptr : &it->second;
}

TextTable ParseTextTable(std::string_view tsv) {
    TextTable table;
    int number = 0;
    while (!tsv.empty()) {
        const std::size_t end = std::min(tsv.find('\n'), tsv.size());
        std::string_view line = tsv.substr(0, end);
        tsv.remove_prefix(std::min(end + 1, tsv.size()));
        ++number;
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (line.empty() || line.starts_with('#')) {
            continue;
        }
        const std::string where = "line " + std::to_string(number) + ": ";
        const std::size_t tab1 = line.find('\t');
        const std::size_t tab2 = tab1 == line.npos ? line.npos : line.find('\t', tab1 + 1);
        if (tab2 == line.npos || line.find('\t', tab2 + 1) != line.npos) {
            table.errors.push_back(where + "want key, language and text separated by tabs");
            continue;
        }
        std::string key(line.substr(0, tab1));
        std::string code(line.substr(tab1 + 1, tab2 - tab1 - 1));
        if (!IsKnownCode(code)) {
            table.errors.push_back(where + "unknown language \"" + code + "\"");
            continue;
        }
        if (std::find(table.keys.begin(), table.keys.end(), key) == table.keys.end()) {
            table.keys.push_back(key);
        }
        if (!table.texts.emplace(std::pair{key, code}, line.substr(tab2 + 1)).second) {
            table.errors.push_back(where + "second text of " + key + " in " + code);
        }
    }
    return table;
}

}  // namespace langgen
