// The view's state, the transforms, loading the display parameters and the full repaint.

#include "view/CurvistView.h"

#include "platform/RasterDc.h"
#include "settings/VisParam.h"
#include "view/VectorState.h"

#include <algorithm>

CCurvistView::CCurvistView() : CCurvistView(DefaultVisParamPath()) {}

CCurvistView::CCurvistView(std::string iniPath) : m_strIniPath(std::move(iniPath)) {
    LoadVisParam();
}

CCurvistView::~CCurvistView() {
    if (m_pDoc) m_pDoc->Editor().RemoveListener(this);
}

void CCurvistView::SetDocument(CCurvistDoc* pDoc) {
    if (m_pDoc) m_pDoc->Editor().RemoveListener(this);
    m_pDoc = pDoc;
    if (m_pDoc) m_pDoc->Editor().AddListener(this);
    m_pFunArray = pDoc ? &pDoc->m_arFuns : nullptr;
    m_curveCache.clear();
}

void CCurvistView::LoadVisParam() {
    TakeVisParam(::LoadVisParam(m_strIniPath));
}

void CCurvistView::TakeVisParam(const CVisParam& vp) {
    TakeDisplayParams(vp);
    m_nOriginPlace = vp.nOriginPlace;
    // At the starting zoom of 100 the cells are the base cells.
    m_plane.m_nCellW = m_plane.m_nBaseCellW;
    m_plane.m_nCellH = m_plane.m_nBaseCellH;
}

void CCurvistView::TakeDisplayParams(const CVisParam& vp) {
    m_style.m_bShowAxisX = vp.bShowAxisX;
    m_style.m_bShowAxisY = vp.bShowAxisY;
    m_style.m_bShowGridX = vp.bShowGridX;
    m_style.m_bShowGridY = vp.bShowGridY;
    m_style.m_bShowScaleX = vp.bShowScaleX;
    m_style.m_bShowScaleY = vp.bShowScaleY;
    m_style.m_nScalePlaceX = vp.nPlaceX;
    m_style.m_nScalePlaceY = vp.nPlaceY;
    m_plane.m_nBaseCellW = UsableCellSize(vp.nWidth);
    m_plane.m_nBaseCellH = UsableCellSize(vp.nHeight);
    m_plane.m_dUnitX = UnitFromSpeed(UsableSpeed(vp.nSpeedX));
    m_plane.m_dUnitY = UnitFromSpeed(UsableSpeed(vp.nSpeedY));
}

// --- Transforms -------------------------------------------------------------------------------

int CCurvistView::RoundRow(double r) {
    if (!(r > -2.1e9 && r < 2.1e9)) return r > 0 ? 2000000000 : -2000000000; // and NaN
    int row = static_cast<int>(r); // truncates toward zero
    const double f = r - row;
    if (row > 0 && f >= 0.5) ++row;
    if (row < 0 && f <= -0.5) --row;
    return row;
}

// --- Host access ------------------------------------------------------------------------------

CSize CCurvistView::WindowSize() const {
    return m_pHost ? m_pHost->WindowSize() : CSize{m_nClientW, m_nClientH};
}

Dc* CCurvistView::ClientDc() const {
    return m_pHost ? m_pHost->ClientDc() : nullptr;
}

void CCurvistView::Present() const {
    if (m_pHost) m_pHost->Present();
}

CDataFun* CCurvistView::FunAt(int index) const {
    if (!m_pFunArray || index < 0 || static_cast<std::size_t>(index) >= m_pFunArray->size())
        return nullptr;
    return (*m_pFunArray)[static_cast<std::size_t>(index)].get();
}

// --- Repaint ----------------------------------------------------------------------------------

void CCurvistView::OnDraw(Dc& dc) {
    if (m_pDoc && m_pDoc->m_bResetOrigin) {
        m_pDoc->m_bResetOrigin = false;
        m_plane.PlaceOrigin(m_nOriginPlace, EOriginCode::Ini, m_nClientW, m_nClientH);
    }
    if (m_pDoc && m_pDoc->m_bRefillList) {
        m_pDoc->m_bRefillList = false;
        m_curveCache.clear(); // the records it knew are gone
        if (m_pFunList) {
            m_pFunList->DeleteAllRows();
            for (const auto& f : m_pDoc->m_arFuns)
                m_pFunList->AddItem(FunRowText(*f), f->m_bShow == 1, f->m_clrFun);
            m_pFunList->EnableProperties(false);
        }
    }
    ClearUpperVectorState();
    const CSize win = WindowSize();
    if (win == CSize{m_nClientW, m_nClientH} && PaintSceneShared(dc, win.cx, win.cy, true)) return;
    const ESurface before = m_eSurface;
    m_bInScene = true;
    DrawGrid(dc, win.cx, win.cy, m_style.m_clrGrid);
    DrawAxes(dc, win.cx, win.cy, m_style.m_clrAxis);
    if (m_pFunArray)
        for (const auto& f : *m_pFunArray)
            if (f->m_bShow) DrawCurve(dc, *f, true);
    DrawScale(dc, m_style.m_clrScale);
    m_bInScene = false;
    // The labels of this pass use the client size, the grid and axes the window's; an erase
    // of the whole scene uses the client size for all three.
    if (win == CSize{m_nClientW, m_nClientH})
        SceneDrawn(dc, m_nClientW, m_nClientH, before);
    else
        NoteClientDrawing(dc);
}

bool CCurvistView::OnEraseBkgnd(Dc& dc) {
    const CSize win = WindowSize();
    dc.FillSolidRect(CRect{0, 0, win.cx, win.cy}, m_style.m_clrBack);
    if (m_pHost && &dc == m_pHost->ClientDc()) {
        const auto* raster = dynamic_cast<const RasterDc*>(&dc);
        m_eSurface = raster && win.cx >= raster->Width() && win.cy >= raster->Height()
                         ? ESurface::Blank
                         : ESurface::Unknown;
    }
    return true;
}

void CCurvistView::OnSize(unsigned /*nType*/, int cx, int cy) {
    m_nClientW = cx;
    m_nClientH = cy;
}
