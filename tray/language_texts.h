// Menu texts from the language file "LUMA64.ini" in the system directory, section "Language".
// Portable interface: the Windows side reads the profile file, tests use a map.
#pragma once

#include <cstddef>
#include <string>

constexpr const char* kLanguageFileName = "LUMA64.ini";
constexpr const char* kLanguageSection = "Language";
// Texts are read into a 60-byte buffer: at most 59 characters, longer values are cut.
constexpr std::size_t kLanguageTextBufferSize = 60;
constexpr std::size_t kLanguageTextMaxLength = kLanguageTextBufferSize - 1;

class ILanguageTexts {
public:
    virtual ~ILanguageTexts() = default;
    // The text of `key`; "" when the file, the section or the key is missing. The file is
    // read anew on every call, so an edited file shows at the next menu.
    virtual std::string Text(const char* key) = 0;
};
