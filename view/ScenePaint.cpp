// Erasing and drawing the whole scene on the window's raster surface, shared between threads.
//
// The curves' polylines are computed first, one record per task. Then the surface is cut into
// strips of columns and every strip runs the whole scene in its usual order (grid, axes, each
// curve), clipped to its columns: a pixel ends with the colour of the last primitive that
// paints it, whichever thread paints its strip, so the picture does not depend on the number
// of threads. The labels follow on the calling thread, last, as in the serial order.
//
// An erase of the whole scene paints every pixel that the scene painted. When the surface is
// known to hold nothing but one scene drawn over the background, and that scene is the one
// to erase, the erase leaves nothing but background: a fill gives the same pixels for less.

#include "platform/RasterDc.h"
#include "view/CurvistView.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <thread>

namespace {

constexpr int kMaxThreads = 8;
constexpr int kStripAlign = 16; // pixels per 64-byte line: strips never share a cache line
constexpr int kStripsPerThread = 4;

// Replays the part of a polyline that can paint columns [x0, x1): the strokes' x never
// decreases along a pass.
void ReplayStrip(Dc& dc, const std::vector<CCurveOp>& ops, int x0, int x1) {
    auto it = std::lower_bound(ops.begin(), ops.end(), x0,
                               [](const CCurveOp& o, int x) { return o.x < x; });
    if (it == ops.end()) return;
    if (it != ops.begin()) dc.MoveTo(std::prev(it)->x, std::prev(it)->y);
    for (; it != ops.end(); ++it) {
        if (it->line)
            dc.LineTo(it->x, it->y);
        else
            dc.MoveTo(it->x, it->y);
        if (it->x >= x1) break;
    }
}

} // namespace

void CCurvistView::SetDrawThreads(int nThreads) {
    m_nDrawThreads = nThreads <= 0 ? -1 : std::min(nThreads, kMaxThreads);
    m_pWorkers.reset();
}

void CCurvistView::NoteClientDrawing(const Dc& dc) {
    if (!m_bInScene && m_pHost && &dc == m_pHost->ClientDc()) m_eSurface = ESurface::Unknown;
}

CSceneKey CCurvistView::MakeSceneKey(const Dc& dc, int cx, int cy) const {
    CSceneKey k;
    k.dc = &dc;
    k.originX = m_plane.m_nOriginX;
    k.originY = m_plane.m_nOriginY;
    k.cellW = m_plane.m_nCellW;
    k.cellH = m_plane.m_nCellH;
    k.clientW = cx;
    k.clientH = cy;
    const CSize win = WindowSize();
    k.winW = win.cx;
    k.winH = win.cy;
    k.unitX = std::bit_cast<std::uint64_t>(m_plane.m_dUnitX);
    k.unitY = std::bit_cast<std::uint64_t>(m_plane.m_dUnitY);
    k.showScaleX = m_style.m_bShowScaleX;
    k.showScaleY = m_style.m_bShowScaleY;
    k.placeX = m_style.m_nScalePlaceX;
    k.placeY = m_style.m_nScalePlaceY;
    k.back = m_style.m_clrBack;
    if (m_pFunArray)
        for (const auto& f : *m_pFunArray)
            k.funs.push_back({f.get(), f->m_pNodes.get(), f->m_pNodes ? f->m_pNodes->Stamp() : 0,
                              std::bit_cast<std::uint64_t>(f->m_dMin),
                              std::bit_cast<std::uint64_t>(f->m_dMax)});
    return k;
}

void CCurvistView::SceneDrawn(const Dc& dc, int cx, int cy, ESurface before) {
    if (!m_pHost || &dc != m_pHost->ClientDc()) return;
    CSceneKey key = MakeSceneKey(dc, cx, cy);
    if (before == ESurface::Blank || (before == ESurface::Scene && key == m_sceneKey)) {
        m_sceneKey = std::move(key);
        m_eSurface = ESurface::Scene;
    } else {
        m_eSurface = ESurface::Unknown;
    }
}

bool CCurvistView::PaintSceneShared(Dc& dc, int cx, int cy, bool bDraw) {
    if (!m_pHost || &dc != m_pHost->ClientDc() || m_bEvalError) return false;
    auto* raster = dynamic_cast<RasterDc*>(&dc);
    if (!raster) return false;
    if (m_nDrawThreads == 0)
        m_nDrawThreads =
            std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMaxThreads);
    if (m_nDrawThreads < 0) return false;
    if (!m_pWorkers) m_pWorkers = std::make_unique<CDrawWorkers>(m_nDrawThreads);
    CDrawWorkers& workers = *m_pWorkers;

    const int W = raster->Width();
    const int stripW =
        std::max(kStripAlign, (W / (workers.Count() * kStripsPerThread) + kStripAlign - 1) /
                                  kStripAlign * kStripAlign);
    const int nStrips = std::max(1, (W + stripW - 1) / stripW);
    auto forStrips = [&](auto paint) {
        workers.Run(nStrips, [&](int t, int) {
            const int x0 = t * stripW;
            RasterDc strip(*raster, x0, t == nStrips - 1 ? W : x0 + stripW);
            paint(strip, x0, x0 + stripW);
        });
    };

    const ESurface before = m_eSurface;
    if (!bDraw && before == ESurface::Scene && MakeSceneKey(dc, cx, cy) == m_sceneKey) {
        // Bands of whole rows, which the surface fills as one block each.
        const int H = raster->Height(), n = workers.Count();
        workers.Run(n, [&](int t, int) {
            raster->FillSolidRect({0, H * t / n, W, H * (t + 1) / n}, m_style.m_clrBack);
        });
        m_eSurface = ESurface::Blank;
        return true;
    }

    // The polylines, in the order of the records; the ones out of date are computed at once.
    const CSize win = WindowSize();
    m_scenePolys.clear();
    m_sceneTodo.clear();
    if (m_pFunArray)
        for (const auto& f : *m_pFunArray) {
            if (bDraw && !f->m_bShow) continue;
            CCurvePolyline& poly = m_curveCache[f.get()];
            m_scenePolys.push_back({f.get(), &poly});
            if (!IsCurrent(poly, *f, win)) m_sceneTodo.push_back({f.get(), &poly});
        }
    Scratch(workers.Count() - 1);
    workers.Run(static_cast<int>(m_sceneTodo.size()), [&](int t, int w) {
        bool bEvalError = false;
        ComputePolyline(*m_sceneTodo[static_cast<std::size_t>(t)].first,
                        *m_sceneTodo[static_cast<std::size_t>(t)].second, win,
                        m_scratch[static_cast<std::size_t>(w)], bEvalError);
    });

    const COLORREF clrGrid = bDraw ? m_style.m_clrGrid : m_style.m_clrBack;
    const COLORREF clrAxis = bDraw ? m_style.m_clrAxis : m_style.m_clrBack;
    forStrips([&](RasterDc& strip, int x0, int x1) {
        DrawGrid(strip, cx, cy, clrGrid);
        DrawAxes(strip, cx, cy, clrAxis);
        for (const auto& [fun, poly] : m_scenePolys) {
            const COLORREF old = strip.SelectPen(bDraw ? fun->m_clrFun : m_style.m_clrBack);
            ReplayStrip(strip, poly->ops, x0, x1);
            strip.SelectPen(old);
        }
    });
    // The current position where the serial order leaves it.
    RasterDc none(*raster, 0, 0);
    DrawGrid(none, cx, cy, clrGrid);
    DrawAxes(none, cx, cy, clrAxis);
    CPoint at = none.GetCurrentPosition();
    for (const auto& [fun, poly] : m_scenePolys)
        if (!poly->ops.empty()) at = {poly->ops.back().x, poly->ops.back().y};
    dc.MoveTo(at.x, at.y);

    m_bInScene = true;
    DrawScale(dc, bDraw ? m_style.m_clrScale : m_style.m_clrBack);
    m_bInScene = false;

    if (bDraw) {
        SceneDrawn(dc, cx, cy, before);
    } else {
        // An erase of a surface we could not vouch for: it may still have left nothing.
        std::atomic<bool> blank = true;
        forStrips([&](RasterDc& strip, int, int) {
            if (!strip.IsFilledWith(m_style.m_clrBack)) blank = false;
        });
        m_eSurface = blank ? ESurface::Blank : ESurface::Unknown;
    }
    return true;
}
