#include "tray/language_ini_win32.h"

#include <windows.h>

#include <cstdio>

CLanguageIni::CLanguageIni() {
    m_path[0] = '\0';
    char systemDirectory[260];
    const UINT length = GetSystemDirectoryA(systemDirectory, sizeof(systemDirectory));
    if (length == 0 || length >= sizeof(systemDirectory)) {
        return;  // no usable directory: every text is ""
    }
    std::snprintf(m_path, sizeof(m_path), "%s\\%s", systemDirectory, kLanguageFileName);
}

std::string CLanguageIni::Text(const char* key) {
    char text[kLanguageTextBufferSize] = "";
    if (m_path[0] != '\0') {
        GetPrivateProfileStringA(kLanguageSection, key, "", text, sizeof(text), m_path);
    }
    return text;
}
