// In-place changes: erase what is affected in the background colour, change, draw again.

#include "view/CurvistView.h"

#include "settings/VisParam.h"
#include "view/VectorState.h"

#include <functional>

void CCurvistView::PaintScene(Dc& dc, int cx, int cy, bool bDraw) {
    ClearUpperVectorState();
    if (PaintSceneShared(dc, cx, cy, bDraw)) return;
    DrawGrid(dc, cx, cy, bDraw ? m_style.m_clrGrid : m_style.m_clrBack);
    DrawAxes(dc, cx, cy, bDraw ? m_style.m_clrAxis : m_style.m_clrBack);
    if (m_pFunArray)
        for (const auto& f : *m_pFunArray)
            DrawCurve(dc, *f, bDraw);
    DrawScale(dc, bDraw ? m_style.m_clrScale : m_style.m_clrBack);
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

void CCurvistView::DeleteFunction(int index) {
    CDataFun* fun = FunAt(index);
    if (!fun) return;
    Dc* dc = ClientDc();
    if (dc) DrawCurve(*dc, *fun, false);
    m_curveCache.erase(fun);
    if (m_pDoc)
        m_pDoc->RemoveFunction(static_cast<std::size_t>(index));
    else
        m_pFunArray->erase(m_pFunArray->begin() + index);
    if (dc) {
        DrawScene(*dc);
        Present();
    }
}

void CCurvistView::SetFunctionShow(int index, bool bShow) {
    CDataFun* fun = FunAt(index);
    if (!fun) return;
    fun->m_bShow = bShow ? 1 : 0;
    MarkModified();
    if (Dc* dc = ClientDc()) DrawCurve(*dc, *fun, false);
    RedrawAll(true);
}

bool CCurvistView::SetFunctionColor(int index, COLORREF clr) {
    CDataFun* fun = FunAt(index);
    if (!fun) return false;
    for (const auto& f : *m_pFunArray)
        if (f->m_clrFun == clr) return false;
    fun->m_clrFun = clr;
    MarkModified();
    if (Dc* dc = ClientDc()) DrawCurve(*dc, *fun, true);
    RedrawAll(true);
    return true;
}

void CCurvistView::SetFunctionDomain(int index, const std::string& text, int bound) {
    CDataFun* fun = FunAt(index);
    if (!fun) return;
    if (Dc* dc = ClientDc()) DrawCurve(*dc, *fun, false);
    fun->SetDomain(bound == 0 ? 0 : 1, text);
    MarkModified();
    RedrawAll(true);
}

void CCurvistView::EraseChangeDraw(CSize size, const std::function<void()>& change) {
    Dc* dc = ClientDc();
    if (dc) PaintScene(*dc, size.cx, size.cy, false);
    change();
    if (dc) {
        PaintScene(*dc, size.cx, size.cy, true);
        Present();
    }
}

void CCurvistView::ChangePlane(const CPlane& next, CSize size) {
    EraseChangeDraw(size, [&] { m_plane = next; });
}

bool CCurvistView::ZoomTo(int scale) {
    CPlane next = m_plane;
    if (!next.TakeScale(scale)) {
        m_plane.m_nScale = next.m_nScale; // the cells wait for a step that changes the width
        return false;
    }
    ChangePlane(next, WindowSize());
    return true;
}

void CCurvistView::ZoomStep(short direction) {
    ZoomTo(CPlane::StepScale(m_plane.m_nScale, direction));
}

void CCurvistView::MoveOrigin(int dx, int dy) {
    CPlane next = m_plane;
    next.MoveOrigin(dx, dy);
    ChangePlane(next, ClientSize());
}

void CCurvistView::SetOriginPlace(int code) {
    CPlane next = m_plane;
    next.PlaceOrigin(code, EOriginCode::Menu, m_nClientW, m_nClientH);
    ChangePlane(next, ClientSize()); // an unknown code redraws in place all the same
}

void CCurvistView::ApplyDisplaySettings(const CVisParam& vp) {
    EraseChangeDraw(ClientSize(), [&] {
        // The origin code is not taken: it applies at the next New or Open.
        TakeDisplayParams(vp);
        m_plane.SetBaseCells(m_plane.m_nBaseCellW, m_plane.m_nBaseCellH);
    });
}
