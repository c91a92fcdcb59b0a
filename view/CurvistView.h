#pragma once
// The plot view: the plane the window shows, the in-place changes (erase, change, draw) on the
// window's surface and the document's one-shot repaint flags. The scene renderer does the
// drawing; the view reaches its window only through IViewHost, so it runs without a display.

#include "document/CurvistDoc.h"
#include "platform/Dc.h"
#include "view/Plane.h"
#include "view/SceneRenderer.h"
#include "view/ViewHost.h"

#include <functional>
#include <string>

struct CVisParam;

inline constexpr const char* kMsgIndexLimit = "超出上、下限。";
inline constexpr int kDrawFunctionLimit = 50;

// The style the display parameters give.
CViewStyle StyleFromVisParam(const CVisParam& vp);
// Takes the display parameters' base cells and units into the plane; its cells and scale stay.
void TakeVisMeasures(CPlane& plane, const CVisParam& vp);

// Listens to the document's editor: it redraws what a change touched and never changes a
// record itself.
class CCurvistView : public IFunListListener {
  public:
    // Reads "VisParam.ini" beside the executable.
    CCurvistView();
    // Reads the display parameters from iniPath instead (tests, curvist-plot --ini).
    explicit CCurvistView(std::string iniPath);
    ~CCurvistView() override;
    CCurvistView(const CCurvistView&) = delete;
    CCurvistView& operator=(const CCurvistView&) = delete;

    // Wiring done by the window's initial update; all pointers are borrowed. The view listens
    // to the document's editor until it is given another document or destroyed.
    void SetDocument(CCurvistDoc* pDoc);
    void SetHost(IViewHost* pHost) { m_pHost = pHost; }
    void SetFunList(IFunListSink* pList) { m_pFunList = pList; }
    const std::string& IniPath() const { return m_strIniPath; }
    void SetIniPath(std::string path) { m_strIniPath = std::move(path); }

    // --- Repaint and window events -----------------------------------------------------------
    // Takes the display parameters from IniPath() through the settings module.
    void LoadVisParam();
    // Takes display parameters loaded elsewhere, the origin preset included, at zoom 100.
    void TakeVisParam(const CVisParam& vp);
    void OnDraw(Dc& dc);
    bool OnEraseBkgnd(Dc& dc);
    // The full repaint: the background fill, then OnDraw.
    void FullRepaint(Dc& dc) {
        OnEraseBkgnd(dc);
        OnDraw(dc);
    }
    void OnSize(unsigned nType, int cx, int cy);
    int GetScale() const { return m_plane.m_nScale; }

    // --- The plane and the style --------------------------------------------------------------
    const CPlane& Plane() const { return m_plane; }
    const CViewStyle& Style() const { return m_style; }
    CSize ClientSize() const { return {m_nClientW, m_nClientH}; }
    // Take a whole plane or style without drawing (tests).
    void SetPlane(const CPlane& plane) { m_plane = plane; }
    void SetStyle(const CViewStyle& style) { m_style = style; }
    // Erases the scene of the current plane on the client surface, takes `next`, draws the
    // scene anew and presents it; the paint covers a cx x cy area.
    void ChangePlane(const CPlane& next, CSize size);
    // Takes a zoom in per cent and redraws when the cells change; true when they did.
    bool ZoomTo(int scale);
    // Moves the origin by (dx, dy) pixels, erasing and redrawing.
    void MoveOrigin(int dx, int dy);
    // The origin preset the next New or Open places ("nOriginPlace" numbering).
    int OriginPlace() const { return m_nOriginPlace; }
    void SetOriginPlaceCode(int code) { m_nOriginPlace = code; }

    // --- Transforms (pixels of the client area <-> world) ------------------------------------
    double ColToWorldX(double col) const { return m_plane.ColToWorldX(col); }
    double RowToWorldY(double row) const { return m_plane.RowToWorldY(row); }
    double WorldYToRow(double y) const { return m_plane.WorldYToRow(y); }
    static int ZoomedCell(int base, int scale) { return CPlane::ZoomedCell(base, scale); }

    // --- Drawing ------------------------------------------------------------------------------
    // The scene the view shows at its client size, for pictures of it.
    CScene Scene() const { return SceneAt(ClientSize()); }
    CSceneRenderer& Renderer() { return m_renderer; }
    // One curve on dc, in its colour or the background's.
    void DrawCurve(Dc& dc, CDataFun& fun, bool bDraw);
    void DrawFunction(int nIndex);

    // --- In-place changes ---------------------------------------------------------------------
    void DrawScene(Dc& dc);
    void RedrawAll(bool bDraw);
    // A change of the function list: erase under the old state, then draw the new one.
    void OnFunListChanging(const CFunChange& change) override;
    void OnFunListChanged(const CFunChange& change) override;
    void ZoomStep(short direction);
    // Menu numbering: 0 centre, 1 left, 2 right, 3 top, 4 bottom, 5 top-left, 6 bottom-left,
    // 7 top-right, 8 bottom-right.
    void SetOriginPlace(int code);
    // The apply half of the display-parameter command: erase under the old values, take the
    // new ones (not the origin code), draw anew.
    void ApplyDisplaySettings(const CVisParam& vp);

  private:
    CSize WindowSize() const;
    Dc* ClientDc() const;
    void Present() const;
    CDataFun* FunAt(int index) const;
    CScene SceneAt(CSize size) const { return {m_pFunArray, m_plane, m_style, size}; }
    // The account of dc when it is the window's surface, which outlives a paint.
    CSurfaceAccount* AccountOf(const Dc& dc);
    // Erases the whole scene in the background colour, or draws it (the in-place redraw).
    void PaintScene(Dc& dc, int cx, int cy, bool bDraw);
    // The in-place change of anything the whole scene depends on: erase it over a cx x cy
    // area, change, draw it anew, present.
    void EraseChangeDraw(CSize size, const std::function<void()>& change);
    // The display values shared by loading and the display-parameter command: show flags,
    // placements, base cells and units (not the origin code, not the zoomed cells).
    void TakeDisplayParams(const CVisParam& vp);

    CFunArray* m_pFunArray = nullptr;
    int m_nOriginPlace = 4;
    CPlane m_plane;
    CViewStyle m_style;
    int m_nClientW = 0;
    int m_nClientH = 0;

    CCurvistDoc* m_pDoc = nullptr;
    IViewHost* m_pHost = nullptr;
    IFunListSink* m_pFunList = nullptr;
    std::string m_strIniPath;

    CSceneRenderer m_renderer;
    CSurfaceAccount m_surface; // of the host's surface
};
