#pragma once
// The curve under the pointer: which visible function's drawn polyline passes within a few
// pixels of it. A few evaluations per visible function, so it can run at every pointer rest.

#include "document/CurvistDoc.h"
#include "platform/Dc.h"
#include "view/Plane.h"

#include <cstddef>
#include <optional>

inline constexpr int kCurveTipReach = 3; // pixels between the pointer and the polyline

struct CCurveHit {
    std::size_t nIndex; // in the function list
    double x, y;        // the column's world x and the function's value there
};

// The visible function whose polyline (the segments the curve pass draws between neighbouring
// columns) passes nearest to p, within nReach pixels, so steep stretches count too; where the
// pass lifts the pen there is nothing to point at. Of equally near ones, the later one wins:
// it is drawn on top. The hit is the curve's point at p's column, or the nearest drawn one.
std::optional<CCurveHit> CurveNear(const CPlane& plane, const CFunArray& funs, CPoint p,
                                   int nReach = kCurveTipReach);
