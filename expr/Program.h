#pragma once
// What a node list becomes to run: the steps with their operands resolved, the register and
// batch programs derived from them, and the record of evaluations that decides node results.
// Every evaluator (per point, batch, interval, derivative) reads its steps from here.

#include "expr/DataAnalyzeFun.h"
#include "expr/Ops.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

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
    double keep = 0.0; // the result a code that computes nothing keeps for good
};

// The nodes' steps with every reference resolved to the node it designates.
std::vector<CStep> ResolveSteps(const std::vector<CDataAnalyzeFun>& nodes);

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

// Runs register steps [s, end) with x in register 0: the last step's result, or the index of
// the step that failed. Both come back in registers.
struct CStepsResult {
    double y;
    std::size_t failAt; // kNone when no step failed
    static constexpr std::size_t kNone = ~std::size_t{0};
};
CStepsResult RunRegSteps(const CRegStep* s, const CRegStep* end, double* reg, double x);

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
        bool bBatch = false; // the latest call was a batch: the positions below are valid
        bool bFails = false; // !fails.empty(), next to the flags a complete call writes
        double xComplete = 0.0;
        std::vector<std::pair<double, std::uint32_t>> fails; // x, node that failed
        // Where the calls stand in the latest batch: 2k for its x number k, 2k + 1 for a
        // sample taken right after it, -1 for a call before the batch.
        std::int64_t completePos = -1;
        std::vector<std::int64_t> failPos;
    };
    CHistory history;
    void NoteComplete(double x) {
        history.xComplete = x;
        history.bComplete = true; // next to bDirty and bBatch: one store for all
        history.bDirty = true;
        history.bBatch = false;
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
        history.bBatch = false;
    }
    // A batch over xs[0..n) leaves the results that the same calls one by one would leave.
    void NoteBatch(const double* xs, const bool* errs, std::size_t n);
    // A call made right after x number k of the latest batch, as if it had come in that order;
    // any other call when the latest was no batch.
    void NoteSampleAfter(std::size_t k, double x, bool failed, std::uint32_t node);
    // The node at which the per-point program fails for x (x known to fail).
    std::uint32_t FailNodeAt(double x);
    std::uint32_t lastFailNode = 0; // no call fails beyond this node
    // Brings regs up to date with the history.
    void Settle();

    static std::unique_ptr<CProgram> Build(const std::vector<CDataAnalyzeFun>& nodes);
};

// Walks the steps node by node for an evaluator over any kind of value: the evaluator gives
// `Value Constant(double)` and `std::optional<Value> Apply(char op, const Value& L, const
// Value& R)`, nullopt where the step fails whatever x is (for a unary code R is Constant(0)).
// Returns the last node's value, or nullopt when a step fails for every x; failures that
// depend on x are the evaluator's own to keep. `values` is scratch, one value per node.
template <class Ev>
std::optional<typename Ev::Value> WalkSteps(const std::vector<CStep>& steps, Ev& ev,
                                            const typename Ev::Value& x,
                                            std::vector<typename Ev::Value>& values) {
    using V = typename Ev::Value;
    if (steps.empty()) return std::nullopt;
    values.clear();
    values.reserve(steps.size());
    auto fetch = [&](const COperand& o) -> std::optional<V> {
        switch (o.kind) {
        case EOperandKind::X:
            return x;
        case EOperandKind::Number:
            return ev.Constant(o.value);
        case EOperandKind::Ref:
            return values[o.ref];
        default:
            return std::nullopt; // designates no node
        }
    };
    for (const CStep& s : steps) {
        const std::optional<V> L = fetch(s.left);
        if (!L) return std::nullopt;
        const std::optional<V> R = op::IsUnary(s.op) ? ev.Constant(0.0) : fetch(s.right);
        if (!R) return std::nullopt;
        std::optional<V> r = ops::Computes(s.op) ? ev.Apply(s.op, *L, *R) : ev.Constant(s.keep);
        if (!r) return std::nullopt;
        values.push_back(std::move(*r));
    }
    return values.back();
}

// What a drawing remembers of a list to tell later whether a list computes the same values:
// every step's code, operands and kept result.
struct CProgramSig {
    struct CStepSig {
        char op = 0;
        EOperandKind leftKind = EOperandKind::Number, rightKind = EOperandKind::Number;
        std::uint32_t leftRef = 0, rightRef = 0;
        std::uint64_t left = 0, right = 0, keep = 0;
        friend bool operator==(const CStepSig&, const CStepSig&) = default;
    };
    std::vector<CStepSig> steps;
};

// The signature of `nodes`, written into `out` (which keeps its capacity).
void TakeProgram(const CNodeList& nodes, CProgramSig& out);
bool SameProgram(const CNodeList& nodes, const CProgramSig& sig);
