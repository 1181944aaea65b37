// Text in a Windows ANSI code page, converted to and from UTF-8 by the C library's iconv.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace langgen {

// The bytes of `utf8` in `codePage` (1252, 932, 936, ...). nullopt when the input is not UTF-8, a
// character has no encoding there, or the encoding does not decode back to the same text (iconv
// folds some look-alikes, such as U+301C and U+FF5E in 932, into one byte pair; Windows would then
// show the other one).
std::optional<std::string> EncodeCodePage(std::string_view utf8, int codePage);

// `bytes` in `codePage` as UTF-8; nullopt for a byte sequence the code page does not define.
std::optional<std::string> DecodeCodePage(std::string_view bytes, int codePage);

}  // namespace langgen
