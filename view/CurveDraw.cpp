// The curve pass: one polyline per function record, walked column by column.

#include "expr/CalcValue.h"
#include "view/CurvistView.h"
#include "view/VectorState.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace {

constexpr int kFirstCol = -2;
constexpr double kWorldLimit = CCurvistView::kCurveWorldLimit;
constexpr double kRowLimit = CCurvistView::kCurveRowLimit;
constexpr std::int64_t kMarkAbove = -2000000000;
constexpr std::int64_t kMarkBelow = 2000000000;
constexpr std::int64_t kJump = 50;
constexpr int kLineClamp = 10000;

} // namespace

double CCurvistView::CalcValue(CNodeList& nodes, double x) {
    return ::CalcValue(nodes, x, m_bEvalError);
}

CCurveKey CCurvistView::MakeKey(const CDataFun& fun, CSize win) const {
    CCurveKey k;
    k.originX = m_plane.m_nOriginX;
    k.originY = m_plane.m_nOriginY;
    k.cellW = m_plane.m_nCellW;
    k.cellH = m_plane.m_nCellH;
    k.winW = win.cx;
    k.winH = win.cy;
    k.unitX = std::bit_cast<std::uint64_t>(m_plane.m_dUnitX);
    k.unitY = std::bit_cast<std::uint64_t>(m_plane.m_dUnitY);
    k.dMin = std::bit_cast<std::uint64_t>(fun.m_dMin);
    k.dMax = std::bit_cast<std::uint64_t>(fun.m_dMax);
    k.nodes = fun.m_pNodes.get();
    return k;
}

void CCurvistView::EnableCurveCache(bool on) {
    m_bCurveCache = on;
    m_curveCache.clear();
}

void CCurvistView::DrawCurve(Dc& dc, CDataFun& fun, bool bDraw) {
    if (bDraw && !fun.m_bShow) return;
    ClearUpperVectorState();
    NoteClientDrawing(dc);
    const COLORREF oldPen = dc.SelectPen(bDraw ? fun.m_clrFun : m_style.m_clrBack);
    CCurvePolyline& poly = PolylineOf(fun, WindowSize(), Scratch(0), m_bEvalError);
    for (const CCurveOp& o : poly.ops) {
        if (o.line)
            dc.LineTo(o.x, o.y);
        else
            dc.MoveTo(o.x, o.y);
    }
    dc.SelectPen(oldPen);
}

CPassScratch& CCurvistView::Scratch(int worker) {
    if (m_scratch.size() <= static_cast<std::size_t>(worker))
        m_scratch.resize(static_cast<std::size_t>(worker) + 1);
    return m_scratch[static_cast<std::size_t>(worker)];
}

CCurvePolyline& CCurvistView::PolylineOf(CDataFun& fun, CSize win, CPassScratch& sc,
                                         bool& bEvalError) {
    CCurvePolyline& poly = m_curveCache[&fun];
    if (!IsCurrent(poly, fun, win)) ComputePolyline(fun, poly, win, sc, bEvalError);
    return poly;
}

bool CCurvistView::IsCurrent(const CCurvePolyline& poly, const CDataFun& fun, CSize win) const {
    return m_bCurveCache && poly.valid && poly.key == MakeKey(fun, win) &&
           SameProgram(*fun.m_pNodes, poly.program);
}

void CCurvistView::ComputePolyline(CDataFun& fun, CCurvePolyline& poly, CSize win, CPassScratch& sc,
                                   bool& bEvalError) const {
    poly.valid = false;
    CurvePass(fun, poly, win, sc, bEvalError);
    if (m_bCurveCache && fun.m_pNodes) {
        poly.key = MakeKey(fun, win);
        TakeProgram(*fun.m_pNodes, poly.program);
        poly.valid = true;
    }
}

// Walks the columns and records the strokes; bEvalError stands for the view's flag, which a
// pass reads and clears like any evaluation failure.
void CCurvistView::CurvePass(CDataFun& fun, CCurvePolyline& poly, CSize win, CPassScratch& sc,
                             bool& bEvalError) const {
    auto& ops = poly.ops;
    ops.clear();
    auto moveTo = [&](int x, int y) { ops.push_back({x, y, false}); };
    auto lineTo = [&](int x, int y) { ops.push_back({x, y, true}); };

    const int W = win.cx, H = win.cy;
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
        const double wx = ColToWorldX(x);
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
        if (errs[k] || bEvalError) {
            bEvalError = false;
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
        const double r = WorldYToRow(y);
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
                    nodes ? CalcValueAfter(*nodes, ColToWorldX(x - 0.5), err2, k) : 0.0;
                const double row2 = std::trunc(WorldYToRow(y2));
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

void CCurvistView::DrawFunction(int nIndex) {
    if (nIndex < 0 || nIndex >= kDrawFunctionLimit) {
        if (m_pHost) m_pHost->MessageBox(kMsgIndexLimit);
        return;
    }
    CDataFun* fun = FunAt(nIndex);
    Dc* dc = ClientDc();
    if (!fun || !dc) return;
    DrawCurve(*dc, *fun, true);
    Present();
}
