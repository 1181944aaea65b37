#include "win/text_win32.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");

namespace {
std::string Narrow(UINT codePage, std::wstring_view text, const char* defaultChar) {
    if (text.empty()) {
        return {};
    }
    const int wideLength = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(codePage, 0, text.data(), wideLength, nullptr, 0, defaultChar, nullptr);
    std::string result(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) {
        WideCharToMultiByte(codePage, 0, text.data(), wideLength, result.data(), length,
                            defaultChar, nullptr);
    }
    return result;
}
}  // namespace

const wchar_t* AsWide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());  // NOLINT(*-reinterpret-cast)
}

std::u16string FromWide(std::wstring_view text) {
    return {text.begin(), text.end()};
}

std::string ToAnsi(std::wstring_view text) {
    return Narrow(CP_ACP, text, "?");
}

std::optional<std::string> ToAnsiWithin(const wchar_t* text, int bufferSize,
                                        const char* defaultChar) {
    std::string buffer(static_cast<std::size_t>(bufferSize > 0 ? bufferSize : 0), '\0');
    if (WideCharToMultiByte(CP_ACP, 0, text, -1, buffer.data(), bufferSize, defaultChar, nullptr) <=
        0) {
        return std::nullopt;
    }
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    return buffer;
}

std::string ToUtf8(std::wstring_view text) {
    return Narrow(CP_UTF8, text, nullptr);
}

std::wstring FromUtf8(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int narrowLength = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), narrowLength, nullptr, 0);
    std::wstring result(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) {
        MultiByteToWideChar(CP_UTF8, 0, text.data(), narrowLength, result.data(), length);
    }
    return result;
}
