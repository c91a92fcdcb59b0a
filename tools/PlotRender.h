#pragma once
// curvist-plot's picture output: the full repaint of a document (background fill, then the
// view's OnDraw) into a PNG through the raster Dc, or into an SVG or PDF through QPainter.

#include "doc/CurvistDoc.h"

#include <string>

struct CPlotRenderOptions {
    std::string out; // ".png", ".svg" or ".pdf" (any case); anything else is PNG
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

// Renders doc; on failure returns false with a reason in `error`. The document's flags are
// set so that the origin is placed from "nOriginPlace" as after opening a file.
bool RenderPlot(CCurvistDoc& doc, const CPlotRenderOptions& opt, std::string& error);
