#include "view/qt/PlotRender.h"

#include "platform/RasterDc.h"
#include "platform/qt/QPainterDc.h"
#include "platform/qt/QtTextRenderer.h"
#include "settings/VisParam.h"
#include "view/CurvistView.h"

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <QSvgGenerator>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

bool ParseInt(const char* begin, const char* end, int& v) {
    auto [p, ec] = std::from_chars(begin, end, v);
    return ec == std::errc() && p == end && begin != end;
}

// The raster formats Qt can write here, in lower case; svg is drawn by QSvgGenerator instead.
std::vector<std::string> RasterFormats() {
    std::vector<std::string> formats;
    for (const QByteArray& f : QImageWriter::supportedImageFormats()) {
        const std::string name = f.toLower().toStdString();
        if (name != "svg" && name != "svgz") formats.push_back(name);
    }
    return formats;
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

// The full repaint of doc in the scene on dc, by a view made for this one picture: the live
// view's surface, caches and in-place state stay as they are. The repaint flags are the
// screen's, so they are set aside while this view draws.
void PaintScene(CCurvistDoc& doc, const CPlotScene& scene, Dc& dc) {
    CCurvistView view(std::string{}); // the defaults; the scene supplies plane and style
    CSurfaceHost host;
    host.dc = &dc;
    host.size = {scene.width, scene.height};
    view.SetDocument(&doc);
    view.SetHost(&host);
    view.OnSize(0, scene.width, scene.height);
    view.SetPlane(scene.plane);
    view.SetStyle(scene.style);
    const bool bReset = doc.m_bResetOrigin, bRefill = doc.m_bRefillList;
    doc.m_bResetOrigin = doc.m_bRefillList = false;
    view.FullRepaint(dc);
    doc.m_bResetOrigin = bReset;
    doc.m_bRefillList = bRefill;
}

} // namespace

std::string FileErrorText(const char* verb, const std::string& path, const std::string& reason) {
    return std::string("cannot ") + verb + " \"" + path + "\": " + reason;
}

std::string PictureFormat(const std::string& out) {
    const std::string name = out.substr(out.find_last_of('/') + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos) return {};
    std::string ext = name.substr(dot + 1);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (ext == "svg" || ext == "pdf") return ext;
    EnsureGuiApplication(); // image format plugins are found through the application
    for (const std::string& f : RasterFormats())
        if (f == ext) return ext;
    return {};
}

std::string PictureFormatList() {
    EnsureGuiApplication();
    std::string list = ".png, .svg, .pdf";
    for (const std::string& f : RasterFormats())
        if (f != "png") list += ", ." + f;
    return list;
}

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

CPlotScene SceneOf(const CCurvistView& view) {
    const CSize size = view.ClientSize();
    return {view.Plane(), view.Style(), std::max(1, size.cx), std::max(1, size.cy)};
}

QImage RenderSceneImage(CCurvistDoc& doc, const CPlotScene& scene) {
    EnsureGuiApplication();
    QImage image(scene.width, scene.height, QImage::Format_RGB32);
    if (image.isNull()) return image;
    CQtTextRenderer text;
    RasterDc dc(reinterpret_cast<std::uint32_t*>(image.bits()), scene.width, scene.height,
                static_cast<int>(image.bytesPerLine() / 4), &text);
    PaintScene(doc, scene, dc);
    return image;
}

bool RenderScene(CCurvistDoc& doc, const CPlotScene& scene, const std::string& format,
                 QByteArray& bytes, std::string& error) {
    EnsureGuiApplication();
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    const int w = scene.width, h = scene.height;
    if (format == "svg") {
        QSvgGenerator gen;
        gen.setOutputDevice(&out);
        gen.setSize(QSize(w, h));
        gen.setViewBox(QRect(0, 0, w, h));
        gen.setTitle(QStringLiteral("Curvist"));
        QPainter painter;
        if (!painter.begin(&gen)) {
            error = "the SVG writer did not start";
            return false;
        }
        QPainterDc dc(&painter, w, h);
        PaintScene(doc, scene, dc);
        painter.end();
        return true;
    }
    if (format == "pdf") {
        QPdfWriter writer(&out);
        writer.setResolution(72); // one pixel of the view is one point of the page
        writer.setPageSize(QPageSize(QSizeF(w, h), QPageSize::Point));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter;
        if (!painter.begin(&writer)) {
            error = "the PDF writer did not start";
            return false;
        }
        painter.setWindow(0, 0, w, h);
        painter.setViewport(0, 0, w, h);
        QPainterDc dc(&painter, w, h);
        PaintScene(doc, scene, dc);
        painter.end();
        return true;
    }
    const QImage image = RenderSceneImage(doc, scene);
    if (image.isNull()) {
        error = "cannot allocate the picture";
        return false;
    }
    QImageWriter writer(&out, QByteArray::fromStdString(format));
    if (!writer.write(image)) {
        error = writer.errorString().toStdString();
        return false;
    }
    return true;
}

bool RenderPlot(CCurvistDoc& doc, const CPlotRenderOptions& opt, std::string& error) {
    EnsureGuiApplication();
    const std::string format = PictureFormat(opt.out);
    if (format.empty()) {
        error = FileErrorText("write", opt.out, "no picture format has that extension");
        return false;
    }
    // The window's start: the display parameters, the zoom, the origin preset of the file.
    const CCurvistView view(opt.iniPath.empty() ? DefaultVisParamPath() : opt.iniPath);
    CPlotScene scene{view.Plane(), view.Style(), opt.width, opt.height};
    scene.plane.SetScale(opt.scale);
    scene.plane.PlaceOrigin(view.OriginPlace(), EOriginCode::Ini, opt.width, opt.height);

    // The picture is made whole before the file is touched, so a failure leaves it as it was;
    // the file is opened here, not by the writers, so that a failure can say why.
    QByteArray picture;
    std::string why;
    if (!RenderScene(doc, scene, format, picture, why)) {
        error = FileErrorText("write", opt.out, why);
        return false;
    }
    QFile file(QFile::decodeName(opt.out.c_str()));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(picture) != picture.size() || !file.flush()) {
        error = FileErrorText("write", opt.out, file.errorString().toStdString());
        return false;
    }
    return true;
}
