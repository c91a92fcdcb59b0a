#include "app/PlotWindow.h"

#include "app/AppMessage.h"
#include "app/PlotCursors.h"
#include "app/ReadOut.h"
#include "document/CurvistDoc.h"
#include "document/PiBound.h"
#include "platform/qt/ModalDialog.h"
#include "platform/qt/QPainterDc.h"
#include "platform/qt/QtStrings.h"
#include "settings/VisParamDlg.h"
#include "view/CurveTip.h"
#include "view/CurvistView.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QPagedPaintDevice>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>

namespace {

// The frame as the navigation sees it, looked up on each use: the window learns its frame
// after it is made. Without a frame no mode is on.
class CFrameLink : public IPlotModes {
  public:
    explicit CFrameLink(IPlotModesAndMenu* const& pFrame) : m_pFrame(pFrame) {}
    bool IsRealMove() const override { return m_pFrame && m_pFrame->IsRealMove(); }
    bool IsRealZoom() const override { return m_pFrame && m_pFrame->IsRealZoom(); }
    void ShowXY(double x, double y) override {
        if (m_pFrame) m_pFrame->ShowXY(x, y);
    }
    void ShowScale(int nScale) override {
        if (m_pFrame) m_pFrame->ShowScale(nScale);
    }

  private:
    IPlotModesAndMenu* const& m_pFrame;
};

CPoint ToPoint(const QPointF& pt) {
    const QPoint p = pt.toPoint();
    return {p.x(), p.y()};
}

} // namespace

CPlotWindow::CPlotWindow(CCurvistDoc* pDoc, CCurvistView* pView, QWidget* pParent)
    : QWidget(pParent), m_pDoc(pDoc), m_pView(pView),
      m_pFrameLink(std::make_unique<CFrameLink>(m_pFrame)),
      m_pMouse(std::make_unique<CPlotNavigation>(*pView, *m_pFrameLink)),
      m_curMove(MakeCursor(MoveCursorArt())), m_curZoom(MakeCursor(ZoomCursorArt())) {
    // The back buffer covers every pixel; Qt need not clear anything first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    // Every right-button press and release comes here; the menu opens on the release.
    setContextMenuPolicy(Qt::PreventContextMenu);
    m_pMoveTimer = new QTimer(this);
    m_pMoveTimer->setSingleShot(true);
    m_pMoveTimer->setInterval(0);
    connect(m_pMoveTimer, &QTimer::timeout, this, &CPlotWindow::FlushMouseMove);
    m_pView->SetHost(this);
    UpdateCursor();
}

CPlotWindow::~CPlotWindow() {
    m_pView->SetHost(nullptr);
}

void CPlotWindow::AllocateBuffer() {
    const int w = std::max(1, width()), h = std::max(1, height());
    m_pDc.reset();
    m_image = QImage(w, h, QImage::Format_RGB32);
    if (m_image.isNull()) return; // no surface: in-place drawing is skipped until the next size
    m_pDc = std::make_unique<RasterDc>(reinterpret_cast<std::uint32_t*>(m_image.bits()), w, h,
                                       static_cast<int>(m_image.bytesPerLine() / 4), &m_text);
}

void CPlotWindow::FullRepaint() {
    // Until the first show the size is not final; the show paints then.
    if (!m_bShown) return;
    if (!m_pDc || m_image.size() != QSize(std::max(1, width()), std::max(1, height())))
        AllocateBuffer();
    if (!m_pDc) return;
    m_pView->FullRepaint(*m_pDc);
    update();
}

void CPlotWindow::paintEvent(QPaintEvent* pEvent) {
    QPainter painter(this);
    if (m_image.isNull()) {
        painter.fillRect(pEvent->rect(), Qt::black);
        return;
    }
    painter.drawImage(pEvent->rect().topLeft(), m_image, pEvent->rect());
}

void CPlotWindow::resizeEvent(QResizeEvent* pEvent) {
    QWidget::resizeEvent(pEvent);
    m_pView->OnSize(0, width(), height());
    // Before the first show the size may still change; the show paints then.
    if (m_bShown) FullRepaint();
}

void CPlotWindow::showEvent(QShowEvent* pEvent) {
    QWidget::showEvent(pEvent);
    if (m_bShown) return;
    m_bShown = true;
    m_pView->OnSize(0, width(), height());
    FullRepaint();
}

void CPlotWindow::MessageBox(const std::string& text) {
    AppMessageBox(this, QMessageBox::Warning, QString::fromUtf8(text.c_str()));
}

bool CPlotWindow::Print(QPagedPaintDevice& device) {
    const int w = std::max(1, width()), h = std::max(1, height());
    QPainter painter;
    if (!painter.begin(&device)) return false;
    const QRect page = painter.viewport();
    const double s =
        std::min(static_cast<double>(page.width()) / w, static_cast<double>(page.height()) / h);
    painter.translate(page.x() + (page.width() - w * s) / 2,
                      page.y() + (page.height() - h * s) / 2);
    painter.scale(s, s);
    painter.setClipRect(0, 0, w, h);

    QPainterDc dc(&painter, w, h);
    CScene scene = m_pView->Scene();
    scene.size = {w, h};
    // The background goes on paper too: the axes are white and would vanish on white paper.
    CSceneRenderer().Render(dc, scene);
    return painter.end();
}

void CPlotWindow::OnDisplaySettings() {
    CVisParamDlg dlg(this, VisParamLocationFor(m_pView->IniPath()));
    if (RunModal(dlg) != QDialog::Accepted) return;
    m_pView->ApplyDisplaySettings(dlg.Params());
    // The origin preset applies on the next New and Open, once it is in the file; a file
    // that could not be written keeps the one before.
    if (!dlg.m_bSaveFailed) {
        m_pView->SetIniPath(dlg.IniPath());
        m_pView->SetOriginPlaceCode(dlg.Params().nOriginPlace);
    }
    if (dlg.m_bSaveFailed)
        AppMessageBox(this, QMessageBox::Warning,
                      QStringLiteral("无法保存文件“%1”，新的显示参数只在本次运行中有效。")
                          .arg(QString::fromStdString(dlg.IniPath())));
}

void CPlotWindow::UpdateCursor() {
    m_eCursor = m_pMouse->Cursor();
    switch (m_eCursor) {
    case ECursor::Arrow:
        setCursor(Qt::ArrowCursor);
        break;
    case ECursor::Move:
        setCursor(m_curMove);
        break;
    case ECursor::Zoom:
        setCursor(m_curZoom);
        break;
    }
}

// Qt grabs the mouse for this window while any button is down, which is the capture the
// drags need: moves and the release arrive here even outside the window.
void CPlotWindow::mousePressEvent(QMouseEvent* pEvent) {
    OnButtonDown(pEvent);
}

void CPlotWindow::OnButtonDown(QMouseEvent* pEvent) {
    FlushMouseMove();
    const CPoint p = ToPoint(pEvent->position());
    if (pEvent->button() == Qt::LeftButton)
        m_pMouse->OnLButtonDown(p);
    else if (pEvent->button() == Qt::MiddleButton)
        m_pMouse->OnMButtonDown(p);
    if (pEvent->button() == Qt::LeftButton || pEvent->button() == Qt::MiddleButton)
        m_dragButtons |= pEvent->button();
    UpdateCursor();
}

void CPlotWindow::EndDrags(Qt::MouseButtons buttons) {
    buttons &= m_dragButtons;
    if (!buttons) return;
    FlushMouseMove();
    m_dragButtons &= ~buttons;
    if (buttons & Qt::LeftButton) m_pMouse->OnLButtonUp();
    if (buttons & Qt::MiddleButton) m_pMouse->OnMButtonUp();
    UpdateCursor();
}

void CPlotWindow::focusOutEvent(QFocusEvent* pEvent) {
    EndDrags(m_dragButtons);
    QWidget::focusOutEvent(pEvent);
}

bool CPlotWindow::event(QEvent* pEvent) {
    if (pEvent->type() == QEvent::UngrabMouse || pEvent->type() == QEvent::WindowDeactivate)
        EndDrags(m_dragButtons);
    if (pEvent->type() == QEvent::ToolTip) {
        const auto* pHelp = static_cast<QHelpEvent*>(pEvent);
        const QString text = m_dragButtons ? QString() : CurveTipAt(pHelp->pos());
        if (text.isEmpty()) {
            QToolTip::hideText();
            pEvent->ignore();
        } else {
            // The tip goes as soon as the pointer leaves the reach it was found in.
            const QPoint reach(kCurveTipReach, kCurveTipReach);
            QToolTip::showText(pHelp->globalPos(), text, this,
                               QRect(pHelp->pos() - reach, pHelp->pos() + reach));
        }
        return true;
    }
    return QWidget::event(pEvent);
}

void CPlotWindow::mouseReleaseEvent(QMouseEvent* pEvent) {
    // The drag ends where the pointer really is, not where the last frame left it.
    FlushMouseMove();
    if (pEvent->button() == Qt::LeftButton)
        m_pMouse->OnLButtonUp();
    else if (pEvent->button() == Qt::MiddleButton)
        m_pMouse->OnMButtonUp();
    m_dragButtons &= ~pEvent->button();
    UpdateCursor();
    if (pEvent->button() == Qt::RightButton) OnContextMenu(pEvent->globalPosition().toPoint());
}

void CPlotWindow::mouseDoubleClickEvent(QMouseEvent* pEvent) {
    // A double click is a second press for the drags.
    OnButtonDown(pEvent);
}

void CPlotWindow::mouseMoveEvent(QMouseEvent* pEvent) {
    // A button released where this window did not see it: its drag ended before this move.
    EndDrags(m_dragButtons & ~pEvent->buttons());
    m_ptPendingMove = ToPoint(pEvent->position());
    m_bMovePending = true;
    m_ptPointer = m_ptPendingMove;
    m_bPointerIn = true;
    if (!m_pMoveTimer->isActive()) m_pMoveTimer->start();
}

void CPlotWindow::FlushMouseMove() {
    m_pMoveTimer->stop();
    if (!m_bMovePending) return;
    m_bMovePending = false;
    m_pMouse->OnMouseMove(m_ptPendingMove);
    UpdateCursor();
}

void CPlotWindow::wheelEvent(QWheelEvent* pEvent) {
    FlushMouseMove();
    m_pMouse->OnMouseWheel(pEvent->angleDelta().y(), ToPoint(pEvent->position()));
    pEvent->accept();
}

void CPlotWindow::OnContextMenu(const QPoint& ptGlobal) {
    // The menu takes the mouse: no release would reach the drags while it is open.
    EndDrags(m_dragButtons);
    if (!m_pFrame) return;
    std::unique_ptr<QMenu> pMenu = m_pFrame->BuildContextMenu(this, m_bFullScreen);
    QAction* pChosen = RunPopup(*pMenu, ptGlobal);
    pMenu.reset();
    if (pChosen) pChosen->trigger();
}

void CPlotWindow::OnPlaneKey(EPlotKey key, bool bCell) {
    FlushMouseMove();
    std::optional<CPoint> pointer;
    if (m_bPointerIn && rect().contains(m_ptPointer.x, m_ptPointer.y)) pointer = m_ptPointer;
    m_pMouse->OnKey(key, bCell, pointer);
}

void CPlotWindow::leaveEvent(QEvent* pEvent) {
    m_bPointerIn = false;
    QWidget::leaveEvent(pEvent);
}

QString CPlotWindow::CurveTipAt(const QPoint& p) const {
    const CFunArray& funs = m_pDoc->m_arFuns;
    const std::optional<CCurveHit> hit = CurveNear(m_pView->Plane(), funs, {p.x(), p.y()});
    if (!hit) return {};
    // The function as the list names it, the point as the read-out panes show it.
    const CDataFun& fun = *funs[hit->nIndex];
    QString tip = U("Y=") + FromCp936Elided(fun.m_strFun) + QStringLiteral("  x = ") +
                  ReadOutNumber(hit->x) + QStringLiteral("  y = ") + ReadOutNumber(hit->y);
    // A bounded domain is part of the curve; bounds of ±π read as π, as the lists show them.
    if (fun.m_strMin != kStrMinusInf || fun.m_strMax != kStrPlusInf) {
        auto bound = [](const std::string& text) {
            const std::string_view pi = PiBoundName(text);
            return pi.empty() ? FromCp936(text)
                              : QString::fromUtf8(pi.data(), static_cast<qsizetype>(pi.size()));
        };
        tip += QString::fromUtf8("  定义域 ") + bound(fun.m_strMin) + QString::fromUtf8(" 到 ") +
               bound(fun.m_strMax);
    }
    return tip;
}
