#include "help/HelpLinks.h"

#include <algorithm>
#include <vector>

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string PercentDecode(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && HexValue(s[i + 1]) >= 0 && HexValue(s[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

} // namespace

std::string HelpObjectOf(std::string_view strPath) {
    return std::string(strPath.substr(0, std::min(strPath.find('#'), strPath.size())));
}

std::string ResolveHelpPath(std::string_view strBase, std::string_view strHref) {
    std::string href(strHref);
    std::replace(href.begin(), href.end(), '\\', '/');
    if (const std::size_t pos = href.find("::"); pos != std::string::npos) {
        href.erase(0, pos + 2);
    } else {
        // Any other scheme (http:, mailto:) points outside the file.
        const std::size_t colon = href.find(':');
        if (colon != std::string::npos && href.find_first_of("/#?") > colon) return {};
    }
    std::string fragment;
    if (const std::size_t pos = href.find('#'); pos != std::string::npos) {
        fragment = href.substr(pos);
        href.erase(pos);
    }
    if (const std::size_t pos = href.find('?'); pos != std::string::npos) href.erase(pos);
    href = PercentDecode(href);

    std::string joined;
    if (href.empty()) {
        joined = HelpObjectOf(strBase);
    } else if (href[0] == '/') {
        joined = href;
    } else {
        const std::string base = HelpObjectOf(strBase);
        const std::size_t slash = base.rfind('/');
        joined = (slash == std::string::npos ? std::string("/") : base.substr(0, slash + 1)) + href;
    }

    std::vector<std::string> segments;
    std::size_t i = 0;
    while (i <= joined.size()) {
        std::size_t j = joined.find('/', i);
        if (j == std::string::npos) j = joined.size();
        const std::string seg = joined.substr(i, j - i);
        if (seg == "..") {
            if (!segments.empty()) segments.pop_back();
        } else if (!seg.empty() && seg != ".") {
            segments.push_back(seg);
        }
        i = j + 1;
    }
    std::string out;
    for (const std::string& seg : segments)
        out.append(1, '/').append(seg);
    if (segments.empty()) out.push_back('/');
    return out + fragment;
}
