#include "expr/InputHints.h"

#include "expr/FunCompiler.h"

#include <algorithm>
#include <vector>

namespace {

constexpr const char* kPi = "3.14159265358979";
constexpr const char* kE = "2.71828182845905";
constexpr int kMaxOperations = 26;

enum class EKind { Num, X, Fun, Op, LP, RP, Bar, Space, Bad };

struct CTok {
    EKind k;
    std::string s;         // as it goes into the rewrite
    std::size_t pos;       // the typed character it stands for (inserted ones: their neighbour's)
    std::string name = {}; // a function's name in lower case
};
using CToks = std::vector<CTok>;

struct CFix {
    std::size_t pos;
    std::string msg; // without the position, which is put in front
    bool bRewrite = true;
};
using CFixes = std::vector<CFix>;

// Characters people type for a sign of the language. One-character forms join the text as
// they are (so "１２" stays one number); longer ones are tokens of their own.
struct CCharRule {
    const char* from;
    const char* to;
};
constexpr CCharRule kCharRules[] = {
    {"（", "("}, {"）", ")"}, {"＋", "+"}, {"－", "-"}, {"−", "-"},  {"×", "*"},  {"＊", "*"},
    {"·", "*"},  {"÷", "/"},  {"／", "/"}, {"＾", "^"}, {"．", "."}, {"０", "0"}, {"１", "1"},
    {"２", "2"}, {"３", "3"}, {"４", "4"}, {"５", "5"}, {"６", "6"}, {"７", "7"}, {"８", "8"},
    {"９", "9"}, {"ｘ", "x"}, {"　", " "}, {"²", "^2"}, {"³", "^3"}, {"π", kPi},  {"｜", "|"},
};

// Names in the order they are tried at one place: the longest first.
constexpr const char* kNames[] = {"sqrt", "exp", "abs", "sin", "cos", "tan", "cot",
                                  "ctg",  "sec", "csc", "tg",  "ln",  "pi",  "e"};

std::string Quoted(const std::string& s) {
    return "“" + s + "”";
}

bool IsDigit(char c) {
    return (c >= '0' && c <= '9') || c == '.';
}
char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The text as code points, each with its character index.
struct CCh {
    std::string c;
    std::size_t pos;
};

std::vector<CCh> Decode(const std::string& s) {
    std::vector<CCh> out;
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t n = b < 0x80         ? 1
                        : (b >> 5) == 6  ? 2
                        : (b >> 4) == 14 ? 3
                        : (b >> 3) == 30 ? 4
                                         : 1;
        n = std::min(n, s.size() - i);
        out.push_back({s.substr(i, n), out.size()});
        i += n;
    }
    return out;
}

void LexAscii(const std::vector<CCh>& chs, CToks& t, CFixes& fixes) {
    for (std::size_t i = 0; i < chs.size();) {
        const std::string& c = chs[i].c;
        const std::size_t pos = chs[i].pos;
        const char a = c.size() == 1 ? c[0] : '\0';
        if (a && IsDigit(a)) {
            std::string num;
            while (i < chs.size() && chs[i].c.size() == 1 && IsDigit(chs[i].c[0]))
                num += chs[i++].c;
            t.push_back({EKind::Num, num, pos});
            continue;
        }
        if (a == 'x' || a == 'X' || a == ':') {
            t.push_back({EKind::X, c, pos});
            ++i;
            continue;
        }
        if ((a >= 'a' && a <= 'z') || (a >= 'A' && a <= 'Z')) {
            bool bFound = false;
            for (const char* name : kNames) {
                const std::size_t n = std::char_traits<char>::length(name);
                if (i + n > chs.size()) continue;
                std::string typed;
                bool bSame = true;
                for (std::size_t j = 0; j < n && bSame; ++j) {
                    bSame = chs[i + j].c.size() == 1 && Lower(chs[i + j].c[0]) == name[j];
                    typed += chs[i + j].c;
                }
                if (!bSame) continue;
                t.push_back({EKind::Fun, typed, pos, name});
                i += n;
                bFound = true;
                break;
            }
            if (bFound) continue;
        }
        EKind k = EKind::Bad;
        switch (a) {
        case ';': // the internal spelling of e, accepted when typed
            t.push_back({EKind::Fun, c, pos, "e"});
            ++i;
            continue;
        case '+':
        case '-':
        case '*':
        case '/':
        case '^':
            k = EKind::Op;
            break;
        case '(':
            k = EKind::LP;
            break;
        case ')':
            k = EKind::RP;
            break;
        case '|':
            k = EKind::Bar;
            break;
        case ' ':
        case '\t':
            k = EKind::Space;
            break;
        default:
            break;
        }
        if (k == EKind::Bad)
            fixes.push_back(
                {pos, a == '_' ? "字符“_”不能用在式中" : "字符" + Quoted(c) + "不是式中可用的字符",
                 false});
        t.push_back({k, c, pos});
        ++i;
    }
}

CToks Lex(const std::string& utf8, CFixes& fixes) {
    CToks t;
    std::vector<CCh> run; // ASCII and one-character replacements, lexed together
    for (const CCh& ch : Decode(utf8)) {
        const CCharRule* rule = nullptr;
        for (const auto& r : kCharRules)
            if (ch.c == r.from) rule = &r;
        if (!rule) {
            run.push_back(ch);
            continue;
        }
        fixes.push_back({ch.pos, "字符" + Quoted(ch.c) + "应写作" + Quoted(rule->to)});
        if (std::char_traits<char>::length(rule->to) == 1) {
            run.push_back({rule->to, ch.pos});
            continue;
        }
        LexAscii(run, t, fixes);
        run.clear();
        std::vector<CCh> own;
        for (const char* p = rule->to; *p; ++p)
            own.push_back({std::string(1, *p), ch.pos});
        LexAscii(own, t, fixes);
    }
    LexAscii(run, t, fixes);
    return t;
}

// --- Reading the token list -------------------------------------------------------------------

bool Is(const CToks& t, std::size_t i, EKind k) {
    return i < t.size() && t[i].k == k;
}
bool IsOp(const CToks& t, std::size_t i, const char* ops) {
    return Is(t, i, EKind::Op) && std::string(ops).find(t[i].s) != std::string::npos;
}
bool IsOperandStart(const CToks& t, std::size_t i) {
    return Is(t, i, EKind::Num) || Is(t, i, EKind::X) || Is(t, i, EKind::LP) ||
           Is(t, i, EKind::Fun);
}
bool IsSimple(const CToks& t, std::size_t i) {
    return Is(t, i, EKind::Num) || Is(t, i, EKind::X);
}

// Where the primary that starts at i ends: a number, x, a group, or a function applied to one.
std::size_t EndOfPrimary(const CToks& t, std::size_t i) {
    if (i >= t.size()) return i;
    if (t[i].k == EKind::LP) {
        int depth = 0;
        for (std::size_t j = i; j < t.size(); ++j) {
            if (t[j].k == EKind::LP) ++depth;
            if (t[j].k == EKind::RP && --depth == 0) return j + 1;
        }
        return t.size();
    }
    if (t[i].k == EKind::Fun) return IsOperandStart(t, i + 1) ? EndOfPrimary(t, i + 1) : i + 1;
    return i + 1;
}

std::size_t EndOfPowers(const CToks& t, std::size_t i) {
    std::size_t j = EndOfPrimary(t, i);
    while (IsOp(t, j, "^") && IsOperandStart(t, j + 1))
        j = EndOfPrimary(t, j + 1);
    return j;
}

// A product written without signs ("2x", "2x^2", "2(x+1)"), up to the next function.
std::size_t EndOfTerm(const CToks& t, std::size_t i) {
    std::size_t j = EndOfPowers(t, i);
    while (Is(t, j, EKind::Num) || Is(t, j, EKind::X) || Is(t, j, EKind::LP))
        j = EndOfPowers(t, j);
    return j;
}

// A group around one number or x.
bool IsSimpleGroup(const CToks& t, std::size_t i, std::size_t end) {
    return end == i + 3 && Is(t, i, EKind::LP) && IsSimple(t, i + 1) && Is(t, i + 2, EKind::RP);
}

CTok Make(EKind k, const char* s, std::size_t pos) {
    return {k, s, pos};
}

void Wrap(CToks& t, std::size_t i, std::size_t end) {
    const std::size_t posEnd = end < t.size() ? t[end].pos : t[end - 1].pos;
    t.insert(t.begin() + static_cast<std::ptrdiff_t>(end), Make(EKind::RP, ")", posEnd));
    t.insert(t.begin() + static_cast<std::ptrdiff_t>(i), Make(EKind::LP, "(", t[i].pos));
}

// --- The rewrite rules, in the order they apply -----------------------------------------------

void RulePiWord(CToks& t, CFixes& fixes) {
    for (CTok& k : t)
        if (k.k == EKind::Fun && k.name == "pi") {
            fixes.push_back(
                {k.pos, "字符起的" + Quoted(k.s) + "不是数值，π写作 " + std::string(kPi)});
            k = {EKind::Num, kPi, k.pos};
        }
}

void RuleParentheses(CToks& t, CFixes& fixes) {
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i].k == EKind::LP) {
            open.push_back(i);
        } else if (t[i].k == EKind::RP) {
            if (open.empty()) {
                fixes.push_back({t[i].pos, "字符“)”是多余的右括号"});
                t.erase(t.begin() + static_cast<std::ptrdiff_t>(i--));
                continue;
            }
            if (open.back() + 1 == i)
                fixes.push_back({t[i - 1].pos, "字符起的括号里是空的", false});
            open.pop_back();
        }
    }
    if (open.empty()) return;
    fixes.push_back({t[open.front()].pos, "字符“(”缺少配对的右括号"});
    for (std::size_t n = open.size(); n > 0; --n)
        t.push_back(Make(EKind::RP, ")", t.back().pos));
}

// "sin x" is sinx; "sin 2x" and "cos x^2" mean the function of the whole product or power.
void RuleSpaceAfterFunction(CToks& t, CFixes& fixes) {
    for (std::size_t i = 0; i + 1 < t.size(); ++i) {
        if (t[i].k != EKind::Fun || t[i + 1].k != EKind::Space) continue;
        const std::size_t space = t[i + 1].pos;
        std::size_t k = i + 1;
        while (Is(t, k, EKind::Space))
            ++k;
        t.erase(t.begin() + static_cast<std::ptrdiff_t>(i + 1),
                t.begin() + static_cast<std::ptrdiff_t>(k));
        if (!IsOperandStart(t, i + 1) || Is(t, i + 1, EKind::Fun) ||
            EndOfTerm(t, i + 1) == EndOfPrimary(t, i + 1)) {
            fixes.push_back({space, "字符是空格，式中不能有空格"});
            continue;
        }
        fixes.push_back(
            {space, "字符起，函数" + Quoted(t[i].s) + "的运算对象是乘积或乘方，须加括号"});
        Wrap(t, i + 1, EndOfTerm(t, i + 1));
    }
}

void RuleSpaces(CToks& t, CFixes& fixes) {
    for (std::size_t i = 0; i < t.size(); ++i)
        if (t[i].k == EKind::Space) {
            fixes.push_back({t[i].pos, "字符是空格，式中不能有空格"});
            t.erase(t.begin() + static_cast<std::ptrdiff_t>(i--));
        }
}

void RuleExponential(CToks& t, CFixes& fixes) {
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i].k != EKind::Fun || (t[i].name != "e" && t[i].name != "exp")) continue;
        if (t[i].name == "exp") {
            fixes.push_back({t[i].pos, "字符起的" + Quoted(t[i].s) + "应写作“e”，如 ex"});
            t[i].s = "e";
            t[i].name = "e";
            if (IsSimpleGroup(t, i + 1, EndOfPrimary(t, i + 1))) {
                t.erase(t.begin() + static_cast<std::ptrdiff_t>(i + 3));
                t.erase(t.begin() + static_cast<std::ptrdiff_t>(i + 1));
            }
        } else if (IsOp(t, i + 1, "^") && IsOperandStart(t, i + 2)) {
            fixes.push_back({t[i + 1].pos, "字符“^”不用写：指数函数是 e 后接运算对象，如 ex"});
            t.erase(t.begin() + static_cast<std::ptrdiff_t>(i + 1));
        }
        if (!IsOperandStart(t, i + 1)) {
            fixes.push_back({t[i].pos, "字符“e”是指数函数，常数e写作 " + std::string(kE)});
            t[i] = {EKind::Num, kE, t[i].pos};
        }
    }
}

void RuleSquareRoot(CToks& t, CFixes& fixes) {
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i].k != EKind::Fun || t[i].name != "sqrt") continue;
        if (!IsOperandStart(t, i + 1)) {
            fixes.push_back({t[i].pos, "字符起的“sqrt”后缺少运算对象", false});
            continue;
        }
        fixes.push_back({t[i].pos, "字符起的" + Quoted(t[i].s) + "不是式中的函数，开方写作 ^0.5"});
        const bool bWrap = i > 0 && (IsOp(t, i - 1, "^") || t[i - 1].k == EKind::Fun);
        const std::size_t pos = t[i].pos;
        t.erase(t.begin() + static_cast<std::ptrdiff_t>(i));
        std::size_t end = EndOfPrimary(t, i);
        if (IsSimpleGroup(t, i, end)) {
            t.erase(t.begin() + static_cast<std::ptrdiff_t>(i + 2));
            t.erase(t.begin() + static_cast<std::ptrdiff_t>(i));
            end = i + 1;
        }
        const auto at = t.begin() + static_cast<std::ptrdiff_t>(end);
        t.insert(at, {Make(EKind::Op, "^", pos), Make(EKind::Num, "0.5", pos)});
        if (bWrap) Wrap(t, i, end + 2);
    }
}

// |a| and abs(a) are (a^2)^0.5.
void RuleAbsolute(CToks& t, CFixes& fixes) {
    auto square = [&](std::size_t from, std::size_t to, std::size_t pos) {
        // [from, to) is the operand, a group or one number or x; it becomes (a^2)^0.5.
        if (IsSimpleGroup(t, from, to)) {
            t.erase(t.begin() + static_cast<std::ptrdiff_t>(from + 2));
            t.erase(t.begin() + static_cast<std::ptrdiff_t>(from));
            to = from + 1;
        }
        t.insert(t.begin() + static_cast<std::ptrdiff_t>(to),
                 {Make(EKind::Op, "^", pos), Make(EKind::Num, "2", pos), Make(EKind::RP, ")", pos),
                  Make(EKind::Op, "^", pos), Make(EKind::Num, "0.5", pos)});
        t.insert(t.begin() + static_cast<std::ptrdiff_t>(from), Make(EKind::LP, "(", pos));
    };
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i].k == EKind::Fun && t[i].name == "abs" && IsOperandStart(t, i + 1)) {
            fixes.push_back(
                {t[i].pos, "字符起的" + Quoted(t[i].s) + "不是式中的函数，|a| 写作 (a^2)^0.5"});
            const std::size_t pos = t[i].pos;
            t.erase(t.begin() + static_cast<std::ptrdiff_t>(i));
            square(i, EndOfPrimary(t, i), pos);
        }
    }
    // A bar opens where an operand may begin and closes after one.
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i].k != EKind::Bar) continue;
        const bool bOpens = i == 0 || t[i - 1].k == EKind::Op || t[i - 1].k == EKind::LP ||
                            t[i - 1].k == EKind::Fun;
        std::size_t j = i + 1;
        while (j < t.size() && t[j].k != EKind::Bar)
            ++j;
        if (!bOpens || j == t.size() || j == i + 1) {
            fixes.push_back({t[i].pos, "字符“|”：式中没有绝对值符号，|a| 写作 (a^2)^0.5", false});
            continue;
        }
        fixes.push_back({t[i].pos, "字符“|”：式中没有绝对值符号，|a| 写作 (a^2)^0.5"});
        const std::size_t pos = t[i].pos;
        t[i] = Make(EKind::LP, "(", pos);
        t[j] = Make(EKind::RP, ")", t[j].pos);
        square(i, j + 1, pos);
    }
}

// "2*-x" is 2*(-x): an operand after an operator carries no sign of its own.
void RuleSignedOperand(CToks& t, CFixes& fixes) {
    for (std::size_t i = 0; i + 2 < t.size(); ++i) {
        if (!IsOp(t, i, "*/^") || !IsOp(t, i + 1, "+-") || !IsOperandStart(t, i + 2)) continue;
        fixes.push_back(
            {t[i + 1].pos, "字符" + Quoted(t[i + 1].s) + "：运算符后带符号的运算对象须加括号"});
        Wrap(t, i + 1, EndOfPowers(t, i + 2));
    }
}

// "sincosx" is sin(cosx).
void RuleFunctionOfFunction(CToks& t, CFixes& fixes) {
    for (std::size_t i = 0; i + 1 < t.size(); ++i) {
        if (t[i].k != EKind::Fun || t[i + 1].k != EKind::Fun) continue;
        fixes.push_back({t[i + 1].pos, "字符起，函数作用于函数须加括号"});
        Wrap(t, i + 1, EndOfPrimary(t, i + 1));
    }
}

// "sin2x" is sin(2*x), never sin2*x, which the language reads as (sin 2)·x.
void RuleFunctionOfProduct(CToks& t, CFixes& fixes) {
    for (std::size_t i = 0; i + 2 < t.size(); ++i) {
        if (t[i].k != EKind::Fun || !IsSimple(t, i + 1)) continue;
        const std::size_t end = EndOfTerm(t, i + 1);
        if (end == EndOfPowers(t, i + 1)) continue;
        fixes.push_back(
            {t[i + 1].pos, "字符起，函数" + Quoted(t[i].s) + "的运算对象是乘积，须加括号"});
        Wrap(t, i + 1, end);
    }
}

void RuleMissingProduct(CToks& t, CFixes& fixes) {
    for (std::size_t i = 0; i + 1 < t.size(); ++i) {
        const EKind a = t[i].k;
        if ((a == EKind::Num || a == EKind::X || a == EKind::RP) && IsOperandStart(t, i + 1)) {
            fixes.push_back({t[i + 1].pos, "字符前缺少乘号"});
            t.insert(t.begin() + static_cast<std::ptrdiff_t>(i + 1),
                     Make(EKind::Op, "*", t[i + 1].pos));
        }
    }
}

struct CHintRule {
    const char* name;
    void (*apply)(CToks&, CFixes&);
};
constexpr CHintRule kHintRules[] = {
    {"pi", RulePiWord},
    {"parentheses", RuleParentheses},
    {"space after a function", RuleSpaceAfterFunction},
    {"spaces", RuleSpaces},
    {"exponential", RuleExponential},
    {"square root", RuleSquareRoot},
    {"absolute value", RuleAbsolute},
    {"signed operand", RuleSignedOperand},
    {"function of a function", RuleFunctionOfFunction},
    {"function of a product", RuleFunctionOfProduct},
    {"missing product", RuleMissingProduct},
};

// What is wrong with a text that needs none of the rewrites above and still does not compile.
CInputHint Diagnose(const CToks& t) {
    int nOps = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const CTok& k = t[i];
        if (k.k == EKind::Num) {
            const auto points = std::count(k.s.begin(), k.s.end(), '.');
            if (points > 1 || k.s.back() == '.')
                return {k.pos, "字符起的数" + Quoted(k.s) + "写法不对", {}};
        }
        if (k.k == EKind::Fun && !IsOperandStart(t, i + 1))
            return {k.pos, "字符起的函数" + Quoted(k.s) + "后缺少运算对象", {}};
        if (k.k == EKind::Op) {
            const bool bLeading = (i == 0 || t[i - 1].k == EKind::LP) && (k.s == "-" || k.s == "+");
            if (!bLeading && (i == 0 || t[i - 1].k == EKind::Op || t[i - 1].k == EKind::LP))
                return {k.pos, "字符" + Quoted(k.s) + "前缺少运算对象", {}};
            if (!IsOperandStart(t, i + 1))
                return {k.pos, "字符" + Quoted(k.s) + "后缺少运算对象", {}};
        }
        if (k.k == EKind::Op || k.k == EKind::Fun) ++nOps;
    }
    if (nOps > kMaxOperations)
        return {
            {}, "式中的运算（函数也算）超过" + std::to_string(kMaxOperations) + "个，请化简", {}};
    return {{}, "式子的写法不对，请对照说明书检查", {}};
}

std::optional<CInputHint> FindHint(const std::string& utf8);

} // namespace

std::optional<CInputHint> InputHintFor(const std::string& utf8) {
    std::optional<CInputHint> hint = FindHint(utf8);
    if (hint && hint->nPos)
        hint->strProblem = "第" + std::to_string(*hint->nPos + 1) + "个" + hint->strProblem;
    return hint;
}

namespace {

std::optional<CInputHint> FindHint(const std::string& utf8) {
    if (utf8.empty() || CheckFunText(utf8).status == EFunCheck::Ok) return std::nullopt;
    if (utf8.size() > kMaxFunText)
        return CInputHint{{}, "式子超过" + std::to_string(kMaxFunText) + "个字节", {}};

    CFixes fixes;
    CToks t = Lex(utf8, fixes);
    for (const auto& rule : kHintRules)
        rule.apply(t, fixes);
    std::string rewrite;
    for (const CTok& k : t)
        rewrite += k.s;

    if (fixes.empty()) return Diagnose(t);
    const auto first = std::min_element(fixes.begin(), fixes.end(),
                                        [](const CFix& a, const CFix& b) { return a.pos < b.pos; });
    CInputHint hint{first->pos, first->msg, {}};
    const bool bRewrite =
        std::all_of(fixes.begin(), fixes.end(), [](const CFix& f) { return f.bRewrite; });
    if (bRewrite && CheckFunText(rewrite).status == EFunCheck::Ok) {
        hint.strRewrite = rewrite;
    } else if (bRewrite) {
        // The slips are mended and something else is still wrong: name that instead when it
        // comes first, or has no one place.
        CInputHint other = Diagnose(t);
        if (!other.nPos || *other.nPos <= *hint.nPos) return other;
    }
    return hint;
}

} // namespace

std::string InputHintLine(const CInputHint& hint) {
    std::string line = "提示：" + hint.strProblem;
    if (!hint.strRewrite.empty()) line += "，可写成 " + hint.strRewrite;
    return line;
}
