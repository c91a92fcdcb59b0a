#pragma once
// Picture output of a document, for curvist-plot and the window: the scene renderer's whole
// picture into a raster picture (PNG, JPEG, ...) through the raster Dc, or into an SVG or PDF
// through QPainter.

#include "document/CurvistDoc.h"
#include "view/SceneRenderer.h"

#include <QImage>
#include <string>

class QByteArray;

struct CPlotRenderOptions {
    std::string out; // its extension picks the format (PictureFormat)
    int width = 800;
    int height = 600;
    std::string iniPath; // empty: "VisParam.ini" beside the executable
    int scale = 100;     // zoom in per cent
};

inline constexpr int kMaxRenderSide = 16384;
inline constexpr int kMaxRenderScale = 100000;

// "WxH" with both sides in 1..kMaxRenderSide.
bool ParseRenderSize(const char* text, int& w, int& h);
// A whole per cent in 10..kMaxRenderScale (10 is the lowest zoom the view has).
bool ParseRenderScale(const char* text, int& scale);

// The format an output name asks for by its extension, in lower case: "svg", "pdf", or a raster
// format Qt writes ("png", "jpg", "bmp", ...); empty when the extension names none of them.
std::string PictureFormat(const std::string& out);
// The extensions PictureFormat accepts, for messages: ".png, .svg, .pdf, .bmp, ...".
std::string PictureFormatList();

// Every message about a file has this shape: cannot VERB "PATH": REASON.
std::string FileErrorText(const char* verb, const std::string& path, const std::string& reason);

// Renders doc in the format PictureFormat names; on failure returns false with a reason in `error`.
// The origin is placed from "nOriginPlace" as after opening a file.
bool RenderPlot(CCurvistDoc& doc, const CPlotRenderOptions& opt, std::string& error);

class CCurvistView;

// The scene a view shows now, at its client size (at least 1 x 1).
CScene SceneOf(const CCurvistView& view);

// The whole picture of the scene, as a window of the scene's size would show it, made whole in
// memory in `format` (one that PictureFormat names) before any file or clipboard is touched.
// On failure `error` says why.
bool RenderScene(const CScene& scene, const std::string& format, QByteArray& out,
                 std::string& error);
// The same picture as a raster image; null when it cannot be allocated.
QImage RenderSceneImage(const CScene& scene);
