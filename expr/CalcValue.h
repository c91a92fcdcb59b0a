#pragma once
// Evaluation of a node list.

#include "expr/DataAnalyzeFun.h"

#include <cstddef>

// Runs the list front to back for one x and returns the last node's result. A failed division
// or power sets bEvalError and returns 0.0 at once, leaving later nodes as they were; the flag
// is never cleared here. An empty list, or a reference that designates no node, fails too.
double CalcValue(CNodeList& list, double x, bool& bEvalError);

// The same, computed node by node as the list says, every node's result written as it goes.
// CalcValue runs a program derived from the list (copies and identical nodes computed once,
// constants folded) and gives the same value bit for bit; this is its reference.
double CalcValueNodeByNode(CNodeList& list, double x, bool& bEvalError);

// Evaluates the list at xs[0..n): ys[i] and errs[i] are exactly what CalcValue would return and
// flag for xs[i] (errs[i] set means the evaluation failed and ys[i] is 0.0). Allocates nothing.
void CalcValues(CNodeList& list, const double* xs, double* ys, bool* errs, std::size_t n);
