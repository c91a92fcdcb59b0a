#pragma once
// Pointer navigation of the plot view: the real-time move and zoom drags, the middle-button
// drag, the coordinate read-out and the wheel. Pure: the plot window turns its events into
// these calls and shows the cursor that Cursor() names; the view changes only through its
// operations.

#include "platform/Dc.h"
#include "platform/WheelSteps.h"

#include <optional>

class CCurvistView;

// The two real-time modes the navigation follows and the read-out panes it fills.
class IPlotModes {
  public:
    virtual ~IPlotModes() = default;
    virtual bool IsRealMove() const = 0;
    virtual bool IsRealZoom() const = 0;
    virtual void ShowXY(double x, double y) = 0;
    virtual void ShowScale(int nScale) = 0;
};

enum class ECursor { Arrow, Move, Zoom };

// The keys of the plane, whatever key of the keyboard stands for them.
enum class EPlotKey { Left, Right, Up, Down, ZoomIn, ZoomOut, Home };
inline constexpr int kKeyPanPixels = 10;

class CPlotNavigation {
  public:
    // Both borrowed.
    CPlotNavigation(CCurvistView& view, IPlotModes& frame);

    // The cursor for the current modes and drags.
    ECursor Cursor() const;

    void OnLButtonDown(CPoint p);
    void OnLButtonUp();
    void OnMButtonDown(CPoint p);
    void OnMButtonUp();
    // Zoom stage, move stage, read-out stage, in this order.
    void OnMouseMove(CPoint p);
    // Vertical wheel delta in eighths of a degree; one zoom step per 120, small touchpad
    // deltas add up. p is the pointer in client pixels.
    void OnMouseWheel(int nDelta, CPoint p);

    // A key on the plane. The arrows move the plane that way by ten pixels, or by one cell
    // with bCell; the zoom keys step like the toolbar; Home goes back to 100 % and the origin
    // preset. The read-out follows for the pointer when it is over the plane.
    void OnKey(EPlotKey key, bool bCell, std::optional<CPoint> pointer);

    // World coordinates of a client pixel, as the read-out shows them.
    double WorldX(int x) const;
    double WorldY(int y) const;

    // The drag state.
    bool IsDragMove() const { return m_bDragMove; }
    bool IsDragZoom() const { return m_bDragZoom; }
    CPoint DragStart() const { return m_ptDragStart; }
    int ZoomAnchorY() const { return m_nZoomAnchorY; }

  private:
    // True when the drag zoom changed the cells (and so repainted).
    bool ZoomStage(CPoint p);
    void MoveStage(CPoint p);
    void ReadOut(CPoint p);

    CCurvistView& m_view;
    IPlotModes& m_frame;
    bool m_bDragMove = false;
    bool m_bDragZoom = false;
    CPoint m_ptDragStart;
    int m_nZoomAnchorY = 0;
    CWheelSteps m_wheel;
};
