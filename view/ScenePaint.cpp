// Erasing and drawing the whole scene on a raster surface, shared between threads (OpenMP).
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
#include "view/ParallelFor.h"
#include "view/SceneRenderer.h"

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

void CSceneRenderer::SetDrawThreads(int nThreads) {
    m_nDrawThreads = nThreads <= 0 ? -1 : std::min(nThreads, kMaxThreads);
}

CSceneKey CSceneRenderer::MakeSceneKey(const Dc& dc, const CScene& scene) {
    CSceneKey k;
    k.dc = &dc;
    k.scene = scene;
    if (scene.pFuns)
        for (const auto& f : *scene.pFuns)
            k.funs.push_back({f.get(), f->m_pNodes.get(), f->m_pNodes ? f->m_pNodes->Stamp() : 0,
                              std::bit_cast<std::uint64_t>(f->m_dMin),
                              std::bit_cast<std::uint64_t>(f->m_dMax)});
    return k;
}

void CSceneRenderer::SceneDrawn(const Dc& dc, const CScene& scene, CSurfaceAccount& surface,
                                CSurfaceAccount::EState before) {
    using EState = CSurfaceAccount::EState;
    CSceneKey key = MakeSceneKey(dc, scene);
    if (before == EState::Blank || (before == EState::Scene && key == surface.m_key)) {
        surface.m_key = std::move(key);
        surface.m_eState = EState::Scene;
    } else {
        surface.m_eState = EState::Unknown;
    }
}

bool CSceneRenderer::PaintShared(Dc& dc, const CScene& scene, bool bDraw,
                                 CSurfaceAccount* pSurface) {
    using EState = CSurfaceAccount::EState;
    auto* raster = dynamic_cast<RasterDc*>(&dc);
    if (!raster) return false;
    if (m_nDrawThreads == 0)
        m_nDrawThreads =
            std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMaxThreads);
    if (m_nDrawThreads < 0) return false;
    const int nThreads = m_nDrawThreads;
    const CViewStyle& style = scene.style;

    const int W = raster->Width();
    const int stripW = std::max(kStripAlign, (W / (nThreads * kStripsPerThread) + kStripAlign - 1) /
                                                 kStripAlign * kStripAlign);
    const int nStrips = std::max(1, (W + stripW - 1) / stripW);
    auto forStrips = [&](auto paint) {
        ParallelFor(nThreads, nStrips, [&](int t, int) {
            const int x0 = t * stripW;
            RasterDc strip(*raster, x0, t == nStrips - 1 ? W : x0 + stripW);
            paint(strip, x0, x0 + stripW);
        });
    };

    const EState before = pSurface ? pSurface->m_eState : EState::Unknown;
    if (!bDraw && before == EState::Scene && MakeSceneKey(dc, scene) == pSurface->m_key) {
        // Bands of whole rows, which the surface fills as one block each.
        const int H = raster->Height(), n = nThreads;
        ParallelFor(nThreads, n, [&](int t, int) {
            raster->FillSolidRect({0, H * t / n, W, H * (t + 1) / n}, style.m_clrBack);
        });
        pSurface->m_eState = EState::Blank;
        return true;
    }

    // The polylines, in the order of the records; the ones out of date are computed at once.
    m_scenePolys.clear();
    m_sceneTodo.clear();
    if (scene.pFuns)
        for (const auto& f : *scene.pFuns) {
            if (bDraw && !f->m_bShow) continue;
            CCurvePolyline& poly = m_curveCache[f.get()];
            m_scenePolys.push_back({f.get(), &poly});
            if (!IsCurrent(poly, *f, scene)) m_sceneTodo.push_back({f.get(), &poly});
        }
    Scratch(nThreads - 1);
    ParallelFor(nThreads, static_cast<int>(m_sceneTodo.size()), [&](int t, int w) {
        ComputePolyline(*m_sceneTodo[static_cast<std::size_t>(t)].first,
                        *m_sceneTodo[static_cast<std::size_t>(t)].second, scene,
                        m_scratch[static_cast<std::size_t>(w)]);
    });

    const COLORREF clrGrid = bDraw ? style.m_clrGrid : style.m_clrBack;
    const COLORREF clrAxis = bDraw ? style.m_clrAxis : style.m_clrBack;
    forStrips([&](RasterDc& strip, int x0, int x1) {
        DrawGrid(strip, scene, clrGrid);
        DrawAxes(strip, scene, clrAxis);
        for (const auto& [fun, poly] : m_scenePolys) {
            const COLORREF old = strip.SelectPen(bDraw ? fun->m_clrFun : style.m_clrBack);
            ReplayStrip(strip, poly->ops, x0, x1);
            strip.SelectPen(old);
        }
    });
    // The current position where the serial order leaves it.
    RasterDc none(*raster, 0, 0);
    DrawGrid(none, scene, clrGrid);
    DrawAxes(none, scene, clrAxis);
    CPoint at = none.GetCurrentPosition();
    for (const auto& [fun, poly] : m_scenePolys)
        if (!poly->ops.empty()) at = {poly->ops.back().x, poly->ops.back().y};
    dc.MoveTo(at.x, at.y);

    DrawScale(dc, scene, bDraw ? style.m_clrScale : style.m_clrBack);

    if (!pSurface) return true;
    if (bDraw) {
        SceneDrawn(dc, scene, *pSurface, before);
    } else {
        // An erase of a surface we could not vouch for: it may still have left nothing.
        std::atomic<bool> blank = true;
        forStrips([&](RasterDc& strip, int, int) {
            if (!strip.IsFilledWith(style.m_clrBack)) blank = false;
        });
        pSurface->m_eState = blank ? EState::Blank : EState::Unknown;
    }
    return true;
}
