#pragma once
// Mouse navigation of the plot view: the real-time move and zoom drags, the middle-button
// drag, the coordinate read-out and the wheel. Pure: the plot window turns Qt events into
// these calls and shows the cursor that Cursor() names.

#include "platform/Dc.h"

class CCurvistView;
class IViewHost;

// What the navigation needs from the main frame: its two mode flags and its read-out panes.
class IPlotFrame {
  public:
    virtual ~IPlotFrame() = default;
    virtual bool IsRealMove() const = 0;
    virtual bool IsRealZoom() const = 0;
    virtual void ShowXY(double x, double y) = 0;
    virtual void ShowScale(int nScale) = 0;
};

enum class ECursor { Arrow, Move, Zoom };

class CPlotMouse {
  public:
    // Borrowed; the view's drag fields (m_bDragMove, m_bDragZoom, m_ptDragStart,
    // m_nZoomAnchorY) hold the state, so the view alone tells what runs.
    CPlotMouse(CCurvistView& view, IViewHost& host, IPlotFrame& frame);

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

    // World coordinates of a client pixel, as the read-out shows them.
    double WorldX(int x) const;
    double WorldY(int y) const;

  private:
    // True when the drag zoom changed the cells (and so repainted).
    bool ZoomStage(CPoint p);
    void MoveStage(CPoint p);
    void ReadOut(CPoint p);

    CCurvistView& m_view;
    IViewHost& m_host;
    IPlotFrame& m_frame;
    int m_nWheelDelta = 0;
};
