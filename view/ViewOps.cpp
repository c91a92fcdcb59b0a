// In-place changes: erase what is affected in the background colour, change, draw again.

#include "view/CurvistView.h"

#include "settings/VisParam.h"
#include "view/VectorState.h"

#include <algorithm>
#include <limits>

void CCurvistView::PaintScene(Dc& dc, int cx, int cy, bool bDraw) {
    ClearUpperVectorState();
    if (PaintSceneShared(dc, cx, cy, bDraw)) return;
    DrawGrid(dc, cx, cy, bDraw ? m_clrGrid : m_clrBack);
    DrawAxes(dc, cx, cy, bDraw ? m_clrAxis : m_clrBack);
    if (m_pFunArray)
        for (const auto& f : *m_pFunArray)
            DrawCurve(dc, *f, bDraw);
    DrawScale(dc, bDraw ? m_clrScale : m_clrBack);
}

void CCurvistView::DrawScene(Dc& dc) {
    PaintScene(dc, m_nClientW, m_nClientH, true);
}

void CCurvistView::RedrawAll(bool bDraw) {
    if (Dc* dc = ClientDc()) {
        PaintScene(*dc, m_nClientW, m_nClientH, bDraw);
        Present();
    }
}

void CCurvistView::OnFunListChanging(const CFunChange& change) {
    switch (change.m_kind) {
    case EFunChange::Modify:
        RedrawAll(false);
        break;
    case EFunChange::Delete:
    case EFunChange::Domain:
        if (CDataFun* fun = FunAt(static_cast<int>(change.m_nIndex)))
            if (Dc* dc = ClientDc()) DrawCurve(*dc, *fun, false);
        break;
    default:
        break;
    }
}

void CCurvistView::OnFunListChanged(const CFunChange& change) {
    const int index = static_cast<int>(change.m_nIndex);
    switch (change.m_kind) {
    case EFunChange::Add:
        DrawFunction(index);
        break;
    case EFunChange::Delete:
        // The record lives on in the change; its polyline does not.
        m_curveCache.erase(change.m_before.m_pFun.get());
        if (Dc* dc = ClientDc()) {
            DrawScene(*dc);
            Present();
        }
        break;
    case EFunChange::Show:
        // Erased whatever the new flag says, then the scene comes back in its colours.
        if (CDataFun* fun = FunAt(index))
            if (Dc* dc = ClientDc()) DrawCurve(*dc, *fun, false);
        RedrawAll(true);
        break;
    case EFunChange::Color:
        if (CDataFun* fun = FunAt(index))
            if (Dc* dc = ClientDc()) DrawCurve(*dc, *fun, true);
        RedrawAll(true);
        break;
    case EFunChange::Modify:
    case EFunChange::Domain:
        RedrawAll(true);
        break;
    }
}

void CCurvistView::ZoomStep(short direction) {
    // Saturating, so that zooming in without end cannot overflow the scale.
    constexpr int kMaxScale = std::numeric_limits<int>::max() - 10;
    int scale = m_nScale;
    if (direction == -1)
        scale -= scale <= 100 ? 5 : 10;
    else if (direction == 1)
        scale = std::min(kMaxScale, scale + (scale < 100 ? 5 : 10));
    else
        scale = 100;
    m_nScale = std::max(scale, kMinScale);

    const int w = ZoomedCell(m_nBaseCellW, m_nScale);
    const int h = ZoomedCell(m_nBaseCellH, m_nScale);
    if (w == m_nCellW) return;

    const CSize win = WindowSize();
    Dc* dc = ClientDc();
    if (dc) PaintScene(*dc, win.cx, win.cy, false);
    m_nCellH = h;
    m_nCellW = w;
    if (dc) {
        PaintScene(*dc, win.cx, win.cy, true);
        Present();
    }
}

void CCurvistView::SetOriginPlace(int code) {
    RedrawAll(false);
    const int W = m_nClientW, H = m_nClientH;
    switch (code) {
    case 0:
        m_nOriginX = W / 2, m_nOriginY = H / 2;
        break;
    case 1:
        m_nOriginX = 0, m_nOriginY = H / 2;
        break;
    case 2:
        m_nOriginX = W, m_nOriginY = H / 2;
        break;
    case 3:
        m_nOriginX = W / 2, m_nOriginY = 0;
        break;
    case 4:
        m_nOriginX = W / 2, m_nOriginY = H;
        break;
    case 5:
        m_nOriginX = 0, m_nOriginY = 0;
        break;
    case 6:
        m_nOriginX = 0, m_nOriginY = H;
        break;
    case 7:
        m_nOriginX = W, m_nOriginY = 0;
        break;
    case 8:
        m_nOriginX = W, m_nOriginY = H;
        break;
    default:
        break;
    }
    RedrawAll(true);
}

void CCurvistView::ApplyDisplaySettings(const CVisParam& vp) {
    Dc* dc = ClientDc();
    if (dc) PaintScene(*dc, m_nClientW, m_nClientH, false);

    // The origin code is not taken: it applies at the next New or Open.
    TakeDisplayParams(vp);
    m_nCellW = ZoomedCell(m_nBaseCellW, m_nScale);
    m_nCellH = ZoomedCell(m_nBaseCellH, m_nScale);

    if (dc) {
        PaintScene(*dc, m_nClientW, m_nClientH, true);
        Present();
    }
}
