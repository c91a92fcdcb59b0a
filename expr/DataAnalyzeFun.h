#pragma once
// One step of a compiled expression and the list that owns the steps.

#include <cstddef>
#include <cstdint>
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
constexpr bool IsUnary(char c) { return c >= 'A' && c <= 'J'; }
} // namespace op

// How an operand is fetched, decided once when its node joins the list.
enum class EOperandKind : std::uint8_t { X, Number, Ref, Bad };

struct COperand {
    EOperandKind kind = EOperandKind::Number;
    std::uint32_t ref = 0; // index of the designated node (Ref)
    double value = 0.0;    // the number (Number)
};

struct CStep {
    char op = 0;
    COperand left;
    COperand right;
};

// The node list: owns its nodes in evaluation order. References are resolved as each node is
// appended, to the nearest earlier node that carries the letter and is not a copy node, so a
// reference can never point forward or outside the list.
class CNodeList {
public:
    void Append(CDataAnalyzeFun node);

    std::size_t size() const { return m_arNodes.size(); }
    bool empty() const { return m_arNodes.empty(); }
    const CDataAnalyzeFun& operator[](std::size_t i) const { return m_arNodes[i]; }
    const std::vector<CDataAnalyzeFun>& Nodes() const { return m_arNodes; }
    const std::vector<CStep>& Steps() const { return m_steps; }

    // Evaluation writes each node's result; nothing else about a node changes after Append.
    void SetResult(std::size_t i, double v) { m_arNodes[i].m_dResult = v; }
    double Result(std::size_t i) const { return m_arNodes[i].m_dResult; }

    // Layout used by the batch evaluator (see CalcValue.h).
    struct CBatchStep {
        CStep step;
        std::int32_t leftSlot = -1;  // scratch slot of a Ref operand
        std::int32_t rightSlot = -1;
        std::int32_t outSlot = 0;    // scratch slot this node writes
    };
    const std::vector<CBatchStep>& BatchSteps() const { return m_batch; }
    std::size_t SlotCount() const { return m_nSlots; }
    bool CanFail() const { return m_bCanFail; }
    static constexpr std::size_t kBatchChunk = 256; // x values per batch pass
    double* Scratch() { return m_scratch.data(); }  // SlotCount() chunks of kBatchChunk

private:
    COperand Resolve(const std::string& text, double value) const;

    std::vector<CDataAnalyzeFun> m_arNodes;
    std::vector<CStep> m_steps;
    std::vector<CBatchStep> m_batch;
    std::int32_t m_nameSlot[256] = {}; // 0: no slot yet; else slot index + 1
    std::size_t m_nSlots = 1;          // slot 0 holds the results of copy nodes
    bool m_bCanFail = false;
    std::vector<double> m_scratch; // sized as nodes are appended, so evaluation never allocates
};
