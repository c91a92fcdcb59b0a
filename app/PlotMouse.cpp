#include "app/PlotMouse.h"

#include "view/CurvistView.h"
#include "view/ViewHost.h"

#include <algorithm>
#include <limits>

CPlotMouse::CPlotMouse(CCurvistView& view, IViewHost& host, IPlotFrame& frame)
    : m_view(view), m_host(host), m_frame(frame) {}

ECursor CPlotMouse::Cursor() const {
    if (m_frame.IsRealZoom()) return ECursor::Zoom;
    if (!m_view.m_bDragMove && !m_frame.IsRealMove()) return ECursor::Arrow;
    return ECursor::Move;
}

void CPlotMouse::OnLButtonDown(CPoint p) {
    if (m_frame.IsRealMove()) {
        m_view.m_ptDragStart = p;
        m_view.m_bDragMove = true;
    }
    if (m_frame.IsRealZoom()) {
        m_view.m_bDragZoom = true;
        m_view.m_nZoomAnchorY = p.y;
    }
}

void CPlotMouse::OnLButtonUp() {
    m_view.m_bDragMove = false;
    m_view.m_bDragZoom = false;
}

void CPlotMouse::OnMButtonDown(CPoint p) {
    m_view.m_ptDragStart = p;
    m_view.m_bDragMove = true;
}

void CPlotMouse::OnMButtonUp() {
    m_view.m_bDragMove = false;
}

void CPlotMouse::OnMouseMove(CPoint p) {
    if (m_view.m_bDragZoom && !ZoomStage(p)) return;
    if (m_view.m_bDragMove) {
        MoveStage(p);
        return;
    }
    ReadOut(p);
}

bool CPlotMouse::ZoomStage(CPoint p) {
    const int d = (m_view.m_nZoomAnchorY - p.y) / 5;
    if (d != 0) m_view.m_nZoomAnchorY = p.y;
    // Saturating like the zoom commands, so that a long drag cannot overflow the scale.
    const long long scale = static_cast<long long>(m_view.m_nScale) + 5LL * d;
    constexpr long long kMaxScale = std::numeric_limits<int>::max() - 10;
    m_view.m_nScale = static_cast<int>(std::clamp<long long>(scale, kMinScale, kMaxScale));
    const int w = CCurvistView::ZoomedCell(m_view.m_nBaseCellW, m_view.m_nScale);
    const int h = CCurvistView::ZoomedCell(m_view.m_nBaseCellH, m_view.m_nScale);
    // Only the width decides: a height change alone waits for the next step.
    if (w == m_view.m_nCellW) return false;

    const CSize win = m_host.WindowSize();
    Dc* dc = m_host.ClientDc();
    auto paint = [&](bool bDraw) {
        m_view.DrawGrid(*dc, win.cx, win.cy, bDraw ? m_view.m_clrGrid : m_view.m_clrBack);
        m_view.DrawAxes(*dc, win.cx, win.cy, bDraw ? m_view.m_clrAxis : m_view.m_clrBack);
        if (m_view.m_pFunArray)
            for (const auto& f : *m_view.m_pFunArray)
                m_view.DrawCurve(*dc, *f, bDraw);
        m_view.DrawScale(*dc, bDraw ? m_view.m_clrScale : m_view.m_clrBack);
    };
    if (dc) paint(false);
    m_view.m_nCellH = h;
    m_view.m_nCellW = w;
    if (dc) {
        paint(true);
        m_host.Present();
    }
    m_frame.ShowScale(m_view.m_nScale);
    return true;
}

void CPlotMouse::MoveStage(CPoint p) {
    m_view.RedrawAll(false);
    m_view.m_nOriginX -= m_view.m_ptDragStart.x - p.x;
    m_view.m_nOriginY -= m_view.m_ptDragStart.y - p.y;
    m_view.m_ptDragStart = p;
    m_view.RedrawAll(true);
}

double CPlotMouse::WorldX(int x) const {
    return static_cast<double>(x - m_view.m_nOriginX) / m_view.m_nCellW * m_view.m_dUnitX;
}

double CPlotMouse::WorldY(int y) const {
    return -(static_cast<double>(y - m_view.m_nOriginY) / m_view.m_nCellH * m_view.m_dUnitY);
}

void CPlotMouse::ReadOut(CPoint p) {
    m_frame.ShowXY(WorldX(p.x), WorldY(p.y));
}

void CPlotMouse::OnMouseWheel(int nDelta, CPoint p) {
    // A turn against the gathered direction starts afresh instead of undoing it first.
    if ((nDelta > 0 && m_nWheelDelta < 0) || (nDelta < 0 && m_nWheelDelta > 0)) m_nWheelDelta = 0;
    m_nWheelDelta += nDelta;
    bool bStepped = false;
    for (; m_nWheelDelta >= 120; m_nWheelDelta -= 120, bStepped = true)
        m_view.ZoomStep(1);
    for (; m_nWheelDelta <= -120; m_nWheelDelta += 120, bStepped = true)
        m_view.ZoomStep(-1);
    if (!bStepped) return;
    ReadOut(p);
    m_frame.ShowScale(m_view.m_nScale);
}
