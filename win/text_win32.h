// Conversions between the portable core's UTF-16 text, the wide Windows functions and the
// system's ANSI code page.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

// UTF-16 in both; wchar_t is 16 bits wide on Windows.
const wchar_t* AsWide(const std::u16string& text);
std::u16string FromWide(std::wstring_view text);

// In the ANSI code page: a character it lacks becomes '?'.
std::string ToAnsi(std::wstring_view text);
// A terminated text in the ANSI code page through a buffer of bufferSize bytes: nothing when it
// does not fit, rather than cut. A character the code page lacks becomes defaultChar (nullptr:
// the code page's own); the text ends at the first NUL, so an empty defaultChar ends it there.
std::optional<std::string> ToAnsiWithin(const wchar_t* text, int bufferSize,
                                        const char* defaultChar);

std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);
