#pragma once
// One step of a compiled expression and the list that owns the steps.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A node applies one operator or function to one or two operands. Operand texts are ":" (x),
// "_" plus a letter (the result of an earlier node), or a decimal number whose value is held
// in m_dLeft / m_dRight.
struct CDataAnalyzeFun {
    double m_dResult = 0.0;
    std::string m_strLeft;
    std::string m_strRight;
    double m_dLeft = 0.0;
    double m_dRight = 0.0;
    char m_chName = 0;
    char m_chOp = 0;
};

// Operator codes. 'A'..'J' read only the left operand.
namespace op {
constexpr char Copy = 'A', Sin = 'B', Cos = 'C', Tan = 'D', Keep = 'E', Exp = 'F', Ln = 'G',
               Cot = 'H', Sec = 'I', Csc = 'J';
constexpr bool IsUnary(char c) {
    return c >= 'A' && c <= 'J';
}
} // namespace op

struct CProgram; // what the list becomes to run (Program.h)

class CNodeList {
  public:
    CNodeList();
    ~CNodeList();
    CNodeList(CNodeList&&) noexcept;
    CNodeList& operator=(CNodeList&&) noexcept;

    // Differs between any two lists, and for one list after every Append: a drawing made from
    // a list can tell whether the list it sees now is the same.
    std::uint64_t Stamp() const { return m_nStamp; }

    void Append(CDataAnalyzeFun node);

    std::size_t size() const { return m_arNodes.size(); }
    bool empty() const { return m_arNodes.empty(); }
    // The nodes as appended; m_dResult as the last SettledNodes left it. Runs nothing.
    const std::vector<CDataAnalyzeFun>& Nodes() const { return m_arNodes; }
    // The nodes with the results of the latest evaluation, which may replay evaluations.
    const std::vector<CDataAnalyzeFun>& SettledNodes();
    double Result(std::size_t i);

    // Built on first use and dropped by Append.
    CProgram& Program();
    CProgram* BuiltProgram() { return m_pProgram.get(); } // null until first evaluated
    const CProgram* BuiltProgram() const { return m_pProgram.get(); }

    static constexpr std::size_t kBatchChunk = 256; // x values per batch pass

  private:
    std::vector<CDataAnalyzeFun> m_arNodes;
    std::unique_ptr<CProgram> m_pProgram;
    std::uint64_t m_nStamp;

    static std::uint64_t NewStamp();
};
