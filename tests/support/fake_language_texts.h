// The one fake of the language texts: `values` by exact key. A key it lacks is answered by
// `missing` when set, and that answer is kept, so every later read gives the same text; else
// the key has no text.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "tray/language_texts.h"

class FakeLanguageTexts : public ILanguageTexts {
public:
    std::map<std::string, std::string> values;
    std::function<std::string(const char* key)> missing;

    std::optional<std::string> Find(const char* key) override {
        auto found = values.find(key);
        if (found == values.end()) {
            if (!missing) {
                return std::nullopt;
            }
            found = values.emplace(key, missing(key)).first;
        }
        return found->second;
    }
};
