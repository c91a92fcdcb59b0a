#include "platform/IniFile.h"

#include "platform/AtomicFile.h"

#include <cstdint>
#include <optional>

namespace {

constexpr std::string_view kBlanks = " \t\r\v\f";

std::string_view Trim(std::string_view s) {
    size_t b = s.find_first_not_of(kBlanks);
    if (b == std::string_view::npos) return {};
    size_t e = s.find_last_not_of(kBlanks);
    return s.substr(b, e - b + 1);
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char ca = static_cast<unsigned char>(a[i]);
        unsigned char cb = static_cast<unsigned char>(b[i]);
        if (ca >= 'A' && ca <= 'Z') ca = static_cast<unsigned char>(ca + 32);
        if (cb >= 'A' && cb <= 'Z') cb = static_cast<unsigned char>(cb + 32);
        if (ca != cb) return false;
    }
    return true;
}

// The file as lines without their line ends, and the line end to use for new lines.
struct CIniText {
    std::vector<std::string> lines;
    std::string eol = "\n";
    bool finalEol = true;
};

CIniText SplitLines(const std::string& content) {
    CIniText t;
    if (content.find("\r\n") != std::string::npos) t.eol = "\r\n";
    size_t pos = 0;
    while (pos < content.size()) {
        size_t nl = content.find('\n', pos);
        if (nl == std::string::npos) {
            t.lines.push_back(content.substr(pos));
            t.finalEol = false;
            break;
        }
        size_t end = nl > pos && content[nl - 1] == '\r' ? nl - 1 : nl;
        t.lines.push_back(content.substr(pos, end - pos));
        pos = nl + 1;
    }
    return t;
}

// A section header's name, if the line is one.
std::optional<std::string_view> SectionName(std::string_view line) {
    std::string_view s = Trim(line);
    if (s.empty() || s.front() != '[') return std::nullopt;
    s.remove_prefix(1);
    size_t close = s.find(']');
    return Trim(close == std::string_view::npos ? s : s.substr(0, close));
}

// A key line's name and value; comments and blank lines have none.
bool SplitKey(std::string_view line, std::string_view& key, std::string_view& value) {
    std::string_view s = Trim(line);
    if (s.empty() || s.front() == ';' || s.front() == '[') return false;
    size_t eq = s.find('=');
    key = Trim(s.substr(0, eq));
    value = eq == std::string_view::npos ? std::string_view() : Trim(s.substr(eq + 1));
    return !key.empty();
}

// First matching section: the index of its header, and one past its last line.
bool FindSection(const std::vector<std::string>& lines, std::string_view section, size_t& header,
                 size_t& end) {
    for (size_t i = 0; i < lines.size(); ++i) {
        std::optional<std::string_view> name = SectionName(lines[i]);
        if (!name || !EqualNoCase(*name, section)) continue;
        header = i;
        end = i + 1;
        while (end < lines.size() && !SectionName(lines[end]))
            ++end;
        return true;
    }
    return false;
}

// The file's text; nullopt when it is absent, unreadable or no plain small file.
std::optional<std::string> ReadProfile(const std::string& path, EReadStatus& status) {
    return ReadWholeFile(path, kMaxProfileBytes, nullptr, &status);
}

// Names and values that would change the file's structure are refused rather than written.
bool Writable(const CProfileEntry& e) {
    std::string_view section = Trim(e.section), key = Trim(e.key);
    if (section.empty() || key.empty()) return false;
    if (section.find_first_of("]\r\n") != std::string_view::npos) return false;
    if (key.find_first_of("=\r\n") != std::string_view::npos || key.front() == ';' ||
        key.front() == '[')
        return false;
    return e.value.find_first_of("\r\n") == std::string::npos;
}

void Apply(CIniText& t, const CProfileEntry& e) {
    const std::string_view section = Trim(e.section), key = Trim(e.key);
    size_t header = 0, end = 0;
    if (!FindSection(t.lines, section, header, end)) {
        t.lines.push_back("[" + std::string(section) + "]");
        t.lines.push_back(std::string(key) + "=" + e.value);
        t.finalEol = true;
        return;
    }
    size_t lastContent = header;
    for (size_t i = header + 1; i < end; ++i) {
        std::string_view k, v;
        if (SplitKey(t.lines[i], k, v) && EqualNoCase(k, key)) {
            t.lines[i] = std::string(k) + "=" + e.value;
            return;
        }
        if (!Trim(t.lines[i]).empty()) lastContent = i;
    }
    // After the section's last line that is not blank, so blank separators stay in place.
    t.lines.insert(t.lines.begin() + static_cast<std::ptrdiff_t>(lastContent + 1),
                   std::string(key) + "=" + e.value);
    if (lastContent + 1 == t.lines.size() - 1) t.finalEol = true;
}

} // namespace

CPrivateProfile::CPrivateProfile(const std::string& path) {
    EReadStatus status;
    if (auto content = ReadProfile(path, status)) m_lines = SplitLines(*content).lines;
}

CPrivateProfile CPrivateProfile::FromText(const std::string& text) {
    CPrivateProfile ini;
    ini.m_lines = SplitLines(text).lines;
    return ini;
}

int CPrivateProfile::GetInt(std::string_view section, std::string_view key, int nDefault) const {
    size_t header = 0, end = 0;
    if (!FindSection(m_lines, Trim(section), header, end)) return nDefault;
    for (size_t i = header + 1; i < end; ++i) {
        std::string_view k, v;
        if (!SplitKey(m_lines[i], k, v) || !EqualNoCase(k, Trim(key))) continue;
        if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
            v = Trim(v.substr(1, v.size() - 2));
        if (v.empty()) return nDefault;
        size_t p = 0;
        bool negative = false;
        if (v[p] == '+' || v[p] == '-') negative = v[p++] == '-';
        // Unsigned arithmetic wraps, as the Windows call does, without overflow.
        std::uint32_t n = 0;
        for (; p < v.size() && v[p] >= '0' && v[p] <= '9'; ++p)
            n = n * 10u + static_cast<std::uint32_t>(v[p] - '0');
        if (negative) n = 0u - n;
        return static_cast<int>(n); // modulo 2^32 since C++20
    }
    return nDefault;
}

int GetPrivateProfileInt(std::string_view section, std::string_view key, int nDefault,
                         const std::string& path) {
    return CPrivateProfile(path).GetInt(section, key, nDefault);
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& path) {
    return WritePrivateProfileEntries(
        {{std::string(section), std::string(key), std::string(value)}}, path);
}

bool WritePrivateProfileEntries(const std::vector<CProfileEntry>& entries,
                                const std::string& path) {
    for (const CProfileEntry& e : entries)
        if (!Writable(e)) return false;
    EReadStatus status;
    const std::optional<std::string> content = ReadProfile(path, status);
    if (!content && status != EReadStatus::Missing) return false;
    CIniText t = SplitLines(content ? *content : std::string());
    for (const CProfileEntry& e : entries)
        Apply(t, e);
    std::string out;
    for (size_t i = 0; i < t.lines.size(); ++i) {
        out += t.lines[i];
        if (i + 1 < t.lines.size() || t.finalEol) out += t.eol;
    }
    return WriteFileAtomically(path, out, nullptr);
}
