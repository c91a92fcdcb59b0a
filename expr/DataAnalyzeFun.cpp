#include "expr/DataAnalyzeFun.h"

#include <atomic>

namespace {

// Lookup tables needed only while a program is derived from its nodes.
struct CBuilder {
    std::int32_t nameSlot[256] = {}; // 0: no slot yet; else slot index + 1
    std::uint32_t newest[256] = {};  // per name: 1 + index of the newest non-copy node

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

        // A node's scratch slot is the slot of its name: a later reference to that name always
        // designates the newest non-copy node carrying it, which is the last one to write it.
        CBatchStep b;
        b.step = s;
        auto slotOf = [&](const COperand& o) {
            return o.kind == EOperandKind::Ref ? p.batch[o.ref].outSlot : -1;
        };
        b.leftSlot = slotOf(s.left);
        b.rightSlot = binary ? slotOf(s.right) : -1;
        if (s.op == op::Copy) {
            b.outSlot = 0;
        } else {
            auto& slot = bld->nameSlot[static_cast<unsigned char>(node.m_chName)];
            if (slot == 0) slot = static_cast<std::int32_t>(p.nSlots++) + 1;
            b.outSlot = slot - 1;
        }
        if (s.op == '/' || s.op == '^' || bad) p.bCanFail = true;

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
        p.batch.push_back(b);
    }
    return pp;
}

const CProgram& CNodeList::Program() const {
    if (!m_pProgram) m_pProgram = CProgram::Build(m_arNodes);
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
