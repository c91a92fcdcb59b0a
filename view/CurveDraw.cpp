// The curve pass: one polyline per function record, walked column by column.

#include "expr/CalcValue.h"
#include "view/SceneRenderer.h"
#include "view/VectorState.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace {

constexpr int kFirstCol = -2;
constexpr double kWorldLimit = CSceneRenderer::kCurveWorldLimit;
constexpr double kRowLimit = CSceneRenderer::kCurveRowLimit;
constexpr std::int64_t kMarkAbove = -2000000000;
constexpr std::int64_t kMarkBelow = 2000000000;
constexpr std::int64_t kJump = 50;
constexpr int kLineClamp = 10000;

} // namespace

namespace {

CCurveKey MakeKey(const CDataFun& fun, const CScene& scene) {
    CCurveKey k;
    k.plane = scene.plane;
    k.size = scene.size;
    k.nPixelRatio = scene.nPixelRatio;
    k.dMin = std::bit_cast<std::uint64_t>(fun.m_dMin);
    k.dMax = std::bit_cast<std::uint64_t>(fun.m_dMax);
    k.nodes = fun.m_pNodes.get();
    return k;
}

} // namespace

void CSceneRenderer::EnableCurveCache(bool on) {
    m_bCurveCache = on;
    m_curveCache.clear();
}

void CSceneRenderer::DrawCurve(Dc& dc, const CScene& scene, CDataFun& fun, bool bDraw) {
    if (bDraw && !fun.m_bShow) return;
    ClearUpperVectorState();
    const COLORREF oldPen = dc.SelectPen(bDraw ? fun.m_clrFun : scene.style.m_clrBack);
    CCurvePolyline& poly = PolylineOf(fun, scene, Scratch(0));
    for (const CCurveOp& o : poly.ops) {
        if (o.line)
            dc.LineTo(o.x, o.y);
        else
            dc.MoveTo(o.x, o.y);
    }
    dc.SelectPen(oldPen);
}

CPassScratch& CSceneRenderer::Scratch(int worker) {
    if (m_scratch.size() <= static_cast<std::size_t>(worker))
        m_scratch.resize(static_cast<std::size_t>(worker) + 1);
    return m_scratch[static_cast<std::size_t>(worker)];
}

CCurvePolyline& CSceneRenderer::PolylineOf(CDataFun& fun, const CScene& scene, CPassScratch& sc) {
    CCurvePolyline& poly = m_curveCache[&fun];
    if (!IsCurrent(poly, fun, scene)) ComputePolyline(fun, poly, scene, sc);
    return poly;
}

bool CSceneRenderer::IsCurrent(const CCurvePolyline& poly, const CDataFun& fun,
                               const CScene& scene) const {
    return m_bCurveCache && poly.valid && poly.key == MakeKey(fun, scene) &&
           SameProgram(*fun.m_pNodes, poly.program);
}

void CSceneRenderer::ComputePolyline(CDataFun& fun, CCurvePolyline& poly, const CScene& scene,
                                     CPassScratch& sc) const {
    poly.valid = false;
    CurvePass(fun, poly, scene, sc);
    if (m_bCurveCache && fun.m_pNodes) {
        poly.key = MakeKey(fun, scene);
        TakeProgram(*fun.m_pNodes, poly.program);
        poly.valid = true;
    }
}

// Walks the columns and records the strokes.
void CSceneRenderer::CurvePass(CDataFun& fun, CCurvePolyline& poly, const CScene& scene,
                               CPassScratch& sc) {
    const CPlane& plane = scene.plane;
    auto& ops = poly.ops;
    ops.clear();
    auto moveTo = [&](int x, int y) { ops.push_back({x, y, false}); };
    auto lineTo = [&](int x, int y) { ops.push_back({x, y, true}); };

    const int W = scene.size.cx, H = scene.size.cy;
    if (W <= kFirstCol) return;
    const auto nCols = static_cast<std::size_t>(static_cast<std::int64_t>(W) - kFirstCol);
    if (sc.xs.size() < nCols) {
        sc.xs.resize(nCols);
        sc.ys.resize(nCols);
        sc.cols.resize(nCols);
    }
    if (sc.nErrsCap < nCols) {
        sc.errs.reset(new bool[nCols]);
        sc.nErrsCap = nCols;
    }
    double* const xs = sc.xs.data();
    double* const ys = sc.ys.data();
    int* const cols = sc.cols.data();
    bool* const errs = sc.errs.get();
    // The columns inside the domain, in order, up to the first one right of it.
    std::size_t n = 0;
    for (std::size_t i = 0; i < nCols; ++i) {
        const int x = kFirstCol + static_cast<int>(i);
        const double wx = plane.ColToWorldX(x);
        if (wx > fun.m_dMax) break;
        if (wx < fun.m_dMin) continue;
        cols[n] = x;
        xs[n] = wx;
        ++n;
    }
    CNodeList* nodes = fun.m_pNodes.get();
    if (nodes) {
        CalcValues(*nodes, xs, ys, errs, n);
    } else {
        std::fill(ys, ys + n, 0.0);
        std::fill(errs, errs + n, true);
    }

    int row = 10;
    std::int64_t prev = 0;
    bool hasPrev = false, penUp = true, first = true;
    for (std::size_t k = 0; k < n; ++k) {
        const int x = cols[k];
        const double y = ys[k];
        if (errs[k]) {
            moveTo(x, 0);
            penUp = true;
            prev = row;
            hasPrev = true;
            continue;
        }
        if (y > kWorldLimit) {
            moveTo(x, 0);
            penUp = true;
            prev = kMarkAbove;
            hasPrev = true;
            continue;
        }
        if (!(y >= -kWorldLimit)) {
            moveTo(x, H);
            penUp = true;
            prev = kMarkBelow;
            hasPrev = true;
            continue;
        }
        const double r = plane.WorldYToRow(y);
        // NaN (a zero unit) counts as far below, like a value that is not a number.
        if (!(r <= kRowLimit)) {
            moveTo(x, H);
            penUp = true;
            prev = kMarkBelow;
            hasPrev = true;
            continue;
        }
        if (r < -kRowLimit) {
            moveTo(x, 0);
            penUp = true;
            prev = kMarkAbove;
            hasPrev = true;
            continue;
        }
        row = RoundRow(r);

        if (hasPrev && ((row < 0 && prev > H) || (row > H && prev < 0))) {
            moveTo(x, row);
            prev = row;
            continue;
        }
        if (first) {
            first = false;
        } else {
            const std::int64_t d = row - prev;
            if (d > kJump || d < -kJump) {
                bool err2 = false;
                const double y2 =
                    nodes ? CalcValueAfter(*nodes, plane.ColToWorldX(x - 0.5), err2, k) : 0.0;
                const double row2 = std::trunc(plane.WorldYToRow(y2));
                const double lo = static_cast<double>(std::min<std::int64_t>(row, prev));
                const double hi = static_cast<double>(std::max<std::int64_t>(row, prev));
                if (!(row2 >= lo && row2 <= hi)) {
                    // A break: carry the old stroke to the edge it was heading for, start the
                    // new one at the opposite edge. A lifted pen has no stroke to carry.
                    if (row < prev) {
                        if (!penUp) lineTo(x - 1, H);
                        moveTo(x, 0);
                    } else {
                        if (!penUp) lineTo(x - 1, 0);
                        moveTo(x, H);
                    }
                    prev = row;
                    hasPrev = true;
                    continue;
                }
            }
        }
        if (penUp) {
            moveTo(x, row);
            penUp = false;
        } else {
            lineTo(x, std::min(row, kLineClamp));
        }
        prev = row;
        hasPrev = true;
    }
}
