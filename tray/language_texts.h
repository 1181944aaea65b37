// Menu texts from the language file "LUMA64.ini" in the system directory, section "Language".
// Portable interface: the Windows side reads the profile file, tests use a map.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>

constexpr const char* kLanguageFileName = "LUMA64.ini";
constexpr const char* kLanguageSection = "Language";
// Texts are read into a 60-byte buffer: at most 59 characters, longer values are cut.
constexpr std::size_t kLanguageTextBufferSize = 60;
constexpr std::size_t kLanguageTextMaxLength = kLanguageTextBufferSize - 1;

class ILanguageTexts {
public:
    virtual ~ILanguageTexts() = default;
    // The text of `key`; nothing when the file, the section or the key is missing, "" for a key
    // written with an empty text. The file is read anew on every call, so an edited file shows
    // at the next menu.
    virtual std::optional<std::string> Find(const char* key) = 0;
};

// The "Language" section of a language file held in memory (the English file built into the
// program), read like the profile reader does: keys of any case, blanks around keys and texts
// trimmed, comments and other sections skipped.
class CLanguageSection final : public ILanguageTexts {
public:
    explicit CLanguageSection(std::string_view file);
    std::optional<std::string> Find(const char* key) override;

private:
    std::map<std::string, std::string> m_texts;  // by upper-case key
};

// A language file's texts, each key the file lacks taken from `fallback`. A key the file has
// stays as written, even with an empty text: a translation may leave an item blank on purpose.
class CLanguageFallback final : public ILanguageTexts {
public:
    CLanguageFallback(ILanguageTexts& file, ILanguageTexts& fallback)
        : m_file(file), m_fallback(fallback) {}
    std::optional<std::string> Find(const char* key) override;

private:
    ILanguageTexts& m_file;
    ILanguageTexts& m_fallback;
};
