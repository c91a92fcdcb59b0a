#pragma once
// Evaluation of a node list.

#include "expr/Program.h"

#include <cstddef>
#include <cstdint>

// Parts of CalcValue kept out of line (CalcValue.cpp).
double CalcValueAllFail(CNodeList& list, double x, bool& bEvalError);

// Runs the list front to back for one x and returns the last node's result. A failed division
// or power sets bEvalError and returns 0.0 at once, leaving later nodes as they were; the flag
// is never cleared here. An empty list, or a reference that designates no node, fails too.
// Inline, so that a caller's loop pays no call for a list that needs no steps and one call
// for any other.
inline double CalcValue(CNodeList& list, double x, bool& bEvalError) {
    CProgram* prog = list.BuiltProgram();
    if (!prog) [[unlikely]] {
        if (list.empty()) return CalcValueAllFail(list, x, bEvalError);
        prog = &list.Program();
    }
    double y;
    const std::uint8_t mode = prog->pointMode;
    if (mode == CProgram::kPointSteps) [[likely]] {
        double* const reg = prog->pointRegs.data();
        const CStepsResult r = RunRegSteps(
            prog->pointSteps.data(), prog->pointSteps.data() + prog->pointSteps.size(), reg, x);
        if (r.failAt != CStepsResult::kNone) [[unlikely]] {
            prog->NoteFailure(x, prog->pointNode[r.failAt]);
            bEvalError = true;
            return 0.0;
        }
        y = prog->bPointResultIsLast ? r.y : reg[prog->pointResult];
    } else if (mode == CProgram::kPointX) {
        y = x; // no register file to go through
    } else if (mode == CProgram::kPointConst) {
        y = prog->pointConst;
    } else {
        return CalcValueAllFail(list, x, bEvalError);
    }
    prog->NoteComplete(x);
    return y;
}

// The same, computed node by node as the list says, every node's result written as it goes.
// CalcValue runs a program derived from the list (copies and identical nodes computed once,
// constants folded) and gives the same value bit for bit; this is its reference.
double CalcValueNodeByNode(CNodeList& list, double x, bool& bEvalError);

// Evaluates the list at xs[0..n): ys[i] and errs[i] are exactly what CalcValue would return and
// flag for xs[i] (errs[i] set means the evaluation failed and ys[i] is 0.0). Allocates nothing.
void CalcValues(CNodeList& list, const double* xs, double* ys, bool* errs, std::size_t n);
// The batch leaves the node results that its calls one by one, in order, would leave.

double CalcValueAfterNoted(CNodeList& list, double x, bool& bEvalError, std::size_t after);

// CalcValue for a sample taken between the x values of the latest CalcValues on this list,
// right after xs[after]: the node results become those of all these calls made one by one in
// that order. Otherwise the same as CalcValue.
inline double CalcValueAfter(CNodeList& list, double x, bool& bEvalError, std::size_t after) {
    CProgram* prog = list.BuiltProgram();
    // Before the batch's last complete call the sample changes no result: nothing to note.
    if (prog && prog->history.bBatch && prog->pointMode == CProgram::kPointSteps &&
        static_cast<std::int64_t>(2 * after + 1) < prog->history.completePos) [[likely]] {
        const CStepsResult r =
            RunRegSteps(prog->pointSteps.data(), prog->pointSteps.data() + prog->pointSteps.size(),
                        prog->pointRegs.data(), x);
        if (r.failAt != CStepsResult::kNone) [[unlikely]] {
            bEvalError = true;
            return 0.0;
        }
        return prog->bPointResultIsLast ? r.y : prog->pointRegs[prog->pointResult];
    }
    return CalcValueAfterNoted(list, x, bEvalError, after);
}
