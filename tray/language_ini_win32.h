// Menu texts read from "LUMA64.ini" in the system directory, section "Language".
#pragma once

#include <string>

#include "tray/language_texts.h"

class CLanguageIni final : public ILanguageTexts {
public:
    // Forms the file's path; nothing is read yet.
    CLanguageIni();
    // Reads the file on every call; "" for a missing file, section or key.
    std::string Text(const char* key) override;

    const char* Path() const { return m_path; }

private:
    char m_path[260];
};
