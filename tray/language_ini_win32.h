// Menu texts read from "LUMA64.ini" in the system directory, section "Language".
#pragma once

#include <optional>
#include <string>

#include "tray/language_texts.h"

class CLanguageIni final : public ILanguageTexts {
public:
    // Forms the file's path; nothing is read yet.
    CLanguageIni();
    // Reads the file on every call; nothing for a missing file, section or key.
    std::optional<std::string> Find(const char* key) override;

    const char* Path() const { return m_path; }

private:
    char m_path[260];
};

// The English texts built into the program (res/LUMA64.ini as a resource), for keys a language
// file lacks; empty when the resource is missing.
ILanguageTexts& BuiltInLanguageTexts();
