#pragma once
// Evaluation of a node list over a whole range of x at once: an enclosure of every value the
// per-point evaluator gives for an x in the range (its own rounding and elementary functions
// included), and whether some x in the range may fail there. Reads no node result and
// records no evaluation.

#include "expr/DataAnalyzeFun.h"

#include <cmath>
#include <limits>
#include <optional>

// A set of doubles: the reals from lo to hi (infinities included), and NaN when nan is set.
// lo > hi when the set holds no real.
struct CInterval {
    double lo = 0.0, hi = 0.0;
    bool nan = false;

    static CInterval Point(double v) {
        if (std::isnan(v)) return None();
        return {v, v, false};
    }
    static CInterval None() { // NaN only
        return {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                true};
    }
    static CInterval Entire() {
        return {-std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity(),
                true};
    }
    bool HasReals() const { return lo <= hi; }
    bool Contains(double v) const { return std::isnan(v) ? nan : lo <= v && v <= hi; }
};

struct CIntervalResult {
    CInterval y;           // meaningless when bAllFail
    bool bMayFail = false; // some x of the range may fail
    bool bAllFail = false; // every x of the range fails
};

// The list over [xlo, xhi] (xlo <= xhi, neither NaN).
CIntervalResult EvalInterval(CNodeList& list, double xlo, double xhi);

// The operations of the interval evaluator, for the evaluators built on it. Each widens its
// bounds so that both the exact value and the per-point evaluator's value stay inside;
// failures of division and power set *mayFail (never cleared here).
namespace ival {
CInterval Add(const CInterval& a, const CInterval& b);
CInterval Neg(const CInterval& a);
CInterval Mul(const CInterval& a, const CInterval& b);
CInterval Div(const CInterval& a, const CInterval& b); // no failure rule: 1/0 is ±inf
CInterval Sqr(const CInterval& a);
CInterval Sin(const CInterval& a);
CInterval Cos(const CInterval& a);
CInterval Tan(const CInterval& a);
CInterval Exp(const CInterval& a);
CInterval Log(const CInterval& a);
CInterval Pow(const CInterval& a, const CInterval& b); // no failure rule
CInterval Hull(const CInterval& a, const CInterval& b);
} // namespace ival

// The interval evaluator's steps, for WalkSteps and for the evaluators built on it.
struct CIntervalOps {
    using Value = CInterval;
    bool bMayFail = false;
    static CInterval Constant(double c) { return CInterval::Point(c); }
    std::optional<CInterval> Apply(char op, const CInterval& L, const CInterval& R);
    static bool IsIntegral(double r);
    static bool UnderflowsToZero(const CInterval& L, const CInterval& R, bool square);
};
