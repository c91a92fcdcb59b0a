// In-place changes: erase what is affected in the background colour, change, draw again.

#include "view/CurvistView.h"

#include "settings/VisParam.h"

#include <functional>

void CCurvistView::PaintScene(Dc& dc, int cx, int cy, bool bDraw) {
    m_renderer.Paint(dc, SceneAt({cx, cy}), bDraw, AccountOf(dc));
}

void CCurvistView::DrawCurve(Dc& dc, CDataFun& fun, bool bDraw) {
    m_renderer.DrawCurve(dc, SceneAt(WindowSize()), fun, bDraw);
    if (CSurfaceAccount* pSurface = AccountOf(dc)) pSurface->Forget();
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
        // A record the history puts back may sit under later curves and the labels: the scene
        // drawn over again layers it as a full repaint would.
        if (change.m_bReplay)
            RedrawAll(true);
        else
            DrawFunction(index);
        break;
    case EFunChange::Delete:
        // The record lives on in the change; its polyline does not.
        m_renderer.ForgetCurve(change.m_before.m_pFun.get());
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
