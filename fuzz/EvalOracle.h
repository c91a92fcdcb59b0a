#pragma once
// The oracle shared by the reader and compiler targets: the per-point and the batch evaluator
// give the same bits and the same failure flag for every x.

#include "expr/CalcValue.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

inline void CheckBothEvaluators(CNodeList& list) {
    static const double xs[] = {0.0,  -0.0,   1.0,    -1.0,     0.5,       2.0, -3.7,
                                10.0, 1e-300, -1e300, HUGE_VAL, -HUGE_VAL, NAN};
    constexpr std::size_t n = sizeof xs / sizeof xs[0];
    double ys[n];
    bool errs[n];
    CalcValues(list, xs, ys, errs, n);
    for (std::size_t i = 0; i < n; ++i) {
        bool err = false;
        const double y = CalcValue(list, xs[i], err);
        const bool same =
            std::memcmp(&y, &ys[i], sizeof y) == 0 || (std::isnan(y) && std::isnan(ys[i]));
        if (err != errs[i] || !same) std::abort();
    }
}
