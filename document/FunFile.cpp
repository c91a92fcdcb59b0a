#include "document/FunFile.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr std::uint16_t kNewClassTag = 0xFFFF;
constexpr std::uint16_t kClassTag = 0x8000;
constexpr std::uint16_t kBigObjectTag = 0x7FFF;
constexpr std::uint32_t kBigClassTag = 0x80000000;
constexpr std::uint16_t kSchema = 1;
constexpr std::uint32_t kBigCount = 0xFFFF;

constexpr std::string_view kFunClass = "CDataFun";
constexpr std::string_view kNodeClass = "CDataAnalyzeFun";

// Smallest encodings, used to refuse a count before anything is allocated for it.
constexpr std::size_t kMinRecordBytes = 2 + 1 + 4 + 4 + 8 + 8 + 1 + 1 + 2;
constexpr std::size_t kMinNodeBytes = 2 + 1 + 1 + 8 + 8 + 8 + 1 + 1;

enum EKind { kFun = 0, kNode = 1 };
constexpr std::string_view kClassNames[2] = {kFunClass, kNodeClass};
constexpr const char* kKindWords[2] = {"record", "node"};

class CWriter {
  public:
    std::string m_out;

    void U8(std::uint8_t v) { m_out.push_back(static_cast<char>(v)); }
    void U16(std::uint16_t v) {
        U8(v & 0xFF);
        U8(v >> 8);
    }
    void U32(std::uint32_t v) {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    void F64(double d) {
        std::uint64_t v;
        std::memcpy(&v, &d, sizeof v);
        U32(static_cast<std::uint32_t>(v));
        U32(static_cast<std::uint32_t>(v >> 32));
    }
    void Str(const std::string& s) {
        const std::size_t n = s.size();
        if (n < 0xFF) {
            U8(static_cast<std::uint8_t>(n));
        } else if (n < 0xFFFE) {
            U8(0xFF);
            U16(static_cast<std::uint16_t>(n));
        } else {
            U8(0xFF);
            U16(0xFFFF);
            U32(static_cast<std::uint32_t>(n));
        }
        m_out += s;
    }
    void Count(std::size_t n) {
        if (n < kBigCount) {
            U16(static_cast<std::uint16_t>(n));
        } else {
            U16(kBigCount);
            U32(static_cast<std::uint32_t>(n));
        }
    }
    // Classes and objects share one counter; a class is named only the first time.
    void Header(EKind kind) {
        std::uint64_t& cls = m_classNum[kind];
        if (cls == 0) {
            U16(kNewClassTag);
            U16(kSchema);
            U16(static_cast<std::uint16_t>(kClassNames[kind].size()));
            m_out += kClassNames[kind];
            cls = m_nCounter++;
        } else if (cls < kBigObjectTag) {
            U16(static_cast<std::uint16_t>(kClassTag | cls));
        } else {
            U16(kBigObjectTag);
            U32(static_cast<std::uint32_t>(kBigClassTag | cls));
        }
        ++m_nCounter;
    }

  private:
    std::uint64_t m_nCounter = 1;
    std::uint64_t m_classNum[2] = {0, 0};
};

class CReader {
  public:
    explicit CReader(std::string_view bytes) : m_data(bytes) {}

    std::optional<CFunArray> ReadFile();
    CFunFileError m_error;

  private:
    bool Fail(std::size_t at, const std::string& what) {
        m_error.m_nOffset = at;
        m_error.m_strMessage = what + " at byte " + std::to_string(at);
        return false;
    }
    std::size_t Left() const { return m_data.size() - m_pos; }
    bool Need(std::size_t n, const char* what) {
        if (Left() >= n) return true;
        return Fail(m_pos, std::string("the file ends early in ") + what);
    }
    // Little-endian unsigned of n bytes; the caller has checked that they are there.
    std::uint64_t Raw(std::size_t n) {
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < n; ++i)
            v |= static_cast<std::uint64_t>(static_cast<std::uint8_t>(m_data[m_pos + i]))
                 << (8 * i);
        m_pos += n;
        return v;
    }
    template <class T> bool Int(T& v, const char* what) {
        if (!Need(sizeof(T), what)) return false;
        v = static_cast<T>(Raw(sizeof(T)));
        return true;
    }
    bool U8(std::uint8_t& v, const char* what) { return Int(v, what); }
    bool U16(std::uint16_t& v, const char* what) { return Int(v, what); }
    bool U32(std::uint32_t& v, const char* what) { return Int(v, what); }
    bool F64(double& d, const char* what) {
        std::uint64_t v;
        if (!Int(v, what)) return false;
        std::memcpy(&d, &v, sizeof d);
        return true;
    }
    bool Str(std::string& s, const char* what);
    bool Count(std::size_t& n, std::size_t minBytes, const char* what);
    bool Header(EKind expected);
    bool Record(CFunArray& funs);
    bool Node(CNodeList& list);

    std::string_view m_data;
    std::size_t m_pos = 0;
    std::uint64_t m_nCounter = 1;
    std::uint64_t m_classNum[2] = {0, 0};
};

bool CReader::Str(std::string& s, const char* what) {
    const std::size_t at = m_pos;
    std::uint8_t b;
    if (!U8(b, what)) return false;
    std::size_t n = b;
    if (b == 0xFF) {
        std::uint16_t w;
        if (!U16(w, what)) return false;
        n = w;
        if (w == 0xFFFF) {
            std::uint32_t d;
            if (!U32(d, what)) return false;
            n = d;
        }
    }
    if (n > Left())
        return Fail(at, std::string("the length ") + std::to_string(n) + " of " + what +
                            " is larger than the " + std::to_string(Left()) + " bytes left");
    s.assign(m_data.substr(m_pos, n));
    m_pos += n;
    return true;
}

bool CReader::Count(std::size_t& n, std::size_t minBytes, const char* what) {
    const std::size_t at = m_pos;
    std::uint16_t w;
    if (!U16(w, what)) return false;
    n = w;
    if (w == kBigCount) {
        std::uint32_t d;
        if (!U32(d, what)) return false;
        n = d;
    }
    if (n > Left() / minBytes)
        return Fail(at, std::string("the ") + what + " " + std::to_string(n) +
                            " is larger than the " + std::to_string(Left()) +
                            " bytes left can hold");
    return true;
}

bool CReader::Header(EKind expected) {
    const std::size_t at = m_pos;
    const char* what = expected == kFun ? "a record header" : "a node header";
    std::uint16_t tag;
    if (!U16(tag, what)) return false;

    std::uint64_t cls = 0;
    EKind kind;
    if (tag == kNewClassTag) {
        std::uint16_t schema, len;
        if (!U16(schema, what) || !U16(len, what)) return false;
        if (len > Left()) return Need(len, what);
        const std::string_view name = m_data.substr(m_pos, len);
        m_pos += len;
        if (name == kFunClass)
            kind = kFun;
        else if (name == kNodeClass)
            kind = kNode;
        else
            return Fail(at, "unknown class \"" + std::string(name) + "\"");
        if (schema != kSchema)
            return Fail(at, "class " + std::string(name) + " has schema " + std::to_string(schema) +
                                " instead of 1");
        if (m_classNum[kind] != 0)
            return Fail(at, "class " + std::string(name) + " is introduced twice");
        m_classNum[kind] = m_nCounter++;
    } else {
        if (tag == kBigObjectTag) {
            std::uint32_t big;
            if (!U32(big, what)) return false;
            if (!(big & kBigClassTag))
                return Fail(at, "reference to the earlier object " + std::to_string(big));
            cls = big & ~kBigClassTag;
        } else if (tag & kClassTag) {
            cls = tag & ~kClassTag;
        } else if (tag == 0) {
            return Fail(at, "null object");
        } else {
            return Fail(at, "reference to the earlier object " + std::to_string(tag));
        }
        if (cls != 0 && cls == m_classNum[kFun])
            kind = kFun;
        else if (cls != 0 && cls == m_classNum[kNode])
            kind = kNode;
        else
            return Fail(at, "unknown class number " + std::to_string(cls));
    }
    if (kind != expected)
        return Fail(at, std::string("a ") + kKindWords[kind] + " where a " + kKindWords[expected] +
                            " belongs");
    ++m_nCounter;
    return true;
}

bool CReader::Node(CNodeList& list) {
    if (!Header(kNode)) return false;
    CDataAnalyzeFun n;
    std::uint8_t name, code;
    if (!U8(name, "a node") || !U8(code, "a node") || !F64(n.m_dResult, "a node") ||
        !F64(n.m_dLeft, "a node") || !F64(n.m_dRight, "a node") ||
        !Str(n.m_strLeft, "a left operand") || !Str(n.m_strRight, "a right operand"))
        return false;
    n.m_chName = static_cast<char>(name);
    n.m_chOp = static_cast<char>(code);
    list.Append(std::move(n));
    return true;
}

bool CReader::Record(CFunArray& funs) {
    if (!Header(kFun)) return false;
    auto f = std::make_unique<CDataFun>();
    std::uint32_t show, clr;
    if (!Str(f->m_strFun, "a function text") || !U32(show, "a record") || !U32(clr, "a record") ||
        !F64(f->m_dMin, "a record") || !F64(f->m_dMax, "a record") ||
        !Str(f->m_strMin, "a lower bound text") || !Str(f->m_strMax, "an upper bound text"))
        return false;
    f->m_bShow = static_cast<std::int32_t>(show);
    f->m_clrFun = clr;
    const std::size_t at = m_pos;
    std::size_t m;
    if (!Count(m, kMinNodeBytes, "node count")) return false;
    if (m > kMaxFileNodes)
        return Fail(at, "the node count " + std::to_string(m) + " exceeds the limit of " +
                            std::to_string(kMaxFileNodes));
    f->m_pNodes = std::make_unique<CNodeList>();
    for (std::size_t i = 0; i < m; ++i)
        if (!Node(*f->m_pNodes)) return false;
    funs.push_back(std::move(f));
    return true;
}

std::optional<CFunArray> CReader::ReadFile() {
    CFunArray funs;
    if (m_data.empty()) return funs;
    std::size_t n;
    if (!Count(n, kMinRecordBytes, "record count")) return std::nullopt;
    funs.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        if (!Record(funs)) return std::nullopt;
    return funs;
}

} // namespace

std::string WriteFunFile(const CFunArray& funs) {
    CWriter w;
    w.Count(funs.size());
    for (const auto& f : funs) {
        w.Header(kFun);
        w.Str(f->m_strFun);
        w.U32(static_cast<std::uint32_t>(f->m_bShow));
        w.U32(f->m_clrFun);
        w.F64(f->m_dMin);
        w.F64(f->m_dMax);
        w.Str(f->m_strMin);
        w.Str(f->m_strMax);
        static const std::vector<CDataAnalyzeFun> kNone;
        const auto& nodes = f->m_pNodes ? f->m_pNodes->SettledNodes() : kNone;
        w.Count(nodes.size());
        for (const CDataAnalyzeFun& n : nodes) {
            w.Header(kNode);
            w.U8(static_cast<std::uint8_t>(n.m_chName));
            w.U8(static_cast<std::uint8_t>(n.m_chOp));
            w.F64(n.m_dResult);
            w.F64(n.m_dLeft);
            w.F64(n.m_dRight);
            w.Str(n.m_strLeft);
            w.Str(n.m_strRight);
        }
    }
    return std::move(w.m_out);
}

std::optional<CFunArray> ReadFunFile(std::string_view bytes, CFunFileError* error) {
    CReader r(bytes);
    auto funs = r.ReadFile();
    if (!funs && error) *error = std::move(r.m_error);
    return funs;
}
