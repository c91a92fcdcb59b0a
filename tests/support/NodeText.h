#pragma once
// Renders a node list one node a line, "NAME OP LEFT [RIGHT]", as curvist-plot --nodes does.

#include "expr/DataAnalyzeFun.h"

#include <string>

inline std::string NodeText(const CNodeList& list) {
    std::string out;
    for (const auto& n : list.Nodes()) {
        if (!out.empty()) out += '\n';
        out += n.m_chOp == op::Copy ? '-' : n.m_chName;
        out += ' ';
        out += n.m_chOp;
        out += ' ' + n.m_strLeft;
        if (!op::IsUnary(n.m_chOp)) out += ' ' + n.m_strRight;
    }
    return out;
}

inline CDataAnalyzeFun MakeNode(char name, char op, std::string left, double dLeft = 0.0,
                                std::string right = "", double dRight = 0.0) {
    CDataAnalyzeFun n;
    n.m_chName = name;
    n.m_chOp = op;
    n.m_strLeft = std::move(left);
    n.m_dLeft = dLeft;
    n.m_strRight = std::move(right);
    n.m_dRight = dRight;
    return n;
}
