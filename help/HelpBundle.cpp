#include "help/HelpBundle.h"

#include "help/HelpLinks.h"

#include <cstdint>

namespace {

constexpr std::string_view kMagic = "CURVIST-HELP 1\n";

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    return out;
}

void PutU32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>(v >> (8 * i) & 0xFF));
}

void PutStr(std::string& out, std::string_view s) {
    PutU32(out, static_cast<std::uint32_t>(s.size()));
    out += s;
}

class CDecoder {
  public:
    explicit CDecoder(std::string_view bytes) : m_s(bytes) {}
    bool U32(std::uint32_t& v) {
        if (m_s.size() - m_pos < 4) return false;
        v = 0;
        for (int i = 0; i < 4; ++i)
            v |= static_cast<std::uint32_t>(static_cast<unsigned char>(m_s[m_pos + i])) << (8 * i);
        m_pos += 4;
        return true;
    }
    bool Str(std::string& s) {
        std::uint32_t n;
        if (!U32(n) || n > m_s.size() - m_pos) return false;
        s.assign(m_s.substr(m_pos, n));
        m_pos += n;
        return true;
    }
    // A count of items of at least minBytes each that the rest can hold.
    bool Count(std::uint32_t& n, std::size_t minBytes) {
        return U32(n) && n <= (m_s.size() - m_pos) / minBytes;
    }
    bool Magic() {
        if (m_s.substr(0, kMagic.size()) != kMagic) return false;
        m_pos = kMagic.size();
        return true;
    }
    bool AtEnd() const { return m_pos == m_s.size(); }

  private:
    std::string_view m_s;
    std::size_t m_pos = 0;
};

} // namespace

void CHelpBundle::AddObject(const std::string& strPath, std::string bytes) {
    m_objects.emplace(Lower(strPath), std::move(bytes));
}

std::optional<std::string> CHelpBundle::ReadObject(const std::string& strPath) const {
    const auto it = m_objects.find(Lower(strPath));
    if (it == m_objects.end()) return std::nullopt;
    return it->second;
}

std::string EncodeHelpBundle(const CHelpBundle& b) {
    std::string out(kMagic);
    PutStr(out, b.m_strPath);
    PutStr(out, b.m_strTitle);
    PutStr(out, b.m_strDefaultTopic);
    PutU32(out, static_cast<std::uint32_t>(b.m_arContents.size()));
    for (const CHelpTopic& t : b.m_arContents) {
        PutStr(out, t.m_strName);
        PutStr(out, t.m_strLocal);
        PutU32(out, static_cast<std::uint32_t>(t.m_nLevel));
    }
    PutU32(out, static_cast<std::uint32_t>(b.Objects().size()));
    for (const auto& [path, bytes] : b.Objects()) {
        PutStr(out, path);
        PutStr(out, bytes);
    }
    return out;
}

std::optional<CHelpBundle> DecodeHelpBundle(std::string_view bytes) {
    CDecoder d(bytes);
    CHelpBundle b;
    std::uint32_t n;
    if (!d.Magic() || !d.Str(b.m_strPath) || !d.Str(b.m_strTitle) || !d.Str(b.m_strDefaultTopic) ||
        !d.Count(n, 12))
        return std::nullopt;
    for (std::uint32_t i = 0; i < n; ++i) {
        CHelpTopic t;
        std::uint32_t level;
        if (!d.Str(t.m_strName) || !d.Str(t.m_strLocal) || !d.U32(level) || level > 1000)
            return std::nullopt;
        t.m_nLevel = static_cast<int>(level);
        b.m_arContents.push_back(std::move(t));
    }
    if (!d.Count(n, 8)) return std::nullopt;
    for (std::uint32_t i = 0; i < n; ++i) {
        std::string path, data;
        if (!d.Str(path) || !d.Str(data)) return std::nullopt;
        b.AddObject(path, std::move(data));
    }
    if (!d.AtEnd() || !b.ReadObject(HelpObjectOf(b.m_strDefaultTopic))) return std::nullopt;
    return b;
}
