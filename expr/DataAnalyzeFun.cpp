#include "expr/DataAnalyzeFun.h"

#include "expr/Ops.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <unordered_map>

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
            value[i] = {CRef::kConst, nodes[i].m_dResult};
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
    p.pointMode = p.bVecAllFail           ? CProgram::kPointAllFail
                  : !p.pointSteps.empty() ? CProgram::kPointSteps
                  : p.pointResult == 0    ? CProgram::kPointX
                                          : CProgram::kPointConst;
}

} // namespace

std::unique_ptr<CProgram> CProgram::Build(const std::vector<CDataAnalyzeFun>& nodes) {
    auto pp = std::make_unique<CProgram>();
    CProgram& p = *pp;
    const auto bld = std::make_unique<CBuilder>();
    p.regs.push_back(0.0);
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const CDataAnalyzeFun& node = nodes[i];
        CStep s;
        s.op = node.m_chOp;
        s.left = bld->Resolve(node.m_strLeft, node.m_dLeft);
        const bool binary = !op::IsUnary(s.op);
        if (binary) s.right = bld->Resolve(node.m_strRight, node.m_dRight);
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
        p.regs.push_back(node.m_dResult); // 'E' and unknown codes keep this value for good
        r.out = static_cast<std::uint32_t>(p.regs.size() - 1);
        p.regSteps.push_back(r);

        if (s.op != op::Copy)
            bld->newest[static_cast<unsigned char>(node.m_chName)] =
                static_cast<std::uint32_t>(i) + 1;
        p.steps.push_back(s);
    }
    BuildVec(p, nodes);
    BuildPoint(p);
    return pp;
}

const CProgram& CNodeList::BuildProgram() const {
    m_pProgram = CProgram::Build(m_arNodes);
    return *m_pProgram;
}

const std::vector<CDataAnalyzeFun>& CNodeList::Nodes() const {
    for (std::size_t i = 0; i < m_arNodes.size(); ++i)
        m_arNodes[i].m_dResult = Result(i);
    return m_arNodes;
}

std::uint64_t CNodeList::NewStamp() {
    static std::atomic<std::uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

void CNodeList::Append(CDataAnalyzeFun node) {
    m_nStamp = NewStamp();
    if (m_pProgram) {
        Nodes(); // the results of evaluations so far outlive the program
        m_pProgram.reset();
    }
    m_arNodes.push_back(std::move(node));
}
