#include "app/PlotWindow.h"

#include "app/AppMessage.h"
#include "doc/CurvistDoc.h"
#include "platform/qt/QPainterDc.h"
#include "settings/VisParamDlg.h"
#include "view/CurvistView.h"

#include <QPagedPaintDevice>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

CPlotWindow::CPlotWindow(CCurvistDoc* pDoc, CCurvistView* pView, QWidget* pParent)
    : QWidget(pParent), m_pDoc(pDoc), m_pView(pView) {
    // The back buffer covers every pixel; Qt need not clear anything first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    m_pView->SetHost(this);
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
    m_pView->OnEraseBkgnd(*m_pDc);
    m_pView->OnDraw(*m_pDc);
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

    // The origin placement and list refill belong to the next screen repaint.
    const bool bReset = m_pDoc->m_bResetOrigin, bRefill = m_pDoc->m_bRefillList;
    m_pDoc->m_bResetOrigin = m_pDoc->m_bRefillList = false;
    CQPainterDc dc(&painter, w, h);
    // The background goes on paper too: the axes are white and would vanish on white paper.
    m_pView->OnEraseBkgnd(dc);
    m_pView->OnDraw(dc);
    m_pDoc->m_bResetOrigin = bReset;
    m_pDoc->m_bRefillList = bRefill;
    return painter.end();
}

void CPlotWindow::OnDisplaySettings() {
    CVisParamDlg dlg(this, m_pView->IniPath());
    const bool bOk = m_runSettings ? m_runSettings(dlg) : dlg.DoModal() == QDialog::Accepted;
    if (!bOk) return;
    m_pView->ApplyDisplaySettings(dlg.Params());
    if (dlg.m_bSaveFailed)
        AppMessageBox(this, QMessageBox::Warning,
                      QStringLiteral("无法保存文件“%1”，新的显示参数只在本次运行中有效。")
                          .arg(QString::fromStdString(dlg.IniPath())));
}
