#pragma once
// Forward-mode derivatives of a node list: the value with its slope at one x, and intervals of
// both over a range of x. Reads no node result and records no evaluation.

#include "expr/DataAnalyzeFun.h"
#include "expr/IntervalEval.h"

#include <optional>

struct CSlope {
    double y = 0.0;  // what CalcValue gives, bit for bit
    double dy = 0.0; // the slope; NaN or an infinity where the function has none
};

// The value and slope at x; nullopt where CalcValue fails.
std::optional<CSlope> EvalSlope(CNodeList& list, double x);

struct CSlopeInterval {
    CInterval y, dy;       // meaningless when bAllFail
    bool bMayFail = false; // as CIntervalResult
    bool bAllFail = false;
};

// Enclosures of the value and of the slope over [xlo, xhi] (xlo <= xhi, neither NaN).
CSlopeInterval EvalSlopeInterval(CNodeList& list, double xlo, double xhi);
