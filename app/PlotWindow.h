#pragma once
// The right-hand pane: the Qt window that shows the plot view. It keeps the back buffer that
// the view draws on and presents it; a full repaint happens only on first show, on resize and
// when the frame asks for one (after New and Open).

#include "platform/RasterDc.h"
#include "platform/qt/QtTextRenderer.h"
#include "view/ViewHost.h"

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>

class CCurvistDoc;
class CCurvistView;
class CVisParamDlg;
class QPagedPaintDevice;

class CPlotWindow : public QWidget, public IViewHost {
    Q_OBJECT
  public:
    CPlotWindow(CCurvistDoc* pDoc, CCurvistView* pView, QWidget* pParent = nullptr);
    ~CPlotWindow() override;

    CCurvistView* View() const { return m_pView; }
    const QImage& BackBuffer() const { return m_image; }

    // Background fill, then the view's OnDraw, into the back buffer; then presents it. Before
    // the first show this waits for the show.
    void FullRepaint();
    // The plane on a printer or PDF page, scaled to fit, through the same OnDraw. The view's
    // one-shot repaint flags are left for the screen.
    bool Print(QPagedPaintDevice& device);

    // Runs the display-parameter dialog and applies it in place.
    void OnDisplaySettings();
    // Runs the dialog; true when it closed with OK. Tests replace the modal run.
    using SettingsRunner = std::function<bool(CVisParamDlg&)>;
    void SetSettingsRunner(SettingsRunner runner) { m_runSettings = std::move(runner); }

    // --- IViewHost -----------------------------------------------------------------------
    Dc* ClientDc() override { return m_pDc.get(); }
    CSize WindowSize() override { return {width(), height()}; }
    void MessageBox(const std::string& text) override;
    void Present() override { update(); }

  signals:
    // Mouse input for the navigation that the view's mouse handling builds on.
    void mousePressed(QMouseEvent* pEvent);
    void mouseReleased(QMouseEvent* pEvent);
    void mouseMoved(QMouseEvent* pEvent);
    void mouseDoubleClicked(QMouseEvent* pEvent);
    void wheelTurned(QWheelEvent* pEvent);

  protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    void showEvent(QShowEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override { emit mousePressed(pEvent); }
    void mouseReleaseEvent(QMouseEvent* pEvent) override { emit mouseReleased(pEvent); }
    void mouseMoveEvent(QMouseEvent* pEvent) override { emit mouseMoved(pEvent); }
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override { emit mouseDoubleClicked(pEvent); }
    void wheelEvent(QWheelEvent* pEvent) override { emit wheelTurned(pEvent); }

  private:
    void AllocateBuffer();

    CCurvistDoc* m_pDoc;
    CCurvistView* m_pView;
    QImage m_image;
    CQtTextRenderer m_text;
    std::unique_ptr<RasterDc> m_pDc;
    bool m_bShown = false;
    SettingsRunner m_runSettings;
};
