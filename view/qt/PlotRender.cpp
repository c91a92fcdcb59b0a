#include "view/qt/PlotRender.h"

#include "platform/AtomicFile.h"
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

CScene SceneOf(const CCurvistView& view) {
    CScene scene = view.Scene();
    scene.size = {std::max(1, scene.size.cx), std::max(1, scene.size.cy)};
    return scene;
}

QImage RenderSceneImage(const CScene& scene) {
    EnsureGuiApplication();
    QImage image(scene.size.cx, scene.size.cy, QImage::Format_RGB32);
    if (image.isNull()) return image;
    CQtTextRenderer text;
    RasterDc dc(reinterpret_cast<std::uint32_t*>(image.bits()), scene.size.cx, scene.size.cy,
                static_cast<int>(image.bytesPerLine() / 4), &text);
    CSceneRenderer().Render(dc, scene);
    return image;
}

bool RenderScene(const CScene& scene, const std::string& format, QByteArray& bytes,
                 std::string& error) {
    EnsureGuiApplication();
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    const int w = scene.size.cx, h = scene.size.cy;
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
        CSceneRenderer().Render(dc, scene);
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
        CSceneRenderer().Render(dc, scene);
        painter.end();
        return true;
    }
    const QImage image = RenderSceneImage(scene);
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
    const CVisParam vp = LoadVisParam(opt.iniPath.empty() ? DefaultVisParamPath() : opt.iniPath);
    CScene scene{&doc.m_arFuns, {}, StyleFromVisParam(vp), {opt.width, opt.height}};
    TakeVisMeasures(scene.plane, vp);
    scene.plane.SetScale(opt.scale);
    scene.plane.PlaceOrigin(vp.nOriginPlace, EOriginCode::Ini, opt.width, opt.height);

    // The picture is made whole before the file is touched, and the file is replaced only once
    // the new one is complete: a failure leaves the old one as it was.
    QByteArray picture;
    std::string why;
    if (!RenderScene(scene, format, picture, why)) {
        error = FileErrorText("write", opt.out, why);
        return false;
    }
    if (!WriteFileAtomically(
            opt.out,
            std::string_view(picture.constData(), static_cast<std::size_t>(picture.size())),
            &error))
        return false;
    return true;
}
