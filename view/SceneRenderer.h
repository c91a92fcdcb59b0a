#pragma once
// The scene renderer: grid, axes, every visible curve and the tick labels of a document on a
// plane, drawn onto any Dc. It holds no view and touches no document flag; the window's
// repaint and in-place changes, pictures, printing, curvist-plot and the benchmarks all draw
// through it. Between paints it keeps the curves' polylines.

#include "document/CurvistDoc.h"
#include "platform/Dc.h"
#include "settings/VisParam.h"
#include "view/CurveCache.h"
#include "view/Plane.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// What the decorations show and where (the display parameters' record of each side), and the
// colours of the scene.
struct CViewStyle {
    CVisAxis m_x;
    CVisAxis m_y;
    COLORREF m_clrScale = RGB(0, 128, 0);
    COLORREF m_clrAxis = RGB(255, 255, 255);
    COLORREF m_clrGrid = RGB(98, 0, 100);
    COLORREF m_clrBack = RGB(0, 0, 0);
    friend bool operator==(const CViewStyle&, const CViewStyle&) = default;
};

// Everything one picture of the plane is drawn from. A picture for another medium (another
// pixel ratio, a colour scheme, a legend) is another field here, not another renderer.
struct CScene {
    const CFunArray* pFuns = nullptr; // the document's records; null draws no curve
    CPlane plane;
    CViewStyle style;
    CSize size;          // of the surface, in pixels: grid, axes, curves and labels reach it
    int nPixelRatio = 1; // surface pixels per pixel of the plane; only 1 is drawn
    friend bool operator==(const CScene&, const CScene&) = default;
};

// Everything that decides which pixels an erase of the whole scene paints: the surface, the
// scene as a whole value, and each record's list and domain (colour and visibility do not
// matter: an erase paints every curve in the background colour).
struct CSceneKey {
    struct CFunKey {
        const void* fun = nullptr;
        const CNodeList* nodes = nullptr;
        std::uint64_t stamp = 0, dMin = 0, dMax = 0;
        friend bool operator==(const CFunKey&, const CFunKey&) = default;
    };
    const void* dc = nullptr;
    CScene scene;
    std::vector<CFunKey> funs;
    friend bool operator==(const CSceneKey&, const CSceneKey&) = default;
};

// What a surface that outlives one paint (the window's back buffer) holds, kept by its owner
// between paints: when it holds nothing but the scene about to be erased, the erase is a fill.
class CSurfaceAccount {
  public:
    // Drawing the renderer cannot vouch for.
    void Forget() { m_eState = EState::Unknown; }
    // A fill in the background colour, which counts as blank when it covered the whole surface.
    void Filled(bool bWhole) { m_eState = bWhole ? EState::Blank : EState::Unknown; }

  private:
    friend class CSceneRenderer;
    enum class EState { Unknown, Blank, Scene };
    EState m_eState = EState::Unknown;
    CSceneKey m_key;
};

class CSceneRenderer {
  public:
    CSceneRenderer();
    ~CSceneRenderer();
    CSceneRenderer(const CSceneRenderer&) = delete;
    CSceneRenderer& operator=(const CSceneRenderer&) = delete;

    // The curve pass lifts the pen at values beyond kCurveWorldLimit and rows beyond
    // kCurveRowLimit: nothing is drawn there.
    static constexpr double kCurveWorldLimit = 1e9;
    static constexpr double kCurveRowLimit = 2e9;
    // The rounding rule of the curve pass; r must lie within +-2e9.
    static int RoundRow(double r);
    // "%5.2f" in the C locale, whatever the process locale is.
    static std::string FormatScale(double v);

    // A whole picture: the background filled, then the scene drawn.
    void Render(Dc& dc, const CScene& scene);
    // The background over the scene's size.
    static void Fill(Dc& dc, const CScene& scene, CSurfaceAccount* pSurface = nullptr);
    // The scene in its colours, or (bDraw false) every curve, hidden ones too, and the
    // decorations in the background colour: the erase half of an in-place change. A surface
    // account, when given, is read and kept up to date.
    void Paint(Dc& dc, const CScene& scene, bool bDraw, CSurfaceAccount* pSurface = nullptr);
    // One curve in its colour (nothing when hidden), or in the background colour.
    void DrawCurve(Dc& dc, const CScene& scene, CDataFun& fun, bool bDraw);
    static void DrawGrid(Dc& dc, const CScene& scene, COLORREF clr);
    static void DrawAxes(Dc& dc, const CScene& scene, COLORREF clr);
    static void DrawScale(Dc& dc, const CScene& scene, COLORREF clr);

    // Replaying a curve's last polyline when nothing it depends on changed; on by default.
    void EnableCurveCache(bool on);
    // The record is gone (or all of them are): its polyline goes too.
    void ForgetCurve(const CDataFun* fun) { m_curveCache.erase(fun); }
    void ForgetCurves() { m_curveCache.clear(); }
    // Threads that share a paint of the whole scene on a raster surface (the machine's cores
    // by default, at most 8). The pixels are the same for any count, and the same as with 0,
    // which draws every primitive in order on the calling thread, erases included.
    void SetDrawThreads(int nThreads);

  private:
    // The curve's polyline for the scene: the cached one, or a new pass.
    CCurvePolyline& PolylineOf(CDataFun& fun, const CScene& scene, CPassScratch& sc);
    bool IsCurrent(const CCurvePolyline& poly, const CDataFun& fun, const CScene& scene) const;
    void ComputePolyline(CDataFun& fun, CCurvePolyline& poly, const CScene& scene,
                         CPassScratch& sc) const;
    // One evaluating pass of the curve, recorded into `out`. Touches nothing but its
    // arguments, so passes of different records may run at the same time.
    static void CurvePass(CDataFun& fun, CCurvePolyline& out, const CScene& scene,
                          CPassScratch& sc);
    CPassScratch& Scratch(int worker);

    // The whole scene on a raster surface, shared between threads; false when it cannot be.
    bool PaintShared(Dc& dc, const CScene& scene, bool bDraw, CSurfaceAccount* pSurface);
    static CSceneKey MakeSceneKey(const Dc& dc, const CScene& scene);
    // After the whole scene was drawn on dc: what the surface holds now.
    static void SceneDrawn(const Dc& dc, const CScene& scene, CSurfaceAccount& surface,
                           CSurfaceAccount::EState before);

    // Per-thread buffers of the curve pass, kept across frames so a pass allocates nothing.
    std::vector<CPassScratch> m_scratch;
    bool m_bCurveCache = true;
    std::unordered_map<const CDataFun*, CCurvePolyline> m_curveCache;
    std::vector<std::pair<CDataFun*, CCurvePolyline*>> m_scenePolys, m_sceneTodo;
    int m_nDrawThreads = 0; // 0: not chosen yet; -1: every primitive in order
};
