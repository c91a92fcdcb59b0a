// The renderer's entry points and the serial order of a scene: grid, axes, each curve, labels.

#include "view/SceneRenderer.h"

#include "platform/RasterDc.h"
#include "view/VectorState.h"

CSceneRenderer::CSceneRenderer() = default;
CSceneRenderer::~CSceneRenderer() = default;

int CSceneRenderer::RoundRow(double r) {
    if (!(r > -2.1e9 && r < 2.1e9)) return r > 0 ? 2000000000 : -2000000000; // and NaN
    int row = static_cast<int>(r); // truncates toward zero
    const double f = r - row;
    if (row > 0 && f >= 0.5) ++row;
    if (row < 0 && f <= -0.5) --row;
    return row;
}

void CSceneRenderer::Fill(Dc& dc, const CScene& scene, CSurfaceAccount* pSurface) {
    dc.FillSolidRect(CRect{0, 0, scene.size.cx, scene.size.cy}, scene.style.m_clrBack);
    if (!pSurface) return;
    const auto* raster = dynamic_cast<const RasterDc*>(&dc);
    pSurface->Filled(raster && scene.size.cx >= raster->Width() &&
                     scene.size.cy >= raster->Height());
}

void CSceneRenderer::Render(Dc& dc, const CScene& scene) {
    Fill(dc, scene);
    Paint(dc, scene, true);
}

void CSceneRenderer::Paint(Dc& dc, const CScene& scene, bool bDraw, CSurfaceAccount* pSurface) {
    ClearUpperVectorState();
    if (PaintShared(dc, scene, bDraw, pSurface)) return;
    const CSurfaceAccount::EState before =
        pSurface ? pSurface->m_eState : CSurfaceAccount::EState::Unknown;
    const CViewStyle& style = scene.style;
    DrawGrid(dc, scene, bDraw ? style.m_clrGrid : style.m_clrBack);
    DrawAxes(dc, scene, bDraw ? style.m_clrAxis : style.m_clrBack);
    if (scene.pFuns)
        for (const auto& f : *scene.pFuns)
            DrawCurve(dc, scene, *f, bDraw);
    DrawScale(dc, scene, bDraw ? style.m_clrScale : style.m_clrBack);
    if (!pSurface) return;
    if (bDraw)
        SceneDrawn(dc, scene, *pSurface, before);
    else
        pSurface->Forget();
}
