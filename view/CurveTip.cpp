#include "view/CurveTip.h"

#include "expr/CalcValue.h"
#include "view/SceneRenderer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

// A column of the polyline as the curve pass draws it.
struct CColumnPoint {
    bool bDrawn = false; // false where the pass lifts the pen
    int nRow = 0;
    double x = 0, y = 0;
};

CColumnPoint PointAt(const CPlane& plane, const CDataFun& fun, int nCol) {
    CColumnPoint pt;
    pt.x = plane.ColToWorldX(nCol);
    if (pt.x < fun.m_dMin || pt.x > fun.m_dMax) return pt;
    bool bFailed = false;
    pt.y = CalcValue(*fun.m_pNodes, pt.x, bFailed);
    if (bFailed || !(std::abs(pt.y) <= CSceneRenderer::kCurveWorldLimit)) return pt;
    const double r = plane.WorldYToRow(pt.y);
    if (!(std::abs(r) <= CSceneRenderer::kCurveRowLimit)) return pt;
    pt.nRow = CSceneRenderer::RoundRow(r);
    pt.bDrawn = true;
    return pt;
}

// Whether the pass joins two drawn neighbouring columns: a jump of more than 50 rows is a
// line only when the sample half a pixel to the left lies between them.
bool Joined(const CPlane& plane, const CDataFun& fun, int nCol, int nPrev, int nRow) {
    const std::int64_t d = std::int64_t{nRow} - nPrev;
    if (d <= 50 && d >= -50) return true;
    bool bFailed = false;
    const double y2 = CalcValue(*fun.m_pNodes, plane.ColToWorldX(nCol - 0.5), bFailed);
    const double r2 = std::trunc(plane.WorldYToRow(y2));
    return r2 >= std::min(nPrev, nRow) && r2 <= std::max(nPrev, nRow);
}

double SquaredDistance(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = ax + t * dx - px, ey = ay + t * dy - py;
    return ex * ex + ey * ey;
}

} // namespace

std::optional<CCurveHit> CurveNear(const CPlane& plane, const CFunArray& funs, CPoint p,
                                   int nReach) {
    std::optional<CCurveHit> best;
    double bestDist = 0;
    const int nFirst = p.x - nReach - 1;
    std::vector<CColumnPoint> pts(static_cast<std::size_t>(2 * nReach + 3));
    for (std::size_t i = 0; i < funs.size(); ++i) {
        const CDataFun& fun = *funs[i];
        if (!fun.m_bShow || !fun.m_pNodes) continue;
        for (std::size_t k = 0; k < pts.size(); ++k)
            pts[k] = PointAt(plane, fun, nFirst + static_cast<int>(k));
        // The nearest drawn point or segment between neighbouring columns.
        double dist = -1;
        std::size_t nNear = 0;
        for (std::size_t k = 0; k < pts.size(); ++k) {
            if (!pts[k].bDrawn) continue;
            const int c = nFirst + static_cast<int>(k);
            double d = SquaredDistance(p.x, p.y, c, pts[k].nRow, c, pts[k].nRow);
            if (k > 0 && pts[k - 1].bDrawn && Joined(plane, fun, c, pts[k - 1].nRow, pts[k].nRow))
                d = std::min(d, SquaredDistance(p.x, p.y, c - 1, pts[k - 1].nRow, c, pts[k].nRow));
            if (dist < 0 || d < dist) {
                dist = d;
                nNear = k;
            }
        }
        // The painted pixels lie up to half a pixel off the ideal segment.
        const double reach = nReach + 0.5;
        if (dist < 0 || dist > reach * reach || (best && dist > bestDist)) continue;
        // The tip names the point at the pointer's column when the curve is drawn there.
        const CColumnPoint& at = pts[static_cast<std::size_t>(p.x - nFirst)];
        const CColumnPoint& hit = at.bDrawn ? at : pts[nNear];
        best = CCurveHit{i, hit.x, hit.y};
        bestDist = dist;
    }
    return best;
}
