#include "expr/DataAnalyzeFun.h"

COperand CNodeList::Resolve(const std::string& text, double value) const {
    COperand o;
    if (!text.empty() && text[0] == ':') {
        o.kind = EOperandKind::X;
    } else if (!text.empty() && text[0] == '_') {
        o.kind = EOperandKind::Bad;
        if (text.size() >= 2) {
            if (const std::uint32_t newest = m_newest[static_cast<unsigned char>(text[1])]) {
                o.kind = EOperandKind::Ref;
                o.ref = newest - 1;
            }
        }
    } else {
        o.kind = EOperandKind::Number;
        o.value = value;
    }
    return o;
}

const std::vector<CDataAnalyzeFun>& CNodeList::Nodes() const {
    for (std::size_t i = 0; i < m_arNodes.size(); ++i) m_arNodes[i].m_dResult = Result(i);
    return m_arNodes;
}

std::uint32_t CNodeList::Register(const COperand& o) {
    switch (o.kind) {
    case EOperandKind::X:
        return 0;
    case EOperandKind::Ref:
        return m_steps2[o.ref].out;
    case EOperandKind::Number:
        m_regs.push_back(o.value);
        return static_cast<std::uint32_t>(m_regs.size() - 1);
    default:
        return 0;
    }
}

void CNodeList::Append(CDataAnalyzeFun node) {
    CStep s;
    s.op = node.m_chOp;
    s.left = Resolve(node.m_strLeft, node.m_dLeft);
    if (!op::IsUnary(s.op)) s.right = Resolve(node.m_strRight, node.m_dRight);

    // A node's scratch slot is the slot of its name: a later reference to that name always
    // designates the newest non-copy node carrying it, which is the last one to write the slot.
    CBatchStep b;
    b.step = s;
    auto slotOf = [&](const COperand& o) {
        return o.kind == EOperandKind::Ref ? m_batch[o.ref].outSlot : -1;
    };
    b.leftSlot = slotOf(s.left);
    b.rightSlot = op::IsUnary(s.op) ? -1 : slotOf(s.right);
    if (s.op == op::Copy) {
        b.outSlot = 0;
    } else {
        auto& slot = m_nameSlot[static_cast<unsigned char>(node.m_chName)];
        if (slot == 0) slot = static_cast<std::int32_t>(m_nSlots++) + 1;
        b.outSlot = slot - 1;
    }
    const bool binary = !op::IsUnary(s.op);
    if (s.op == '/' || s.op == '^' || s.left.kind == EOperandKind::Bad ||
        (binary && s.right.kind == EOperandKind::Bad))
        m_bCanFail = true;

    CRegStep r;
    r.op = s.op;
    r.left = Register(s.left);
    if (binary) r.right = Register(s.right);
    if (s.left.kind == EOperandKind::Bad || (binary && s.right.kind == EOperandKind::Bad))
        r.op = kFailOp;
    r.handler = HandlerOf(r.op);
    if (!m_steps2.empty()) {
        const std::uint32_t prev = m_steps2.back().out;
        r.leftIsPrev = s.left.kind == EOperandKind::Ref && r.left == prev;
        r.rightIsPrev = binary && s.right.kind == EOperandKind::Ref && r.right == prev;
    }
    m_regs.push_back(node.m_dResult); // 'E' and unknown codes keep this value for good
    r.out = static_cast<std::uint32_t>(m_regs.size() - 1);
    m_steps2.push_back(r);

    if (s.op != op::Copy)
        m_newest[static_cast<unsigned char>(node.m_chName)] =
            static_cast<std::uint32_t>(m_arNodes.size()) + 1;
    m_arNodes.push_back(std::move(node));
    m_steps.push_back(s);
    m_batch.push_back(b);
}
