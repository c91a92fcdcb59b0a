#include "platform/Cp936.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace {

// Converts with iconv; on an invalid or unconvertible sequence either gives up (strict) or
// writes '?' and skips one byte.
std::optional<std::string> Convert(const char* to, const char* from, std::string_view in,
                                   bool strict) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out;
    out.resize(in.size() * 2 + 8);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    std::size_t used = 0;
    bool ok = true;
    while (srcLeft > 0) {
        char* dst = out.data() + used;
        std::size_t dstLeft = out.size() - used;
        const std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        used = out.size() - dstLeft;
        if (r != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
        } else if (strict) {
            ok = false;
            break;
        } else {
            out.resize(std::max(out.size(), used + 8));
            out[used++] = '?';
            ++src;
            --srcLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    if (!ok) return std::nullopt;
    out.resize(used);
    return out;
}

} // namespace

std::string Cp936ToUtf8(std::string_view cp936) {
    return Convert("UTF-8", "CP936", cp936, false).value_or(std::string(cp936));
}

std::string Utf8ToCp936(std::string_view utf8) {
    return Convert("CP936", "UTF-8", utf8, false).value_or(std::string(utf8));
}

std::optional<std::string> Utf8ToCp936Exact(std::string_view utf8) {
    return Convert("CP936", "UTF-8", utf8, true);
}
