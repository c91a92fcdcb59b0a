#pragma once
// Points of interest of a function over a range: zeros, local extrema and intersections with
// another function, found by subdividing the range with the interval evaluators so that no
// part of it is left unexamined. Reads no node result and records no evaluation.

#include "expr/DataAnalyzeFun.h"

#include <atomic>
#include <cstddef>
#include <vector>

enum class EPointKind { Zero, Min, Max, Intersection };

struct CPointOfInterest {
    EPointKind kind = EPointKind::Zero;
    double x = 0.0;
    double x2 = 0.0;        // a zero on a whole interval runs from x to x2; otherwise x2 == x
    double y = 0.0;         // the function's value at x (0 for a zero)
    bool bCertified = true; // false: found numerically, the intervals could not prove it
};

struct CAnalysisLimits {
    std::size_t maxPoints = 1000;
    std::size_t maxWork = 400000;               // interval evaluations before giving up
    const std::atomic<bool>* pCancel = nullptr; // set by another thread to stop early
};

struct CAnalysisResult {
    std::vector<CPointOfInterest> points; // by x
    bool bTruncated = false;              // more than maxPoints: the first maxPoints are kept
    bool bIncomplete = false;             // the work ran out or was cancelled: points may miss
};

// Over [a, b] (finite, a <= b; the caller clips it to the function's domain). A sign change
// across a pole or a failure is not a zero.
CAnalysisResult FindZeros(CNodeList& f, double a, double b, const CAnalysisLimits& lim = {});
CAnalysisResult FindExtrema(CNodeList& f, double a, double b, const CAnalysisLimits& lim = {});
CAnalysisResult FindIntersections(CNodeList& f, CNodeList& g, double a, double b,
                                  const CAnalysisLimits& lim = {});
