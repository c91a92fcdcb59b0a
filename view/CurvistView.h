#pragma once
// The plot view: the coordinate model of the plane and all its drawing. It draws on the Dc it
// is given and reaches its window only through IViewHost, so it runs without a display.

#include "document/CurvistDoc.h"
#include "platform/Dc.h"
#include "view/CurveCache.h"
#include "view/DrawWorkers.h"
#include "view/Plane.h"
#include "view/ViewHost.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

struct CVisParam;

inline constexpr const char* kMsgIndexLimit = "超出上、下限。";
inline constexpr int kDrawFunctionLimit = 50;

// What the decorations show and where, and the colours of the scene.
struct CViewStyle {
    std::int32_t m_bShowScaleY = 1;
    std::int32_t m_bShowScaleX = 1;
    int m_nScalePlaceY = 2;
    int m_nScalePlaceX = 2;
    std::int32_t m_bShowGridY = 1;
    std::int32_t m_bShowGridX = 1;
    std::int32_t m_bShowAxisY = 1;
    std::int32_t m_bShowAxisX = 1;
    COLORREF m_clrScale = RGB(0, 128, 0);
    COLORREF m_clrAxis = RGB(255, 255, 255);
    COLORREF m_clrGrid = RGB(98, 0, 100);
    COLORREF m_clrBack = RGB(0, 0, 0);
};

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
    // Take a whole plane or style without drawing (a renderer's start, tests).
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
    // The curve pass lifts the pen at values beyond kCurveWorldLimit and rows beyond
    // kCurveRowLimit: nothing is drawn there.
    static constexpr double kCurveWorldLimit = 1e9;
    static constexpr double kCurveRowLimit = 2e9;
    // The rounding rule of the curve pass; r must lie within +-2e9.
    static int RoundRow(double r);
    static int ZoomedCell(int base, int scale) { return CPlane::ZoomedCell(base, scale); }
    // "%5.2f" in the C locale, whatever the process locale is.
    static std::string FormatScale(double v);

    // --- Drawing ------------------------------------------------------------------------------
    double CalcValue(CNodeList& nodes, double x);
    void DrawCurve(Dc& dc, CDataFun& fun, bool bDraw);
    void DrawFunction(int nIndex);
    void DrawGrid(Dc& dc, int cx, int cy, COLORREF clr);
    void DrawAxes(Dc& dc, int cx, int cy, COLORREF clr);
    void DrawScale(Dc& dc, COLORREF clr);

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

    // Replaying a curve's last polyline when nothing it depends on changed; on by default.
    void EnableCurveCache(bool on);
    // Threads that share a redraw of the whole scene on a raster surface (the machine's cores
    // by default, at most 8). The pixels are the same for any count, and the same as with 0,
    // which draws every primitive in order on the calling thread, erases included.
    void SetDrawThreads(int nThreads);

  private:
    CSize WindowSize() const;
    Dc* ClientDc() const;
    void Present() const;
    CFunArray* Funs() const { return m_pFunArray; }
    CDataFun* FunAt(int index) const;
    // Erases the whole scene in the background colour, or draws it (the in-place redraw).
    void PaintScene(Dc& dc, int cx, int cy, bool bDraw);
    // The in-place change of anything the whole scene depends on: erase it over a cx x cy
    // area, change, draw it anew, present.
    void EraseChangeDraw(CSize size, const std::function<void()>& change);
    // The display values shared by loading and the display-parameter command: show flags,
    // placements, base cells and units (not the origin code, not the zoomed cells).
    void TakeDisplayParams(const CVisParam& vp);
    // The curve's polyline for the current state: the cached one, or a new pass.
    CCurvePolyline& PolylineOf(CDataFun& fun, CSize win, CPassScratch& sc, bool& bEvalError);
    bool IsCurrent(const CCurvePolyline& poly, const CDataFun& fun, CSize win) const;
    void ComputePolyline(CDataFun& fun, CCurvePolyline& poly, CSize win, CPassScratch& sc,
                         bool& bEvalError) const;
    // One evaluating pass of the curve, recorded into `out`. Touches nothing of the view but
    // its arguments, so passes of different records may run at the same time.
    void CurvePass(CDataFun& fun, CCurvePolyline& out, CSize win, CPassScratch& sc,
                   bool& bEvalError) const;
    CCurveKey MakeKey(const CDataFun& fun, CSize win) const;
    CPassScratch& Scratch(int worker);

    // Whole-scene erase and draw on the client surface, shared between threads (ScenePaint).
    bool PaintSceneShared(Dc& dc, int cx, int cy, bool bDraw);
    CSceneKey MakeSceneKey(const Dc& dc, int cx, int cy) const;
    // Drawing on the client surface that the scene bookkeeping cannot vouch for.
    void NoteClientDrawing(const Dc& dc);
    enum class ESurface;
    // After the whole scene was drawn on dc: what the client surface holds now.
    void SceneDrawn(const Dc& dc, int cx, int cy, ESurface before);

    CFunArray* m_pFunArray = nullptr;
    int m_nOriginPlace = 4;
    CPlane m_plane;
    CViewStyle m_style;
    int m_nClientW = 0;
    int m_nClientH = 0;
    bool m_bEvalError = false;

    CCurvistDoc* m_pDoc = nullptr;
    IViewHost* m_pHost = nullptr;
    IFunListSink* m_pFunList = nullptr;
    std::string m_strIniPath;

    // Per-thread buffers of the curve pass, kept across frames so a pass allocates nothing.
    std::vector<CPassScratch> m_scratch;

    bool m_bCurveCache = true;
    std::unordered_map<const CDataFun*, CCurvePolyline> m_curveCache;

    // What the client surface is known to hold: nothing but the background, exactly the
    // scene of m_sceneKey drawn over the background, or anything.
    enum class ESurface { Unknown, Blank, Scene };
    std::vector<std::pair<CDataFun*, CCurvePolyline*>> m_scenePolys, m_sceneTodo;
    ESurface m_eSurface = ESurface::Unknown;
    CSceneKey m_sceneKey;
    bool m_bInScene = false; // drawing for a whole-scene pass, which keeps its own account
    int m_nDrawThreads = 0;  // 0: not chosen yet; -1: every primitive in order
    std::unique_ptr<CDrawWorkers> m_pWorkers;
};
