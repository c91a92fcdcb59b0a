#include "help/HelpContents.h"

#include "platform/Cp936.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace {

bool IsValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t n = 0;
        std::uint32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            n = 1, cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            n = 2, cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            n = 3, cp = c & 0x07;
        } else {
            return false;
        }
        if (n > s.size() - i - 1) return false;
        for (std::size_t k = 1; k <= n; ++k) {
            const auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are no UTF-8.
        if ((n == 2 && cp < 0x800) || (n == 3 && cp < 0x10000) || cp > 0x10FFFF ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += n + 1;
    }
    return true;
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Character references of attribute values; an unknown one stays as written.
std::string DecodeEntities(std::string_view s) {
    static constexpr struct {
        std::string_view name;
        char ch;
    } kNamed[] = {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    std::string out;
    std::size_t i = 0;
    while (i < s.size()) {
        const std::size_t semi = s[i] == '&' ? s.find(';', i + 1) : std::string_view::npos;
        if (semi == std::string_view::npos || semi - i > 10) {
            out += s[i++];
            continue;
        }
        const std::string_view ref = s.substr(i + 1, semi - i - 1);
        bool bDone = false;
        if (ref.size() > 1 && ref[0] == '#') {
            const bool bHex = ref[1] == 'x' || ref[1] == 'X';
            const std::string_view digits = ref.substr(bHex ? 2 : 1);
            std::uint32_t cp = 0;
            bool bOk = !digits.empty();
            for (char d : digits) {
                const int v = std::isdigit(static_cast<unsigned char>(d)) ? d - '0'
                              : bHex && std::isxdigit(static_cast<unsigned char>(d))
                                  ? std::tolower(static_cast<unsigned char>(d)) - 'a' + 10
                                  : -1;
                if (v < 0 || cp > 0x10FFFF) bOk = false;
                if (!bOk) break;
                cp = cp * (bHex ? 16 : 10) + static_cast<std::uint32_t>(v);
            }
            if (bOk) AppendUtf8(out, cp), bDone = true;
        } else {
            for (const auto& e : kNamed)
                if (HelpEqualsNoCase(ref, e.name)) out += e.ch, bDone = true;
        }
        if (bDone) {
            i = semi + 1;
        } else {
            out += s[i++];
        }
    }
    return out;
}

struct CTag {
    std::string strName; // lower case, with a leading '/' for an end tag
    std::vector<std::pair<std::string, std::string>> arAttrs; // names in lower case
    std::string Attr(std::string_view name) const {
        for (const auto& [k, v] : arAttrs)
            if (k == name) return v;
        return {};
    }
};

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

// Reads the tag that starts at s[i] == '<'; i ends after its '>'.
CTag ReadTag(std::string_view s, std::size_t& i) {
    CTag tag;
    ++i;
    std::size_t start = i;
    if (i < s.size() && s[i] == '/') ++i;
    while (i < s.size() && !IsSpace(s[i]) && s[i] != '>' && s[i] != '/')
        ++i;
    tag.strName = Lower(s.substr(start, i - start));
    for (;;) {
        while (i < s.size() && (IsSpace(s[i]) || s[i] == '/'))
            ++i;
        if (i >= s.size()) return tag;
        if (s[i] == '>') {
            ++i;
            return tag;
        }
        start = i;
        while (i < s.size() && !IsSpace(s[i]) && s[i] != '>' && s[i] != '=' && s[i] != '/')
            ++i;
        std::string name = Lower(s.substr(start, i - start));
        while (i < s.size() && IsSpace(s[i]))
            ++i;
        std::string value;
        if (i < s.size() && s[i] == '=') {
            ++i;
            while (i < s.size() && IsSpace(s[i]))
                ++i;
            if (i < s.size() && (s[i] == '"' || s[i] == '\'')) {
                const char q = s[i++];
                start = i;
                while (i < s.size() && s[i] != q)
                    ++i;
                value = std::string(s.substr(start, i - start));
                if (i < s.size()) ++i;
            } else {
                start = i;
                while (i < s.size() && !IsSpace(s[i]) && s[i] != '>')
                    ++i;
                value = std::string(s.substr(start, i - start));
            }
        }
        if (name.empty()) {
            ++i; // a stray character such as a lone quote
            continue;
        }
        tag.arAttrs.emplace_back(std::move(name), DecodeEntities(value));
    }
}

} // namespace

bool HelpEqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string HelpTextToUtf8(std::string_view strBytes) {
    if (strBytes.substr(0, 3) == "\xEF\xBB\xBF") strBytes.remove_prefix(3);
    if (IsValidUtf8(strBytes)) return std::string(strBytes);
    return Cp936ToUtf8(strBytes);
}

std::vector<CHelpTopic> ParseSitemap(std::string_view strHtml) {
    const std::string text = HelpTextToUtf8(strHtml);
    const std::string_view s = text;
    std::vector<CHelpTopic> topics;
    int nDepth = 0;
    bool bInObject = false;
    CHelpTopic current;
    std::size_t i = 0;
    while ((i = s.find('<', i)) != std::string_view::npos) {
        if (s.substr(i, 4) == "<!--") {
            const std::size_t end = s.find("-->", i + 4);
            if (end == std::string_view::npos) break;
            i = end + 3;
            continue;
        }
        const CTag tag = ReadTag(s, i);
        if (tag.strName == "ul") {
            ++nDepth;
        } else if (tag.strName == "/ul") {
            nDepth = std::max(0, nDepth - 1);
        } else if (tag.strName == "object") {
            bInObject = HelpEqualsNoCase(tag.Attr("type"), "text/sitemap");
            current = CHelpTopic{};
            current.m_nLevel = std::max(0, nDepth - 1);
        } else if (tag.strName == "param" && bInObject) {
            // An entry may name several topics; its first name and first target count.
            const std::string name = Lower(tag.Attr("name"));
            if (name == "name" && current.m_strName.empty()) current.m_strName = tag.Attr("value");
            if (name == "local" && current.m_strLocal.empty())
                current.m_strLocal = tag.Attr("value");
        } else if (tag.strName == "/object" && bInObject) {
            bInObject = false;
            if (current.m_strName.empty()) current.m_strName = current.m_strLocal;
            if (!current.m_strName.empty()) topics.push_back(std::move(current));
        }
    }
    return topics;
}
