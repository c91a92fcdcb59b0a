#include "help/HelpLoader.h"

#include "help/HelpBundle.h"
#include "help/HelpLinks.h"

#include <chm_lib.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <fstream>

namespace {

// Objects of our manual are a few kilobytes; a damaged directory entry may claim anything.
constexpr LONGUINT64 kMaxObjectSize = 64u << 20;

// The LZX reset table, whose header gives the size of the compressed section once expanded.
constexpr const char* kResetTable =
    "::DataSpace/Storage/MSCompressed/Transform/"
    "{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable";
constexpr const char* kContent = "::DataSpace/Storage/MSCompressed/Content";
constexpr const char* kControlData = "::DataSpace/Storage/MSCompressed/ControlData";

std::uint64_t ReadLe32(const std::string& b, std::size_t at) {
    std::uint64_t v = 0;
    for (std::size_t k = 0; k < 4; ++k)
        v |= static_cast<std::uint64_t>(static_cast<unsigned char>(b[at + k])) << (8 * k);
    return v;
}

std::uint64_t ReadLe64(const std::string& b, std::size_t at) {
    std::uint64_t v = 0;
    for (std::size_t k = 0; k < 8; ++k)
        v |= static_cast<std::uint64_t>(static_cast<unsigned char>(b[at + k])) << (8 * k);
    return v;
}

bool EndsWithNoCase(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() &&
           HelpEqualsNoCase(s.substr(s.size() - suffix.size()), suffix);
}

// What chm_open reads before it can be asked anything, checked the way it will use it. On a
// damaged file chm_open divides by the LZX window size even when the control data failed its
// own checks, and sends an object of an unknown space through the decompressor; both crash.
// The directory is scanned chunk by chunk, which finds what chmlib's index walk finds in any
// file whose index is intact (a damaged index mostly makes chmlib's lookups fail, which is safe).
class CChmPrecheck {
  public:
    explicit CChmPrecheck(const std::string& strPath) : m_in(strPath, std::ios::binary) {
        if (m_in) {
            m_in.seekg(0, std::ios::end);
            m_nSize = static_cast<std::uint64_t>(std::max<std::streamoff>(0, m_in.tellg()));
        }
    }

    bool Passes() {
        std::string itsf;
        if (!Read(0, 0x60, itsf) || itsf.compare(0, 4, "ITSF") != 0) return false;
        const std::uint64_t nVersion = ReadLe32(itsf, 4);
        if (nVersion != 2 && nVersion != 3) return false;
        const std::uint64_t nDirAt = ReadLe64(itsf, 0x48);
        const std::uint64_t nDirLen = ReadLe64(itsf, 0x50);
        if (nDirAt > m_nSize || nDirLen > m_nSize - nDirAt || nDirLen < 0x54) return false;
        m_nDataAt = nVersion == 3 ? ReadLe64(itsf, 0x58) : nDirAt + nDirLen;

        std::string dir;
        if (!Read(nDirAt, nDirLen, dir) || dir.compare(0, 4, "ITSP") != 0) return false;
        const std::uint64_t nHeaderLen = ReadLe32(dir, 8);
        const std::uint64_t nChunkLen = ReadLe32(dir, 0x10);
        const std::uint64_t nChunks = ReadLe32(dir, 0x28);
        if (nHeaderLen > dir.size() || nChunkLen < 0x14 || nChunkLen > (1u << 20)) return false;
        for (std::uint64_t i = 0; i < nChunks; ++i) {
            const std::uint64_t at = nHeaderLen + i * nChunkLen;
            if (at > dir.size() || nChunkLen > dir.size() - at) break;
            if (!ScanChunk(std::string_view(dir).substr(at, nChunkLen))) return false;
        }
        const std::uint64_t nData = m_nSize - std::min(m_nSize, m_nDataAt);
        for (const CEntry& e : m_entries) {
            if (!e.bFound) continue;
            if (e.nSpace != CHM_UNCOMPRESSED && e.nSpace != CHM_COMPRESSED) return false;
            // A cut-off file: the compressed section or its tables run past the end.
            if (e.nSpace == CHM_UNCOMPRESSED && (e.nStart > nData || e.nLength > nData - e.nStart))
                return false;
        }
        // Only with all three in the plain section does chm_open go on to read them.
        for (const CEntry& e : m_entries)
            if (!e.bFound || e.nSpace != CHM_UNCOMPRESSED) return true;
        return ControlDataIsSound(m_entries[2]);
    }

  private:
    struct CEntry {
        const char* szName;
        bool bFound = false;
        std::uint64_t nSpace = 0;
        std::uint64_t nStart = 0;
        std::uint64_t nLength = 0;
    };

    bool Read(std::uint64_t at, std::uint64_t len, std::string& out) {
        if (!m_in || at > m_nSize || len > m_nSize - at || len > (64u << 20)) return false;
        out.assign(static_cast<std::size_t>(len), '\0');
        m_in.seekg(static_cast<std::streamoff>(at));
        return static_cast<bool>(m_in.read(out.data(), static_cast<std::streamsize>(len)));
    }

    // chmlib's variable-length integer: seven bits a byte, high bit set on all but the last.
    static bool ReadEncInt(std::string_view s, std::size_t& i, std::uint64_t& v) {
        v = 0;
        for (int n = 0; n < 10 && i < s.size(); ++n) {
            const auto c = static_cast<unsigned char>(s[i++]);
            v = (v << 7) | (c & 0x7F);
            if (!(c & 0x80)) return true;
        }
        return false;
    }

    bool ScanChunk(std::string_view chunk) {
        if (chunk.substr(0, 4) != "PMGL") return true; // index chunks hold no entries
        const std::uint64_t nFree = ReadLe32(std::string(chunk.substr(0, 8)), 4);
        if (nFree > chunk.size() - 0x14) return false;
        const std::size_t end = chunk.size() - static_cast<std::size_t>(nFree);
        std::size_t i = 0x14;
        while (i < end) {
            std::uint64_t nNameLen = 0;
            if (!ReadEncInt(chunk, i, nNameLen) || nNameLen > end - i) return false;
            const std::string_view name = chunk.substr(i, static_cast<std::size_t>(nNameLen));
            i += static_cast<std::size_t>(nNameLen);
            std::uint64_t nSpace = 0;
            std::uint64_t nStart = 0;
            std::uint64_t nLength = 0;
            if (!ReadEncInt(chunk, i, nSpace) || !ReadEncInt(chunk, i, nStart) ||
                !ReadEncInt(chunk, i, nLength))
                return false;
            for (CEntry& e : m_entries) {
                if (name != e.szName) continue;
                if (e.bFound && (e.nSpace != nSpace || e.nStart != nStart || e.nLength != nLength))
                    return false; // two different answers to one name
                e = {e.szName, true, nSpace, nStart, nLength};
            }
        }
        return true;
    }

    bool ControlDataIsSound(const CEntry& control) {
        // chm_open refuses control data over 256 bytes by itself; under 0x18 bytes it leaves its
        // record unset and still divides by it.
        if (control.nLength > 256) return true;
        std::string b;
        if (control.nLength < 0x18 || !Read(m_nDataAt + control.nStart, control.nLength, b))
            return false;
        std::uint32_t nReset = static_cast<std::uint32_t>(ReadLe32(b, 0x0C));
        std::uint32_t nWindow = static_cast<std::uint32_t>(ReadLe32(b, 0x10));
        const auto nPerReset = static_cast<std::uint32_t>(ReadLe32(b, 0x14));
        if (ReadLe32(b, 8) == 2) {
            nReset *= 0x8000u;
            nWindow *= 0x8000u;
        }
        // The decompressor accepts windows of 2^15 to 2^21 bytes; it takes block numbers modulo
        // the blocks per reset.
        const bool bPowerOfTwo = nWindow != 0 && (nWindow & (nWindow - 1)) == 0;
        if (!bPowerOfTwo || nWindow < (1u << 15) || nWindow > (1u << 21)) return false;
        return nReset / (nWindow / 2) * nPerReset != 0;
    }

    std::ifstream m_in;
    std::uint64_t m_nSize = 0;
    std::uint64_t m_nDataAt = 0;
    CEntry m_entries[3] = {{kResetTable}, {kContent}, {kControlData}};
};

int CollectObject(chmFile*, chmUnitInfo* pUi, void* pContext) {
    static_cast<std::vector<std::string>*>(pContext)->emplace_back(pUi->path);
    return CHM_ENUMERATOR_CONTINUE;
}

} // namespace

CHelpLoader::~CHelpLoader() {
    Close();
}

void CHelpLoader::Close() {
    if (m_pChm) chm_close(m_pChm);
    m_pChm = nullptr;
    m_strPath.clear();
    m_strTitle.clear();
    m_strDefaultTopic.clear();
    m_arContents.clear();
    m_nExpandedSize.reset();
}

bool CHelpLoader::Open(const std::string& strPath) {
    Close();
    if (!CChmPrecheck(strPath).Passes()) return false;
    m_pChm = chm_open(strPath.c_str());
    if (!m_pChm) return false;
    m_strPath = strPath;
    // chmlib trusts the directory and the reset table: an object said to lie beyond the expanded
    // section, or a compressed block longer than its buffer, makes it read and copy outside its
    // buffers. Those are checked here, and a file that fails has no readable compressed object.
    m_nExpandedSize = CheckResetTable();

    std::string strTopic;
    std::string strContents;
    ReadSystem(strTopic, strContents);
    if (strContents.empty()) {
        for (const std::string& object : ListObjects()) {
            if (object.rfind('/') == 0 && EndsWithNoCase(object, ".hhc")) {
                strContents = object;
                break;
            }
        }
    }
    if (!strContents.empty()) {
        if (const auto sitemap = ReadObject(strContents)) m_arContents = ParseSitemap(*sitemap);
    }
    m_strDefaultTopic = FindDefaultTopic(strTopic);
    if (m_strDefaultTopic.empty()) {
        Close();
        return false;
    }
    return true;
}

// #SYSTEM: a version word, then records of a 16-bit code, a 16-bit length and that many bytes.
void CHelpLoader::ReadSystem(std::string& strTopic, std::string& strContents) {
    const auto system = ReadObject("/#SYSTEM");
    if (!system) return;
    const std::string& b = *system;
    auto word = [&b](std::size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(b[at])) |
               static_cast<unsigned>(static_cast<unsigned char>(b[at + 1])) << 8;
    };
    std::size_t pos = 4;
    while (pos + 4 <= b.size()) {
        const unsigned code = word(pos);
        const std::size_t len = word(pos + 2);
        pos += 4;
        if (len > b.size() - pos) break;
        std::string value = b.substr(pos, len);
        value.resize(std::strlen(value.c_str()));
        pos += len;
        if (code == 0 && strContents.empty()) strContents = ResolveHelpPath("/", value);
        if (code == 2 && strTopic.empty()) strTopic = value;
        if (code == 3 && m_strTitle.empty()) m_strTitle = HelpTextToUtf8(value);
    }
}

std::string CHelpLoader::FindDefaultTopic(const std::string& strFromSystem) const {
    std::vector<std::string> candidates;
    if (!strFromSystem.empty()) candidates.push_back(strFromSystem);
    for (const CHelpTopic& topic : m_arContents)
        if (!topic.m_strLocal.empty()) candidates.push_back(topic.m_strLocal);
    candidates.push_back("index.html");
    candidates.push_back("index.htm");
    for (const std::string& candidate : candidates) {
        const std::string path = ResolveHelpPath("/", candidate);
        // Read it in full: a truncated file may still list a topic whose bytes are gone.
        if (!path.empty() && path != "/" && ReadObject(HelpObjectOf(path))) return path;
    }
    return {};
}

// The reset table header: block count at 4, table offset at 12, expanded size at 16, compressed
// size at 24, block size at 32; then one 64-bit start per block, relative to the content.
std::optional<std::uint64_t> CHelpLoader::CheckResetTable() const {
    chmUnitInfo table;
    chmUnitInfo content;
    if (!Resolve(kResetTable, table) || table.space != CHM_UNCOMPRESSED ||
        !Resolve(kContent, content) || content.space != CHM_UNCOMPRESSED)
        return std::nullopt;
    const auto bytes = ReadObject(kResetTable);
    if (!bytes || bytes->size() < 40) return std::nullopt;
    const std::string& b = *bytes;
    const std::uint64_t nBlocks = ReadLe32(b, 4);
    const std::uint64_t nTableAt = ReadLe32(b, 12);
    const std::uint64_t nExpanded = ReadLe64(b, 16);
    const std::uint64_t nCompressed = ReadLe64(b, 24);
    const std::uint64_t nBlockLen = ReadLe64(b, 32);
    // chmlib reads a compressed block into a buffer of the block size plus 6144 bytes.
    const std::uint64_t nMaxCompressedBlock = nBlockLen + 6144;
    if (nBlocks == 0 || nBlockLen == 0 || nBlockLen > (1u << 20) || nTableAt > b.size() ||
        nBlocks > (b.size() - nTableAt) / 8 || nExpanded > nBlocks * nBlockLen ||
        nCompressed > content.length)
        return std::nullopt;
    for (std::uint64_t i = 0; i < nBlocks; ++i) {
        const std::uint64_t nStart = ReadLe64(b, static_cast<std::size_t>(nTableAt + i * 8));
        const std::uint64_t nEnd = i + 1 < nBlocks
                                       ? ReadLe64(b, static_cast<std::size_t>(nTableAt + i * 8 + 8))
                                       : nCompressed;
        if (nEnd < nStart || nEnd - nStart > nMaxCompressedBlock) return std::nullopt;
    }
    return nExpanded;
}

bool CHelpLoader::Resolve(const std::string& strPath, chmUnitInfo& ui) const {
    return m_pChm && strPath.size() < CHM_MAX_PATHLEN &&
           chm_resolve_object(m_pChm, strPath.c_str(), &ui) == CHM_RESOLVE_SUCCESS;
}

std::optional<std::string> CHelpLoader::ReadObject(const std::string& strPath) const {
    chmUnitInfo ui;
    if (!Resolve(strPath, ui)) return std::nullopt;
    if (ui.length > kMaxObjectSize) return std::nullopt;
    if (ui.space == CHM_COMPRESSED && (!m_nExpandedSize || ui.start > *m_nExpandedSize ||
                                       ui.length > *m_nExpandedSize - ui.start))
        return std::nullopt;
    if (ui.space != CHM_COMPRESSED && ui.space != CHM_UNCOMPRESSED) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(ui.length), '\0');
    if (bytes.empty()) return bytes;
    const LONGINT64 got =
        chm_retrieve_object(m_pChm, &ui, reinterpret_cast<unsigned char*>(bytes.data()), 0,
                            static_cast<LONGINT64>(ui.length));
    if (got != static_cast<LONGINT64>(ui.length)) return std::nullopt;
    return bytes;
}

std::vector<std::string> CHelpLoader::ListObjects() const {
    std::vector<std::string> objects;
    if (m_pChm)
        chm_enumerate(m_pChm, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, &CollectObject, &objects);
    return objects;
}

std::optional<CHelpBundle> ReadHelpBundle(const std::string& strPath) {
    CHelpLoader loader;
    if (!loader.Open(strPath)) return std::nullopt;
    CHelpBundle bundle;
    bundle.m_strPath = strPath;
    bundle.m_strTitle = loader.GetTitle();
    bundle.m_strDefaultTopic = loader.GetDefaultTopic();
    bundle.m_arContents = loader.GetContents();
    std::size_t total = 0;
    for (const std::string& object : loader.ListObjects()) {
        auto bytes = loader.ReadObject(object);
        if (!bytes) continue;
        total += object.size() + bytes->size();
        if (total > kMaxHelpBundleBytes) break;
        bundle.AddObject(object, std::move(*bytes));
    }
    // The first topic must be there, or the window would open on nothing.
    if (!bundle.ReadObject(HelpObjectOf(bundle.m_strDefaultTopic))) return std::nullopt;
    return bundle;
}
