#include "view/CurveTip.h"

#include "expr/CalcValue.h"
#include "view/SceneRenderer.h"

#include <cmath>
#include <cstdlib>

std::optional<CCurveHit> CurveNear(const CPlane& plane, const CFunArray& funs, CPoint p,
                                   int nReach) {
    const double x = plane.ColToWorldX(p.x);
    std::optional<CCurveHit> best;
    std::int64_t bestDist = 0;
    for (std::size_t i = 0; i < funs.size(); ++i) {
        const CDataFun& fun = *funs[i];
        if (!fun.m_bShow || !fun.m_pNodes || x < fun.m_dMin || x > fun.m_dMax) continue;
        bool bFailed = false;
        const double y = CalcValue(*fun.m_pNodes, x, bFailed);
        // Where the curve pass lifts the pen, nothing is drawn to point at.
        if (bFailed || !(std::abs(y) <= CSceneRenderer::kCurveWorldLimit)) continue;
        const double r = plane.WorldYToRow(y);
        if (!(std::abs(r) <= CSceneRenderer::kCurveRowLimit)) continue;
        const std::int64_t dist = std::llabs(std::int64_t{CSceneRenderer::RoundRow(r)} - p.y);
        if (dist > nReach || (best && dist > bestDist)) continue;
        best = CCurveHit{i, x, y};
        bestDist = dist;
    }
    return best;
}
