#include "expr/FunCompiler.h"

#include "expr/StrToDouble.h"

#include <cmath>

namespace {

bool IsNumChar(char c) {
    return (c >= '0' && c <= '9') || c == '.';
}
bool IsLetter(char c) {
    return c >= 'a' && c <= 'z';
}

// A number operand must not end with a point and holds at most one point.
bool IsValidNumber(const std::string& t) {
    if (t.empty() || t.back() == '.') return false;
    int points = 0;
    for (char c : t) {
        if (!IsNumChar(c)) return false;
        if (c == '.') ++points;
    }
    return points <= 1;
}

// Length of the operand that starts at pos, or 0 when none starts there.
std::size_t ScanForward(const std::string& s, std::size_t pos) {
    if (pos >= s.size()) return 0;
    const char c = s[pos];
    if (IsNumChar(c)) {
        std::size_t e = pos;
        while (e < s.size() && IsNumChar(s[e]))
            ++e;
        return e - pos;
    }
    if (c == ':') return 1;
    if (c == '_' && pos + 1 < s.size() && IsLetter(s[pos + 1])) return 2;
    return 0;
}

// Stores an operand text in a node side, with its value when it is a number.
bool SetOperand(const std::string& text, std::string& str, double& value) {
    if (IsNumChar(text[0])) {
        // A number too large for a double would become an infinity: refuse it instead.
        if (!IsValidNumber(text)) return false;
        value = StrToDouble(text);
        if (!std::isfinite(value)) return false;
    }
    str = text;
    return true;
}

void ReplaceAll(std::string& s, const std::string& from, const std::string& to) {
    std::size_t pos = 0;
    while ((pos = s.find(from, pos)) != std::string::npos) {
        s.replace(pos, from.size(), to);
        pos += to.size();
    }
}

// The characters a typed text may hold; ':' and ';', the internal spellings of x and e, act as
// x and e when typed.
bool IsTypedChar(char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || IsNumChar(c)) return true;
    return c == '+' || c == '-' || c == '*' || c == '/' || c == '^' || c == '(' || c == ')' ||
           c == ':' || c == ';';
}

// A group directly beside a number, x or another group: reducing the group to its operand
// would glue it to its neighbour ("(2)(3)" would read as 23), so such a text is refused.
bool HasGroupBesideOperand(const std::string& s) {
    auto isOperandEnd = [](char c) { return IsNumChar(c) || c == ':' || c == ')'; };
    auto isOperandStart = [](char c) { return IsNumChar(c) || c == ':' || c == '('; };
    for (std::size_t i = 1; i < s.size(); ++i) {
        if (s[i] == '(' && isOperandEnd(s[i - 1])) return true;
        if (s[i - 1] == ')' && isOperandStart(s[i])) return true;
    }
    return false;
}

struct CFunName {
    const char* text;
    int len;
    char code;
};
constexpr CFunName kFunNames[] = {
    {";", 1, op::Exp},   {"ln", 2, op::Ln},   {"sin", 3, op::Sin}, {"cos", 3, op::Cos},
    {"sec", 3, op::Sec}, {"csc", 3, op::Csc}, {"tan", 3, op::Tan}, {"cot", 3, op::Cot},
};

} // namespace

bool CFunCompiler::NameNode(CDataAnalyzeFun& node) {
    // A 27th application would get a letter that no reference accepts: refuse it now.
    if (m_chNext < 'a' || m_chNext > 'z') return false;
    node.m_chName = m_chNext++;
    return true;
}

int CFunCompiler::ReduceFunction(std::string& s, int nPos, int nNameLen, char chCode) {
    const std::size_t start = static_cast<std::size_t>(nPos) + static_cast<std::size_t>(nNameLen);
    if (start >= s.size()) return -1;
    const std::size_t len = ScanForward(s, start);
    if (len == 0) return -1;
    CDataAnalyzeFun node;
    node.m_chOp = chCode;
    if (!SetOperand(s.substr(start, len), node.m_strLeft, node.m_dLeft)) return -1;
    if (!NameNode(node)) return -1;
    s.replace(static_cast<std::size_t>(nPos), static_cast<std::size_t>(nNameLen) + len,
              std::string{'_', node.m_chName});
    m_pNodes->Append(std::move(node));
    return nPos;
}

int CFunCompiler::ReduceOperator(std::string& s, int nPos, char chOp) {
    const std::size_t at = static_cast<std::size_t>(nPos);
    if (at == 0 || at >= s.size()) return -1;

    // Left operand, read backwards.
    std::size_t start = at - 1;
    const char c = s[start];
    if (IsNumChar(c)) {
        while (start > 0 && IsNumChar(s[start - 1]))
            --start;
    } else if (c == ':') {
    } else if (IsLetter(c)) {
        if (start == 0 || s[start - 1] != '_') return -1;
        --start;
    } else {
        return -1;
    }
    // Right operand, read forwards; a sign is no operand.
    const std::size_t len = ScanForward(s, at + 1);
    if (len == 0) return -1;

    CDataAnalyzeFun node;
    node.m_chOp = chOp;
    if (!SetOperand(s.substr(start, at - start), node.m_strLeft, node.m_dLeft)) return -1;
    if (!SetOperand(s.substr(at + 1, len), node.m_strRight, node.m_dRight)) return -1;
    if (!NameNode(node)) return -1;
    s.replace(start, at + 1 + len - start, std::string{'_', node.m_chName});
    m_pNodes->Append(std::move(node));
    return static_cast<int>(start);
}

bool CFunCompiler::AnalyzeFun(std::string& s) {
    if (HasGroupBesideOperand(s)) return false;
    return AnalyzeFun(s, 0);
}

bool CFunCompiler::AnalyzeFun(std::string& s, int depth) {
    if (depth > kMaxFunDepth) return false;

    // A sign at the start: -t is read as 0-t, +t as t.
    if (!s.empty() && s[0] == '-') {
        if (s.size() == 1) return false;
        s.insert(0, "0");
    }
    if (!s.empty() && s[0] == '+') {
        if (s.size() == 1) return false;
        s.erase(0, 1);
    }

    // Groups: each "(" with its own matching ")", innermost first through recursion.
    std::size_t p = s.find('(');
    while (p != std::string::npos) {
        std::size_t q = p + 1;
        for (int open = 1; q < s.size(); ++q) {
            if (s[q] == '(')
                ++open;
            else if (s[q] == ')' && --open == 0)
                break;
        }
        if (q >= s.size()) return false;
        std::string inner = s.substr(p + 1, q - p - 1);
        if (!AnalyzeFun(inner, depth + 1)) return false;
        s.replace(p, q - p + 1, inner);
        p = s.find('(', p);
    }

    for (const auto& f : kFunNames) {
        std::size_t pos;
        while ((pos = s.find(f.text)) != std::string::npos)
            if (ReduceFunction(s, static_cast<int>(pos), f.len, f.code) < 0) return false;
    }
    for (const char* ops : {"^", "*/", "+-"}) {
        std::size_t pos;
        while ((pos = s.find_first_of(ops)) != std::string::npos) {
            if (pos == 0) return false;
            if (ReduceOperator(s, static_cast<int>(pos), s[pos]) < 0) return false;
        }
    }

    // What is left must be one operand.
    if (s.empty()) return false;
    if (IsNumChar(s[0]) || s == ":") {
        CDataAnalyzeFun node;
        node.m_chOp = op::Copy;
        if (!SetOperand(s, node.m_strLeft, node.m_dLeft)) return false;
        m_pNodes->Append(std::move(node));
        return true;
    }
    return s.size() == 2 && s[0] == '_' && IsLetter(s[1]);
}

std::string NormalizeFunText(const std::string& typed) {
    std::string s = typed;
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    ReplaceAll(s, "x", ":");
    ReplaceAll(s, "ctg", "cot");
    ReplaceAll(s, "tg", "tan");
    ReplaceAll(s, "e", ";");
    ReplaceAll(s, "s;c", "sec");
    return s;
}

CFunCheck CheckFunText(const std::string& typed) {
    CFunCheck r;
    if (typed.empty()) return r;
    if (typed.find('_') != std::string::npos) {
        r.status = EFunCheck::Reserved;
        return r;
    }
    r.status = EFunCheck::Invalid;
    if (typed.size() > kMaxFunText) return r;
    for (char c : typed)
        if (!IsTypedChar(c)) return r;
    std::string s = NormalizeFunText(typed);
    auto nodes = std::make_unique<CNodeList>();
    CFunCompiler compiler(*nodes);
    if (!compiler.AnalyzeFun(s)) return r;
    r.status = EFunCheck::Ok;
    r.pNodes = std::move(nodes);
    return r;
}
