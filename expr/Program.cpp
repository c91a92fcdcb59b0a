#include "expr/Program.h"

#include "expr/Ops.h"
#include "expr/VecMath.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <unordered_map>

using ops::Power;
using ops::PowerFails;

// Threaded dispatch: every handler jumps straight to the next one, which lets the branch
// predictor learn each handler's successor. Labels as values are a GCC/Clang extension.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"
CStepsResult RunRegSteps(const CRegStep* s, const CRegStep* const end, double* reg, double x) {
    static void* const kJump[] = {&&copy, &&sin, &&cos, &&tan, &&keep, &&exp, &&ln,   &&cot, &&sec,
                                  &&csc,  &&add, &&sub, &&mul, &&div,  &&pow, &&keep, &&fail};
    static_assert(sizeof kJump / sizeof kJump[0] == kHFail + 1);
    const CRegStep* const begin = s;
    const vmath::CFns& fns = vmath::Fns();
    reg[0] = x;
    {
        double acc = 0.0; // the previous step's result
#define CURVIST_L (s->leftIsPrev ? acc : reg[s->left])
#define CURVIST_R (s->rightIsPrev ? acc : reg[s->right])
#define CURVIST_PUT(v)                                                                             \
    acc = (v);                                                                                     \
    reg[s->out] = acc
#define CURVIST_NEXT                                                                               \
    if (++s == end) goto done;                                                                     \
    goto* kJump[s->handler]
        goto* kJump[s->handler];
    copy:
        CURVIST_PUT(CURVIST_L);
        CURVIST_NEXT;
    sin:
        CURVIST_PUT(fns.sin(CURVIST_L));
        CURVIST_NEXT;
    cos:
        CURVIST_PUT(fns.cos(CURVIST_L));
        CURVIST_NEXT;
    tan:
        CURVIST_PUT(fns.tan(CURVIST_L));
        CURVIST_NEXT;
    exp:
        CURVIST_PUT(fns.exp(CURVIST_L));
        CURVIST_NEXT;
    ln:
        CURVIST_PUT(fns.log(CURVIST_L));
        CURVIST_NEXT;
    cot:
        CURVIST_PUT(1.0 / fns.tan(CURVIST_L));
        CURVIST_NEXT;
    sec:
        CURVIST_PUT(1.0 / fns.cos(CURVIST_L));
        CURVIST_NEXT;
    csc:
        CURVIST_PUT(1.0 / fns.sin(CURVIST_L));
        CURVIST_NEXT;
    add : {
        const double L = CURVIST_L, R = CURVIST_R;
        CURVIST_PUT(L + R);
        CURVIST_NEXT;
    }
    sub : {
        const double L = CURVIST_L, R = CURVIST_R;
        CURVIST_PUT(L - R);
        CURVIST_NEXT;
    }
    mul : {
        const double L = CURVIST_L, R = CURVIST_R;
        CURVIST_PUT(L * R);
        CURVIST_NEXT;
    }
    div : {
        const double R = CURVIST_R;
        if (R == 0.0 || std::isnan(R)) goto fail;
        CURVIST_PUT(CURVIST_L / R);
        CURVIST_NEXT;
    }
    pow : {
        const double L = CURVIST_L;
        const double r = Power(L, CURVIST_R);
        CURVIST_PUT(r);
        if (PowerFails(L, r)) goto fail;
        CURVIST_NEXT;
    }
    keep: // 'E' and unknown codes: the result stays as it was
        acc = reg[s->out];
        CURVIST_NEXT;
#undef CURVIST_NEXT
#undef CURVIST_PUT
#undef CURVIST_R
#undef CURVIST_L
    done:
        return {acc, CStepsResult::kNone};
    }
fail:
    return {0.0, static_cast<std::size_t>(s - begin)};
}
#pragma GCC diagnostic pop

namespace {

// Lookup tables needed only while a program is derived from its nodes.
struct CBuilder {
    std::uint32_t newest[256] = {}; // per name: 1 + index of the newest non-copy node

    COperand Resolve(const std::string& text, double value) const {
        COperand o;
        if (!text.empty() && text[0] == ':') {
            o.kind = EOperandKind::X;
        } else if (!text.empty() && text[0] == '_') {
            o.kind = EOperandKind::Bad;
            if (text.size() >= 2) {
                if (const std::uint32_t n = newest[static_cast<unsigned char>(text[1])]) {
                    o.kind = EOperandKind::Ref;
                    o.ref = n - 1;
                }
            }
        } else {
            o.kind = EOperandKind::Number;
            o.value = value;
        }
        return o;
    }
};

std::uint32_t Register(CProgram& p, const COperand& o) {
    switch (o.kind) {
    case EOperandKind::X:
        return 0;
    case EOperandKind::Ref:
        return p.regSteps[o.ref].out;
    case EOperandKind::Number:
        p.regs.push_back(o.value);
        return static_cast<std::uint32_t>(p.regs.size() - 1);
    default:
        return 0;
    }
}

} // namespace

namespace {

using CRef = CProgram::COperandRef;

std::uint64_t Bits(const CRef& r) {
    return r.slot == CRef::kConst ? std::bit_cast<std::uint64_t>(r.value) : 0;
}

struct CStepKey {
    char op;
    std::int32_t left, right;
    std::uint64_t leftBits, rightBits;
    friend bool operator==(const CStepKey&, const CStepKey&) = default;
};

struct CStepKeyHash {
    std::size_t operator()(const CStepKey& k) const {
        std::uint64_t h = static_cast<unsigned char>(k.op);
        for (std::uint64_t v : {std::uint64_t(std::uint32_t(k.left)), k.leftBits,
                                std::uint64_t(std::uint32_t(k.right)), k.rightBits})
            h = (h ^ v) * 0x9E3779B97F4A7C15ull + (h >> 29);
        return static_cast<std::size_t>(h);
    }
};

// Derives the batch program from the resolved steps, in node order, stopping at the first
// node that every evaluation reaching it fails on.
void BuildVec(CProgram& p, const std::vector<CDataAnalyzeFun>& nodes) {
    std::vector<CRef> value(nodes.size()); // what each node's result is
    std::vector<CProgram::CVecStep> code;
    std::unordered_map<CStepKey, std::int32_t, CStepKeyHash> seen;
    auto operand = [&](const COperand& o) {
        CRef r;
        if (o.kind == EOperandKind::Number) {
            r.slot = CRef::kConst;
            r.value = o.value;
        } else if (o.kind == EOperandKind::Ref) {
            r = value[o.ref];
        }
        return r;
    };
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const CStep& s = p.steps[i];
        const bool binary = !op::IsUnary(s.op);
        if (s.left.kind == EOperandKind::Bad || (binary && s.right.kind == EOperandKind::Bad)) {
            p.bVecAllFail = true;
            p.vecFailNode = static_cast<std::uint32_t>(i);
            return;
        }
        const CRef L = operand(s.left);
        const CRef R = binary ? operand(s.right) : CRef{CRef::kConst, 0.0};
        if (s.op == op::Copy) {
            value[i] = L;
            continue;
        }
        if (!ops::Computes(s.op)) {
            value[i] = {CRef::kConst, s.keep};
            continue;
        }
        if (L.slot == CRef::kConst && R.slot == CRef::kConst) {
            const double r = ops::Apply(s.op, L.value, R.value);
            if ((s.op == '/' && ops::DivisionFails(R.value)) ||
                (s.op == '^' && ops::PowerFails(L.value, r))) {
                p.bVecAllFail = true;
                p.vecFailNode = static_cast<std::uint32_t>(i);
                return;
            }
            value[i] = {CRef::kConst, r};
            continue;
        }
        // An identical earlier step has the value already, and has flagged its failures.
        const CStepKey key{s.op, L.slot, R.slot, Bits(L), Bits(R)};
        const auto [it, fresh] = seen.try_emplace(key, static_cast<std::int32_t>(code.size()));
        if (fresh) code.push_back({s.op, L, R, it->second, static_cast<std::uint32_t>(i)});
        value[i] = {it->second, 0.0};
    }
    if (nodes.empty()) {
        p.bVecAllFail = true;
        return;
    }
    p.vecResult = value.back();

    // Steps that neither lead to the result nor can fail are left out.
    std::vector<bool> needed(code.size(), false);
    if (p.vecResult.slot >= 0) needed[static_cast<std::size_t>(p.vecResult.slot)] = true;
    for (std::size_t k = code.size(); k-- > 0;) {
        auto& c = code[k];
        if (c.op == '/' || c.op == '^') needed[k] = true;
        if (!needed[k]) continue;
        if (c.left.slot >= 0) needed[static_cast<std::size_t>(c.left.slot)] = true;
        if (c.right.slot >= 0) needed[static_cast<std::size_t>(c.right.slot)] = true;
    }
    // Slots numbered densely in the order of the steps kept.
    std::vector<std::int32_t> renum(code.size(), -1);
    for (std::size_t k = 0; k < code.size(); ++k) {
        if (!needed[k]) continue;
        auto c = code[k];
        auto map = [&](CRef& r) {
            if (r.slot >= 0) r.slot = renum[static_cast<std::size_t>(r.slot)];
        };
        map(c.left);
        map(c.right);
        c.out = renum[k] = static_cast<std::int32_t>(p.vec.size());
        if (c.op == '/' || c.op == '^') p.bCanFail = true;
        p.vec.push_back(c);
    }
    if (p.vecResult.slot >= 0) p.vecResult.slot = renum[static_cast<std::size_t>(p.vecResult.slot)];
    p.vecSlots = p.vec.size();
    const auto failing = std::count_if(p.vec.begin(), p.vec.end(),
                                       [](const auto& c) { return c.op == '/' || c.op == '^'; });
    p.bDivideLast = failing == 1 && !p.vec.empty() && p.vec.back().op == '/' &&
                    p.vec.back().out == p.vecResult.slot;

    // Fusion. A final division that writes the output and its flags itself stays on its own.
    for (std::size_t k = 0; k < p.vec.size(); ++k) {
        auto& c = p.vec[k];
        c.fused = (c.op == '+' || c.op == '-' || c.op == '*' || c.op == '/' ||
                   (c.op == '^' && c.right.slot == CRef::kConst && c.right.value == 2.0)) &&
                  !(p.bDivideLast && k + 1 == p.vec.size());
        if (k > 0 && c.fused && p.vec[k - 1].fused) {
            const std::int32_t prev = p.vec[k - 1].out;
            c.leftIsPrev = c.left.slot == prev;
            c.rightIsPrev = !op::IsUnary(c.op) && c.right.slot == prev;
        }
    }
    // A value must be stored when it is the result or a step other than the next reads it
    // from memory.
    std::vector<bool> read(p.vec.size(), false);
    if (p.vecResult.slot >= 0) read[static_cast<std::size_t>(p.vecResult.slot)] = true;
    for (const auto& c : p.vec) {
        if (c.left.slot >= 0 && !c.leftIsPrev) read[static_cast<std::size_t>(c.left.slot)] = true;
        if (c.right.slot >= 0 && !c.rightIsPrev && !op::IsUnary(c.op))
            read[static_cast<std::size_t>(c.right.slot)] = true;
    }
    for (auto& c : p.vec)
        c.store = read[static_cast<std::size_t>(c.out)];
}

// The derived program as register steps for the per-point evaluator.
void BuildPoint(CProgram& p) {
    p.pointRegs.assign(1, 0.0);
    std::vector<std::uint32_t> slotReg(p.vec.size());
    auto reg = [&](const CRef& r) -> std::uint32_t {
        if (r.slot == CRef::kX) return 0;
        if (r.slot >= 0) return slotReg[static_cast<std::size_t>(r.slot)];
        p.pointRegs.push_back(r.value);
        return static_cast<std::uint32_t>(p.pointRegs.size() - 1);
    };
    for (const auto& c : p.vec) {
        CRegStep r;
        r.op = c.op;
        r.handler = HandlerOf(c.op);
        r.left = reg(c.left);
        if (!op::IsUnary(c.op)) r.right = reg(c.right);
        if (!p.pointSteps.empty()) {
            const std::uint32_t prev = p.pointSteps.back().out;
            r.leftIsPrev = c.left.slot >= 0 && r.left == prev;
            r.rightIsPrev = !op::IsUnary(c.op) && c.right.slot >= 0 && r.right == prev;
        }
        p.pointRegs.push_back(0.0);
        r.out = slotReg[static_cast<std::size_t>(c.out)] =
            static_cast<std::uint32_t>(p.pointRegs.size() - 1);
        p.pointSteps.push_back(r);
        p.pointNode.push_back(c.node);
    }
    p.pointResult = reg(p.vecResult);
    p.bPointResultIsLast = !p.pointSteps.empty() && p.pointSteps.back().out == p.pointResult;
    p.pointConst = p.pointRegs[p.pointResult];
    for (std::size_t i = 0; i < p.pointSteps.size(); ++i)
        if (p.pointSteps[i].op == '/' || p.pointSteps[i].op == '^')
            p.lastFailNode = std::max(p.lastFailNode, p.pointNode[i]);
    if (p.bVecAllFail) p.lastFailNode = std::max(p.lastFailNode, p.vecFailNode);
    p.pointMode = p.bVecAllFail           ? CProgram::kPointAllFail
                  : !p.pointSteps.empty() ? CProgram::kPointSteps
                  : p.pointResult == 0    ? CProgram::kPointX
                                          : CProgram::kPointConst;
}

} // namespace

std::vector<CStep> ResolveSteps(const std::vector<CDataAnalyzeFun>& nodes) {
    std::vector<CStep> steps;
    steps.reserve(nodes.size());
    const auto bld = std::make_unique<CBuilder>();
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const CDataAnalyzeFun& node = nodes[i];
        CStep s;
        s.op = node.m_chOp;
        s.left = bld->Resolve(node.m_strLeft, node.m_dLeft);
        if (!op::IsUnary(s.op)) s.right = bld->Resolve(node.m_strRight, node.m_dRight);
        s.keep = node.m_dResult;
        if (s.op != op::Copy)
            bld->newest[static_cast<unsigned char>(node.m_chName)] =
                static_cast<std::uint32_t>(i) + 1;
        steps.push_back(s);
    }
    return steps;
}

std::unique_ptr<CProgram> CProgram::Build(const std::vector<CDataAnalyzeFun>& nodes) {
    auto pp = std::make_unique<CProgram>();
    CProgram& p = *pp;
    p.steps = ResolveSteps(nodes);
    p.regs.push_back(0.0);
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const CStep& s = p.steps[i];
        const bool binary = !op::IsUnary(s.op);
        const bool bad =
            s.left.kind == EOperandKind::Bad || (binary && s.right.kind == EOperandKind::Bad);

        CRegStep r;
        r.op = s.op;
        r.left = Register(p, s.left);
        if (binary) r.right = Register(p, s.right);
        r.handler = bad ? std::uint8_t{kHFail} : HandlerOf(s.op);
        if (!p.regSteps.empty()) {
            const std::uint32_t prev = p.regSteps.back().out;
            r.leftIsPrev = s.left.kind == EOperandKind::Ref && r.left == prev;
            r.rightIsPrev = binary && s.right.kind == EOperandKind::Ref && r.right == prev;
        }
        p.regs.push_back(s.keep); // 'E' and unknown codes keep this value for good
        r.out = static_cast<std::uint32_t>(p.regs.size() - 1);
        p.regSteps.push_back(r);
    }
    BuildVec(p, nodes);
    BuildPoint(p);
    return pp;
}

namespace {

// RunRegSteps for the replay: the registers are what counts, not the value.
void Replay(const std::vector<CRegStep>& steps, std::vector<double>& regs, double x) {
    RunRegSteps(steps.data(), steps.data() + steps.size(), regs.data(), x);
}

template <class T> void EraseRange(std::vector<T>& v, std::size_t from, std::size_t to) {
    v.erase(v.begin() + static_cast<std::ptrdiff_t>(from),
            v.begin() + static_cast<std::ptrdiff_t>(to));
}

} // namespace

void CProgram::Settle() {
    history.bDirty = false;
    if (history.bComplete) Replay(regSteps, regs, history.xComplete);
    for (const auto& [x, node] : history.fails)
        Replay(regSteps, regs, x);
}

std::uint32_t CProgram::FailNodeAt(double x) {
    if (!pointSteps.empty()) {
        const CStepsResult r = RunRegSteps(pointSteps.data(), pointSteps.data() + pointSteps.size(),
                                           pointRegs.data(), x);
        if (r.failAt != CStepsResult::kNone) return pointNode[r.failAt];
    }
    return vecFailNode;
}

void CProgram::NoteBatch(const double* xs, const bool* errs, std::size_t n) {
    if (n == 0) return;
    std::size_t j = n; // one past the last x that did not fail
    while (j > 0 && errs[j - 1])
        --j;
    if (j > 0) NoteComplete(xs[j - 1]);
    CHistory& h = history;
    h.failPos.assign(h.fails.size(), -1);
    // The failures after it, from the last back: one shows in the results when no later one
    // reaches its node. Once one reaches the last node that can fail, none before it shows.
    const std::size_t pre = h.fails.size();
    std::int64_t reach = -1;
    for (std::size_t i = n; i-- > j && reach < static_cast<std::int64_t>(lastFailNode);) {
        const std::uint32_t node = FailNodeAt(xs[i]);
        if (static_cast<std::int64_t>(node) > reach) {
            reach = node;
            h.fails.emplace_back(xs[i], node);
            h.failPos.push_back(2 * static_cast<std::int64_t>(i));
        }
    }
    if (reach >= 0) {
        std::reverse(h.fails.begin() + static_cast<std::ptrdiff_t>(pre), h.fails.end());
        std::reverse(h.failPos.begin() + static_cast<std::ptrdiff_t>(pre), h.failPos.end());
        std::size_t keep = pre;
        while (keep > 0 && static_cast<std::int64_t>(h.fails[keep - 1].second) <= reach)
            --keep;
        EraseRange(h.fails, keep, pre);
        EraseRange(h.failPos, keep, pre);
        h.bFails = true;
        h.bDirty = true;
    }
    h.completePos = j > 0 ? 2 * static_cast<std::int64_t>(j - 1) : -1;
    h.bBatch = true;
}

void CProgram::NoteSampleAfter(std::size_t k, double x, bool failed, std::uint32_t node) {
    CHistory& h = history;
    if (!h.bBatch) {
        if (failed)
            NoteFailure(x, node);
        else
            NoteComplete(x);
        return;
    }
    const std::int64_t pos = 2 * static_cast<std::int64_t>(k) + 1;
    if (pos < h.completePos) return; // a later complete call decides every result
    std::size_t mid = 0;             // the calls before this one: [0, mid)
    while (mid < h.fails.size() && h.failPos[mid] < pos)
        ++mid;
    if (!failed) {
        h.xComplete = x;
        h.bComplete = true;
        h.completePos = pos;
        EraseRange(h.fails, 0, mid);
        EraseRange(h.failPos, 0, mid);
    } else {
        std::size_t keep = mid;
        while (keep > 0 && h.fails[keep - 1].second <= node)
            --keep;
        EraseRange(h.fails, keep, mid);
        EraseRange(h.failPos, keep, mid);
        if (keep == h.fails.size() || h.fails[keep].second < node) {
            h.fails.insert(h.fails.begin() + static_cast<std::ptrdiff_t>(keep), {x, node});
            h.failPos.insert(h.failPos.begin() + static_cast<std::ptrdiff_t>(keep), pos);
        }
    }
    h.bFails = !h.fails.empty();
    h.bDirty = true;
}

namespace {

CProgramSig::CStepSig SigOf(const CStep& s) {
    CProgramSig::CStepSig g;
    g.op = s.op;
    g.leftKind = s.left.kind;
    g.rightKind = s.right.kind;
    g.leftRef = s.left.ref;
    g.rightRef = s.right.ref;
    g.left = std::bit_cast<std::uint64_t>(s.left.value);
    g.right = std::bit_cast<std::uint64_t>(s.right.value);
    g.keep = ops::Computes(s.op) ? 0 : std::bit_cast<std::uint64_t>(s.keep);
    return g;
}

// The list's steps: the built program's, else resolved now.
template <class Fn> void EachStep(const CNodeList& nodes, Fn fn) {
    if (const CProgram* p = nodes.BuiltProgram()) {
        for (const CStep& s : p->steps)
            if (!fn(s)) return;
        return;
    }
    for (const CStep& s : ResolveSteps(nodes.Nodes()))
        if (!fn(s)) return;
}

} // namespace

void TakeProgram(const CNodeList& nodes, CProgramSig& out) {
    out.steps.clear();
    EachStep(nodes, [&](const CStep& s) {
        out.steps.push_back(SigOf(s));
        return true;
    });
}

bool SameProgram(const CNodeList& nodes, const CProgramSig& sig) {
    if (nodes.size() != sig.steps.size()) return false;
    std::size_t i = 0;
    bool same = true;
    EachStep(nodes, [&](const CStep& s) {
        same = SigOf(s) == sig.steps[i++];
        return same;
    });
    return same;
}
