#include "expr/DataAnalyzeFun.h"

#include "expr/Program.h"

#include <atomic>
#include <utility>

CNodeList::CNodeList() : m_nStamp(NewStamp()) {}
CNodeList::~CNodeList() = default;
CNodeList::CNodeList(CNodeList&&) noexcept = default;
CNodeList& CNodeList::operator=(CNodeList&&) noexcept = default;

CProgram& CNodeList::Program() {
    if (!m_pProgram) m_pProgram = CProgram::Build(m_arNodes);
    return *m_pProgram;
}

double CNodeList::Result(std::size_t i) {
    if (!m_pProgram) return m_arNodes[i].m_dResult;
    if (m_pProgram->history.bDirty) m_pProgram->Settle();
    return m_pProgram->regs[m_pProgram->regSteps[i].out];
}

const std::vector<CDataAnalyzeFun>& CNodeList::SettledNodes() {
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
        SettledNodes(); // the results of evaluations so far outlive the program
        m_pProgram.reset();
    }
    m_arNodes.push_back(std::move(node));
}
