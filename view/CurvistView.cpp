// The view's state, loading the display parameters and the full repaint.

#include "view/CurvistView.h"

#include "settings/VisParam.h"

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
    m_renderer.ForgetCurves();
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

CViewStyle StyleFromVisParam(const CVisParam& vp) {
    CViewStyle style;
    style.m_x = vp.x;
    style.m_y = vp.y;
    return style;
}

void TakeVisMeasures(CPlane& plane, const CVisParam& vp) {
    plane.m_nBaseCellW = UsableCellSize(vp.x.nCell);
    plane.m_nBaseCellH = UsableCellSize(vp.y.nCell);
    plane.m_dUnitX = UnitFromSpeed(UsableSpeed(vp.x.nSpeed));
    plane.m_dUnitY = UnitFromSpeed(UsableSpeed(vp.y.nSpeed));
}

void CCurvistView::TakeDisplayParams(const CVisParam& vp) {
    m_style = StyleFromVisParam(vp);
    TakeVisMeasures(m_plane, vp);
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

CSurfaceAccount* CCurvistView::AccountOf(const Dc& dc) {
    return m_pHost && &dc == m_pHost->ClientDc() ? &m_surface : nullptr;
}

void CCurvistView::OnDraw(Dc& dc) {
    if (m_pDoc && m_pDoc->m_bResetOrigin) {
        m_pDoc->m_bResetOrigin = false;
        m_plane.PlaceOrigin(m_nOriginPlace, EOriginCode::Ini, m_nClientW, m_nClientH);
    }
    if (m_pDoc && m_pDoc->m_bRefillList) {
        m_pDoc->m_bRefillList = false;
        m_renderer.ForgetCurves(); // the records it knew are gone
        if (m_pFunList) {
            m_pFunList->DeleteAllRows();
            for (const auto& f : m_pDoc->m_arFuns)
                m_pFunList->AddItem(FunRowText(*f), f->m_bShow == 1, f->m_clrFun);
            m_pFunList->EnableProperties(false);
        }
    }
    m_renderer.Paint(dc, SceneAt(WindowSize()), true, AccountOf(dc));
}

bool CCurvistView::OnEraseBkgnd(Dc& dc) {
    CSceneRenderer::Fill(dc, SceneAt(WindowSize()), AccountOf(dc));
    return true;
}

void CCurvistView::OnSize(unsigned /*nType*/, int cx, int cy) {
    m_nClientW = cx;
    m_nClientH = cy;
}
