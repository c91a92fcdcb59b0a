#include "tools/PlotRender.h"

#include "platform/RasterDc.h"
#include "platform/qt/QPainterDc.h"
#include "platform/qt/QtTextRenderer.h"
#include "settings/VisParam.h"
#include "view/CurvistView.h"

#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <QSvgGenerator>

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

bool ParseInt(const char* begin, const char* end, int& v) {
    auto [p, ec] = std::from_chars(begin, end, v);
    return ec == std::errc() && p == end && begin != end;
}

bool EndsWith(const std::string& s, const char* suffix) {
    const std::size_t n = std::strlen(suffix);
    if (s.size() < n) return false;
    for (std::size_t i = 0; i < n; ++i) {
        char c = s[s.size() - n + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != suffix[i]) return false;
    }
    return true;
}

// Fonts need a QGuiApplication; without a display the offscreen platform serves.
void EnsureGuiApplication() {
    if (QGuiApplication::instance()) return;
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") &&
        !std::getenv("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "curvist-plot";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}

void Paint(CCurvistView& view, CSurfaceHost& host, Dc& dc) {
    host.dc = &dc;
    view.OnEraseBkgnd(dc);
    view.OnDraw(dc);
}

} // namespace

bool ParseRenderSize(const char* text, int& w, int& h) {
    const char* x = std::strchr(text, 'x');
    if (!x) return false;
    int a = 0, b = 0;
    if (!ParseInt(text, x, a) || !ParseInt(x + 1, x + std::strlen(x), b)) return false;
    if (a < 1 || a > kMaxRenderSide || b < 1 || b > kMaxRenderSide) return false;
    w = a;
    h = b;
    return true;
}

bool ParseRenderScale(const char* text, int& scale) {
    int p = 0;
    if (!ParseInt(text, text + std::strlen(text), p) || p < kMinScale || p > kMaxRenderScale)
        return false;
    scale = p;
    return true;
}

bool RenderPlot(CCurvistDoc& doc, const CPlotRenderOptions& opt, std::string& error) {
    EnsureGuiApplication();
    const int w = opt.width, h = opt.height;
    CCurvistView view(opt.iniPath.empty() ? DefaultVisParamPath() : opt.iniPath);
    CSurfaceHost host;
    host.size = {w, h};
    view.SetDocument(&doc);
    view.SetHost(&host);
    view.OnSize(0, w, h);
    view.m_nScale = opt.scale;
    view.m_nCellW = CCurvistView::ZoomedCell(view.m_nBaseCellW, opt.scale);
    view.m_nCellH = CCurvistView::ZoomedCell(view.m_nBaseCellH, opt.scale);
    doc.m_bResetOrigin = true;

    const QString path = QString::fromStdString(opt.out);
    if (EndsWith(opt.out, ".svg")) {
        QSvgGenerator gen;
        gen.setFileName(path);
        gen.setSize(QSize(w, h));
        gen.setViewBox(QRect(0, 0, w, h));
        gen.setTitle(QStringLiteral("Curvist"));
        QPainter painter;
        if (!painter.begin(&gen)) {
            error = "cannot write " + opt.out;
            return false;
        }
        CQPainterDc dc(&painter, w, h);
        Paint(view, host, dc);
        painter.end();
        return true;
    }
    if (EndsWith(opt.out, ".pdf")) {
        QPdfWriter writer(path);
        writer.setResolution(72); // one pixel of the view is one point of the page
        writer.setPageSize(QPageSize(QSizeF(w, h), QPageSize::Point));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter;
        if (!painter.begin(&writer)) {
            error = "cannot write " + opt.out;
            return false;
        }
        painter.setWindow(0, 0, w, h);
        painter.setViewport(0, 0, w, h);
        CQPainterDc dc(&painter, w, h);
        Paint(view, host, dc);
        painter.end();
        return true;
    }

    QImage image(w, h, QImage::Format_RGB32);
    if (image.isNull()) {
        error = "cannot allocate the picture";
        return false;
    }
    CQtTextRenderer text;
    RasterDc dc(reinterpret_cast<std::uint32_t*>(image.bits()), w, h,
                static_cast<int>(image.bytesPerLine() / 4), &text);
    Paint(view, host, dc);
    if (!image.save(path, "PNG")) {
        error = "cannot write " + opt.out;
        return false;
    }
    return true;
}
