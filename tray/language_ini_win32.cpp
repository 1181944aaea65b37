#include "tray/language_ini_win32.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string_view>

#include "res/resource.h"
#include "win/system_library_win32.h"
#include "win/text_win32.h"

CLanguageIni::CLanguageIni() {
    m_path[0] = '\0';
    const std::wstring systemFolder = SystemFolder();
    if (systemFolder.empty()) {
        return;  // no usable directory: every key is missing
    }
    std::snprintf(m_path, sizeof(m_path), "%s\\%s", ToAnsi(systemFolder).c_str(),
                  kLanguageFileName);
}

std::optional<std::string> CLanguageIni::Find(const char* key) {
    if (m_path[0] == '\0') {
        return std::nullopt;
    }
    // A default no file holds (a control character) tells a missing key or file from a key
    // written with an empty text.
    constexpr char kMissing[] = "\x01";
    char text[kLanguageTextBufferSize] = "";
    GetPrivateProfileStringA(kLanguageSection, key, kMissing, text, sizeof(text), m_path);
    if (std::strcmp(text, kMissing) == 0) {
        return std::nullopt;
    }
    return std::string(text);
}

ILanguageTexts& BuiltInLanguageTexts() {
    static CLanguageSection texts = [] {
        // A loaded resource lives as long as the module; nothing to free.
        HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_LANGUAGE_ENGLISH), RT_RCDATA);
        HGLOBAL loaded = found != nullptr ? LoadResource(nullptr, found) : nullptr;
        const char* bytes =
            loaded != nullptr ? static_cast<const char*>(LockResource(loaded)) : nullptr;
        return CLanguageSection(bytes != nullptr
                                    ? std::string_view(bytes, SizeofResource(nullptr, found))
                                    : std::string_view());
    }();
    return texts;
}
