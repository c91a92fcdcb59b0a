#pragma once
// The curve under the pointer: which visible function passes within a few pixels of it at the
// pointer's column. One evaluation per visible function, so it can run at every pointer rest.

#include "document/CurvistDoc.h"
#include "platform/Dc.h"
#include "view/Plane.h"

#include <cstddef>
#include <optional>

inline constexpr int kCurveTipReach = 3; // pixels between the pointer and the curve's row

struct CCurveHit {
    std::size_t nIndex; // in the function list
    double x, y;        // the column's world x and the function's value there
};

// The visible function whose row at p's column lies nearest to p, within nReach pixels; a
// column outside the domain, a failed evaluation or a value off the curve pass's limits
// counts as no curve. Of equally near ones, the later one wins: it is drawn on top.
std::optional<CCurveHit> CurveNear(const CPlane& plane, const CFunArray& funs, CPoint p,
                                   int nReach = kCurveTipReach);
