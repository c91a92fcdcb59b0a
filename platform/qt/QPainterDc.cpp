#include "platform/qt/QPainterDc.h"

#include "platform/qt/QtStrings.h"
#include "platform/qt/QtTextRenderer.h"

#include <QFontMetrics>
#include <QPaintEngine>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace {

QColor ToQColor(COLORREF clr) {
    return QColor(GetRValue(clr), GetGValue(clr), GetBValue(clr));
}

QString ToQString(std::string_view text) {
    return FromCp936(std::string(text));
}

// Liang-Barsky: shrinks [t0, t1] of p + t * d to the part inside [lo, hi] on one axis.
bool ClipAxis(double p, double d, double lo, double hi, double& t0, double& t1) {
    if (d == 0) return p >= lo && p <= hi;
    double a = (lo - p) / d, b = (hi - p) / d;
    if (a > b) std::swap(a, b);
    t0 = std::max(t0, a);
    t1 = std::min(t1, b);
    return t0 <= t1;
}

} // namespace

QPainterDc::QPainterDc(QPainter* painter, int width, int height)
    : m_pPainter(painter), m_nWidth(width), m_nHeight(height) {}

COLORREF QPainterDc::SelectPen(COLORREF clr) {
    COLORREF old = m_clrPen;
    m_clrPen = clr;
    return old;
}

void QPainterDc::MoveTo(int x, int y) {
    m_ptCur = {x, y};
}

void QPainterDc::LineTo(int x, int y) {
    const CPoint from = m_ptCur;
    m_ptCur = {x, y};
    if (from == m_ptCur || !m_pPainter) return;
    // Qt's aliased raster engine paints a pixel right of and below its integer point, as GDI
    // does; vector devices get pixel centres so that a line covers the cells a pixel would.
    const QPaintEngine* engine = m_pPainter->paintEngine();
    const double centre = engine && engine->type() == QPaintEngine::Raster ? 0.0 : 0.5;
    const double x0 = from.x + centre, y0 = from.y + centre;
    const double dx = double(x) - from.x, dy = double(y) - from.y;
    double t0 = 0, t1 = 1;
    const double margin = 2;
    if (!ClipAxis(x0, dx, -margin, m_nWidth + margin, t0, t1) ||
        !ClipAxis(y0, dy, -margin, m_nHeight + margin, t0, t1))
        return;
    QPen pen(ToQColor(m_clrPen));
    pen.setWidth(1);
    pen.setCosmetic(true);
    // A flat cap stops the line at the end point's centre: the nearest a vector device comes
    // to leaving the end point out.
    pen.setCapStyle(Qt::FlatCap);
    m_pPainter->setPen(pen);
    m_pPainter->drawLine(QPointF(x0 + t0 * dx, y0 + t0 * dy), QPointF(x0 + t1 * dx, y0 + t1 * dy));
}

void QPainterDc::FillSolidRect(const CRect& rc, COLORREF clr) {
    if (!m_pPainter) return;
    const long long l = std::max(rc.left, -1), t = std::max(rc.top, -1);
    const long long r = std::min<long long>(rc.right, m_nWidth + 1LL);
    const long long b = std::min<long long>(rc.bottom, m_nHeight + 1LL);
    if (l >= r || t >= b) return;
    m_pPainter->fillRect(QRectF(double(l), double(t), double(r - l), double(b - t)), ToQColor(clr));
}

COLORREF QPainterDc::SetTextColor(COLORREF clr) {
    COLORREF old = m_clrText;
    m_clrText = clr;
    return old;
}

CFontSpec QPainterDc::SelectFont(const CFontSpec& font) {
    CFontSpec old = m_font;
    m_font = font;
    return old;
}

CSize QPainterDc::GetTextExtent(std::string_view text) {
    const QFont font = QtFontFor(m_font);
    const QFontMetrics fm(font);
    const int cell = m_font.height > 0 ? std::min(m_font.height, 1000) : fm.ascent() + fm.descent();
    return {fm.horizontalAdvance(ToQString(text)), cell};
}

void QPainterDc::TextOut(int x, int y, std::string_view text) {
    if (!m_pPainter || text.empty()) return;
    const QFont font = QtFontFor(m_font);
    const QFontMetrics fm(font);
    if (x > m_nWidth || y > m_nHeight || x < -100000 || y < -100000) return;
    m_pPainter->setFont(font);
    m_pPainter->setPen(ToQColor(m_clrText));
    m_pPainter->drawText(QPointF(x, double(y) + fm.ascent()), ToQString(text));
}
