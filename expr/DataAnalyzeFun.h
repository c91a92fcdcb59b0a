#pragma once
// One step of a compiled expression and the list that owns the steps.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
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

// The per-point evaluator works on a register file: register 0 is x, every number operand
// and every node result has a register of its own, so a step is an operator and three indexes.
struct CRegStep {
    char op = 0; // the node's code
    // Dense index of the operation, for the evaluator's dispatch; kHFail for a node whose
    // operand designates nothing. It lives here, not in the code, so no code a file stores
    // can reach it.
    std::uint8_t handler = 0;
    // The operand is the previous step's result, which the evaluator still holds in a CPU
    // register: reading it back from memory would stall a chain of dependent nodes.
    bool leftIsPrev = false;
    bool rightIsPrev = false;
    std::uint32_t left = 0;
    std::uint32_t right = 0;
    std::uint32_t out = 0;
};

// Dense operation indexes: 0..9 the unary codes 'A'..'J', then these.
enum EHandler : std::uint8_t { kHAdd = 10, kHSub, kHMul, kHDiv, kHPow, kHKeep, kHFail };
constexpr std::uint8_t HandlerOf(char op) {
    if (op >= 'A' && op <= 'J') return static_cast<std::uint8_t>(op == 'E' ? kHKeep : op - 'A');
    switch (op) {
    case '+':
        return kHAdd;
    case '-':
        return kHSub;
    case '*':
        return kHMul;
    case '/':
        return kHDiv;
    case '^':
        return kHPow;
    default:
        return kHKeep;
    }
}

// What evaluation runs: tables derived from the nodes, built on first use and dropped when a
// node joins, so a list that is only read or stored costs its nodes and nothing more.
struct CProgram {
    std::vector<CStep> steps;
    std::vector<CRegStep> regSteps;
    std::vector<double> regs; // register 0 is x

    // The batch evaluator runs a program derived from the nodes: copies and identical nodes
    // are computed once, constants are folded, and every value has a slot of its own.
    struct COperandRef {
        std::int32_t slot = kX; // a slot, or kX, or kConst
        double value = 0.0;     // kConst
        static constexpr std::int32_t kX = -1, kConst = -2;
    };
    struct CVecStep {
        char op = 0;
        COperandRef left, right;
        std::int32_t out = 0;
        std::uint32_t node = 0; // the first node that computes this value
        // Plain arithmetic (+ - * / and squares) runs fused with its neighbours: a value read
        // only by the next fused step stays in a register and is never stored (!store).
        bool fused = false;
        bool leftIsPrev = false, rightIsPrev = false;
        bool store = true;
    };
    std::vector<CVecStep> vec;
    COperandRef vecResult;
    std::size_t vecSlots = 0;
    bool bVecAllFail = false; // every evaluation reaches a node that fails
    std::uint32_t vecFailNode = 0;
    bool bCanFail = false;
    // The only step that can fail is a division that gives the result: it can write the
    // output and its flags itself.
    bool bDivideLast = false;

    // The same derived program for one x at a time, on a register file of its own: register 0
    // is x, then constants and values.
    std::vector<CRegStep> pointSteps;
    std::vector<std::uint32_t> pointNode; // node of each point step
    std::vector<double> pointRegs;
    std::uint32_t pointResult = 0;
    bool bPointResultIsLast = false; // the last step gives the result: no need to read it back
    // What one x costs, decided once, so that CalcValue tests one byte: x itself, a constant
    // (pointConst), the steps, or a failure at every x.
    enum EPointMode : std::uint8_t { kPointSteps, kPointX, kPointConst, kPointAllFail };
    std::uint8_t pointMode = kPointAllFail;
    double pointConst = 0.0;

    // The node results are those of the plain node-by-node evaluation; the derived program
    // does not keep them, so the calls that decide them are remembered and replayed on
    // demand: the latest complete one, then the later failed ones, each failing before
    // the one before it (a failure leaves the nodes behind it as they were).
    struct CHistory {
        bool bComplete = false;
        bool bDirty = false;
        bool bFails = false; // !fails.empty(), next to the flags a complete call writes
        double xComplete = 0.0;
        std::vector<std::pair<double, std::uint32_t>> fails; // x, node that failed
    };
    CHistory history;
    void NoteComplete(double x) {
        history.xComplete = x;
        history.bComplete = true; // next to bDirty: one store for both
        history.bDirty = true;
        if (history.bFails) [[unlikely]] {
            history.fails.clear();
            history.bFails = false;
        }
    }
    void NoteFailure(double x, std::uint32_t node) {
        while (!history.fails.empty() && history.fails.back().second <= node)
            history.fails.pop_back();
        history.fails.emplace_back(x, node);
        history.bFails = true;
        history.bDirty = true;
    }
    // Brings regs up to date with the history (CalcValue.cpp).
    void Settle();

    static std::unique_ptr<CProgram> Build(const std::vector<CDataAnalyzeFun>& nodes);
};

class CNodeList {
  public:
    CNodeList() : m_nStamp(NewStamp()) {}
    CNodeList(CNodeList&&) noexcept = default;
    CNodeList& operator=(CNodeList&&) noexcept = default;

    // Differs between any two lists, and for one list after every Append: a drawing made from
    // a list can tell whether the list it sees now is the same.
    std::uint64_t Stamp() const { return m_nStamp; }

    void Append(CDataAnalyzeFun node);

    std::size_t size() const { return m_arNodes.size(); }
    bool empty() const { return m_arNodes.empty(); }
    // The nodes with the results of the latest evaluation.
    const std::vector<CDataAnalyzeFun>& Nodes() const;
    const CDataAnalyzeFun& operator[](std::size_t i) const {
        m_arNodes[i].m_dResult = Result(i);
        return m_arNodes[i];
    }

    // Evaluation writes node results into the program's registers; nothing else about a node
    // changes after Append.
    double Result(std::size_t i) const {
        if (!m_pProgram) return m_arNodes[i].m_dResult;
        if (m_pProgram->history.bDirty) m_pProgram->Settle();
        return m_pProgram->regs[m_pProgram->regSteps[i].out];
    }
    const CProgram& Program() const { return m_pProgram ? *m_pProgram : BuildProgram(); }
    CProgram* BuiltProgram() { return m_pProgram.get(); } // null until first evaluated
    CProgram& Program() { return const_cast<CProgram&>(std::as_const(*this).Program()); }

    static constexpr std::size_t kBatchChunk = 256; // x values per batch pass

  private:
    mutable std::vector<CDataAnalyzeFun> m_arNodes; // m_dResult refreshed by Nodes()
    mutable std::unique_ptr<CProgram> m_pProgram;
    std::uint64_t m_nStamp;

    static std::uint64_t NewStamp();
    const CProgram& BuildProgram() const;
};
