// Conversions between UTF-16 and the ANSI code page, as the program and its command lines use.
#pragma once

#include <string>

std::wstring WidenAnsi(const std::string& text);
std::string NarrowToAnsi(const std::wstring& text);
