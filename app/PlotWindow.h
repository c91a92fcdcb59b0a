#pragma once
// The right-hand pane: the Qt window that shows the plot view. It keeps the back buffer that
// the view draws on and presents it; a full repaint happens only on first show, on resize and
// when the frame asks for one (after New and Open).

#include "platform/RasterDc.h"
#include "platform/qt/QtTextRenderer.h"
#include "view/PlotNavigation.h"
#include "view/ViewHost.h"

#include <QCursor>
#include <QImage>
#include <QWidget>
#include <memory>

class CCurvistDoc;
class CCurvistView;
class QAction;
class QMenu;
class QPagedPaintDevice;
class QTimer;

// The real-time modes and read-out of the navigation, and the right-button menu made of the
// frame's own commands: what the frame that holds the plot window offers it.
class IPlotModesAndMenu : public IPlotModes {
  public:
    // The right-button menu, made of the frame's own command actions; it offers the way back
    // from full screen while bFullScreen is set.
    virtual std::unique_ptr<QMenu> BuildContextMenu(QWidget* pParent, bool bFullScreen) = 0;
};

class CPlotWindow : public QWidget, public IViewHost {
    Q_OBJECT
  public:
    CPlotWindow(CCurvistDoc* pDoc, CCurvistView* pView, QWidget* pParent = nullptr);
    ~CPlotWindow() override;

    CCurvistView* View() const { return m_pView; }
    // The frame that holds the window, or null: then no mode is on and the frame's commands
    // do nothing. Borrowed.
    void SetFrame(IPlotModesAndMenu* pFrame) { m_pFrame = pFrame; }
    // Whether the context menu offers the way back from full screen.
    bool IsFullScreen() const { return m_bFullScreen; }
    void SetFullScreen(bool bFull) { m_bFullScreen = bFull; }
    const QImage& BackBuffer() const { return m_image; }

    // Background fill, then the view's OnDraw, into the back buffer; then presents it. Before
    // the first show this waits for the show.
    void FullRepaint();
    // The plane on a printer or PDF page, scaled to fit, through the same OnDraw. The view's
    // one-shot repaint flags are left for the screen.
    bool Print(QPagedPaintDevice& device);

    // Runs the display-parameter dialog and applies it in place.
    void OnDisplaySettings();

    // --- Mouse navigation and the context menu -------------------------------------------------
    CPlotNavigation& Mouse() { return *m_pMouse; }
    // Shows the cursor that the modes and drags call for; the frame calls it after a toggle.
    void UpdateCursor();
    ECursor CurrentCursor() const { return m_eCursor; }
    // Moves wait for the next turn of the event loop so that a burst of them costs one frame;
    // this handles the latest one now (presses and releases do so first).
    void FlushMouseMove();
    // Builds the menu and shows it at the pointer (global coordinates).
    void OnContextMenu(const QPoint& ptGlobal);
    // One of the plane's keys (bCell: an arrow with Shift); the read-out follows the pointer.
    void OnPlaneKey(EPlotKey key, bool bCell);
    // The tip for the pointer resting at p: the nearest visible curve there, or empty.
    QString CurveTipAt(const QPoint& p) const;

    // --- IViewHost -----------------------------------------------------------------------
    Dc* ClientDc() override { return m_pDc.get(); }
    CSize WindowSize() override { return {width(), height()}; }
    void MessageBox(const std::string& text) override;
    void Present() override { update(); }

  protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    void showEvent(QShowEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override;
    void wheelEvent(QWheelEvent* pEvent) override;
    void leaveEvent(QEvent* pEvent) override;
    void focusOutEvent(QFocusEvent* pEvent) override;
    bool event(QEvent* pEvent) override;

  private:
    void AllocateBuffer();
    void OnButtonDown(QMouseEvent* pEvent);
    // Ends the drags of these buttons as their release would, for a release that went
    // elsewhere (the context menu, another window).
    void EndDrags(Qt::MouseButtons buttons);

    CCurvistDoc* m_pDoc;
    CCurvistView* m_pView;
    QImage m_image;
    CQtTextRenderer m_text;
    std::unique_ptr<RasterDc> m_pDc;
    bool m_bShown = false;

    IPlotModesAndMenu* m_pFrame = nullptr;
    bool m_bFullScreen = false;
    std::unique_ptr<IPlotModes> m_pFrameLink;
    std::unique_ptr<CPlotNavigation> m_pMouse;
    QCursor m_curMove;
    QCursor m_curZoom;
    ECursor m_eCursor = ECursor::Arrow;
    QTimer* m_pMoveTimer = nullptr;
    CPoint m_ptPendingMove;
    bool m_bMovePending = false;
    Qt::MouseButtons m_dragButtons; // left and middle buttons pressed here and not released
    CPoint m_ptPointer;             // the last place the pointer was seen, for the keys' read-out
    bool m_bPointerIn = false;
};
