#include "tools/langgen/code_page.h"

#include <iconv.h>

#include <memory>
#include <type_traits>

namespace langgen {
namespace {

struct IconvCloser {
    void operator()(std::remove_pointer_t<iconv_t>* cd) const { iconv_close(cd); }
};
using IconvHandle = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

IconvHandle OpenIconv(const std::string& to, const std::string& from) {
    const iconv_t cd = iconv_open(to.c_str(), from.c_str());
    return IconvHandle(cd == reinterpret_cast<iconv_t>(-1) ? nullptr : cd);
}

// Strict conversion: no transliteration, no skipping; any failure gives nullopt.
std::optional<std::string> Convert(std::string_view in, const std::string& to,
                                   const std::string& from) {
    const IconvHandle cd = OpenIconv(to, from);
    if (!cd) {
        return std::nullopt;
    }
    std::string input(in);  // iconv takes a non-const source pointer
    std::string out(input.size() * 4 + 16, '\0');
    char* src = input.data();
    std::size_t srcLeft = input.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    if (iconv(cd.get(), &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1) ||
        iconv(cd.get(), nullptr, nullptr, &dst, &dstLeft) == static_cast<std::size_t>(-1)) {
        return std::nullopt;
    }
    out.resize(out.size() - dstLeft);
    return out;
}

std::string IconvName(int codePage) {
    return "CP" + std::to_string(codePage);
}

}  // namespace

std::optional<std::string> EncodeCodePage(std::string_view utf8, int codePage) {
    std::optional<std::string> bytes = Convert(utf8, IconvName(codePage), "UTF-8");
    if (!bytes || DecodeCodePage(*bytes, codePage) != utf8) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<std::string> DecodeCodePage(std::string_view bytes, int codePage) {
    return Convert(bytes, "UTF-8", IconvName(codePage));
}

}  // namespace langgen
