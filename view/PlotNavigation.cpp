#include "view/PlotNavigation.h"

#include "view/CurvistView.h"

CPlotNavigation::CPlotNavigation(CCurvistView& view, IPlotModes& frame)
    : m_view(view), m_frame(frame) {}

ECursor CPlotNavigation::Cursor() const {
    if (m_frame.IsRealZoom()) return ECursor::Zoom;
    if (!m_bDragMove && !m_frame.IsRealMove()) return ECursor::Arrow;
    return ECursor::Move;
}

void CPlotNavigation::OnLButtonDown(CPoint p) {
    if (m_frame.IsRealMove()) {
        m_ptDragStart = p;
        m_bDragMove = true;
    }
    if (m_frame.IsRealZoom()) {
        m_bDragZoom = true;
        m_nZoomAnchorY = p.y;
    }
}

void CPlotNavigation::OnLButtonUp() {
    m_bDragMove = false;
    m_bDragZoom = false;
}

void CPlotNavigation::OnMButtonDown(CPoint p) {
    m_ptDragStart = p;
    m_bDragMove = true;
}

void CPlotNavigation::OnMButtonUp() {
    m_bDragMove = false;
}

void CPlotNavigation::OnMouseMove(CPoint p) {
    if (m_bDragZoom && !ZoomStage(p)) return;
    if (m_bDragMove) {
        MoveStage(p);
        return;
    }
    ReadOut(p);
}

bool CPlotNavigation::ZoomStage(CPoint p) {
    // Five pixels up or down per step of 5%.
    const int d = (m_nZoomAnchorY - p.y) / 5;
    if (d != 0) m_nZoomAnchorY = p.y;
    if (!m_view.ZoomTo(CPlane::DragScale(m_view.GetScale(), d))) return false;
    m_frame.ShowScale(m_view.GetScale());
    return true;
}

void CPlotNavigation::MoveStage(CPoint p) {
    m_view.MoveOrigin(p.x - m_ptDragStart.x, p.y - m_ptDragStart.y);
    m_ptDragStart = p;
}

double CPlotNavigation::WorldX(int x) const {
    return m_view.ColToWorldX(x);
}

double CPlotNavigation::WorldY(int y) const {
    return m_view.RowToWorldY(y);
}

void CPlotNavigation::ReadOut(CPoint p) {
    m_frame.ShowXY(WorldX(p.x), WorldY(p.y));
}

void CPlotNavigation::OnMouseWheel(int nDelta, CPoint p) {
    int steps = m_wheel.Add(nDelta);
    if (steps == 0) return;
    for (; steps > 0; --steps)
        m_view.ZoomStep(1);
    for (; steps < 0; ++steps)
        m_view.ZoomStep(-1);
    ReadOut(p);
    m_frame.ShowScale(m_view.GetScale());
}

void CPlotNavigation::OnKey(EPlotKey key, bool bCell, std::optional<CPoint> pointer) {
    const CPlane& plane = m_view.Plane();
    const int dx = bCell ? plane.m_nCellW : kKeyPanPixels;
    const int dy = bCell ? plane.m_nCellH : kKeyPanPixels;
    switch (key) {
    case EPlotKey::Left:
        m_view.MoveOrigin(-dx, 0);
        break;
    case EPlotKey::Right:
        m_view.MoveOrigin(dx, 0);
        break;
    case EPlotKey::Up:
        m_view.MoveOrigin(0, -dy);
        break;
    case EPlotKey::Down:
        m_view.MoveOrigin(0, dy);
        break;
    case EPlotKey::ZoomIn:
    case EPlotKey::ZoomOut:
        m_view.ZoomStep(key == EPlotKey::ZoomIn ? 1 : -1);
        m_frame.ShowScale(m_view.GetScale());
        break;
    case EPlotKey::Home: {
        // The reset zoom's rule for the cells, and the origin where a new document puts it.
        CPlane next = plane;
        next.TakeScale(100);
        const CSize size = m_view.ClientSize();
        next.PlaceOrigin(m_view.OriginPlace(), EOriginCode::Ini, size.cx, size.cy);
        m_view.ChangePlane(next, size);
        m_frame.ShowScale(m_view.GetScale());
        break;
    }
    }
    if (pointer) ReadOut(*pointer);
}
