// Grid, axes and tick labels. Each takes its colour, so drawing again in the background
// colour erases exactly what was drawn.

#include "view/SceneRenderer.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>

namespace {

constexpr int kArrowLen = 15;
constexpr int kArrowHalf = 5;
constexpr int kThinWidth = 40;
const CFontSpec kLabelFont{"Arial", 14};
// A label anchored this far outside the area cannot reach into it (the widest "%5.2f" text of
// a double is a few hundred characters of a 14-pixel font), so its run starts nearer.
constexpr std::int64_t kLabelMargin = 4096;

// Coordinates formed in 64 bits go to the Dc as ints; the Dc clips anything this far out.
int Px(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) { // b > 0
    return a >= 0 ? (a + b - 1) / b : -((-a) / b);
}

} // namespace

std::string CSceneRenderer::FormatScale(double v) {
    char buf[400];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 2);
    std::string s = ec == std::errc() ? std::string(buf, end) : std::string();
    if (s.size() < 5) s.insert(0, 5 - s.size(), ' ');
    return s;
}

void CSceneRenderer::DrawGrid(Dc& dc, const CScene& scene, COLORREF clr) {
    const CPlane& plane = scene.plane;
    const CViewStyle& style = scene.style;
    const int cx = scene.size.cx, cy = scene.size.cy;
    const COLORREF oldPen = dc.SelectPen(clr);
    const bool erase = clr == style.m_clrBack;
    if (style.m_x.bShowGrid || erase) {
        const std::int64_t cell = std::max(1, plane.m_nCellH);
        for (std::int64_t y = plane.m_nOriginY % cell; y < cy; y += cell) {
            dc.MoveTo(0, Px(y));
            dc.LineTo(cx, Px(y));
        }
    }
    if (style.m_y.bShowGrid || erase) {
        const std::int64_t cell = std::max(1, plane.m_nCellW);
        for (std::int64_t x = plane.m_nOriginX % cell; x <= cx; x += cell) {
            dc.MoveTo(Px(x), 0);
            dc.LineTo(Px(x), cy);
        }
    }
    dc.SelectPen(oldPen);
}

void CSceneRenderer::DrawAxes(Dc& dc, const CScene& scene, COLORREF clr) {
    const CViewStyle& style = scene.style;
    const int cx = scene.size.cx, cy = scene.size.cy;
    const std::int64_t ox = scene.plane.m_nOriginX, oy = scene.plane.m_nOriginY, w = cx;
    const COLORREF oldPen = dc.SelectPen(clr);
    const bool erase = clr == style.m_clrBack;
    if (style.m_x.bShowAxis || erase) {
        dc.MoveTo(0, Px(oy));
        dc.LineTo(cx, Px(oy));
        dc.LineTo(Px(w - kArrowLen), Px(oy - kArrowHalf));
        dc.MoveTo(cx, Px(oy));
        dc.LineTo(Px(w - kArrowLen), Px(oy + kArrowHalf));
    }
    if (style.m_y.bShowAxis || erase) {
        dc.MoveTo(Px(ox), 0);
        dc.LineTo(Px(ox), cy);
        dc.MoveTo(Px(ox), 0);
        dc.LineTo(Px(ox - kArrowHalf), kArrowLen);
        dc.MoveTo(Px(ox), 0);
        dc.LineTo(Px(ox + kArrowHalf), kArrowLen);
    }
    dc.SelectPen(oldPen);
}

void CSceneRenderer::DrawScale(Dc& dc, const CScene& scene, COLORREF clr) {
    const CPlane& plane = scene.plane;
    const CViewStyle& style = scene.style;
    dc.SetTextColor(clr); // stays on the Dc, as the text mode does
    const CFontSpec oldFont = dc.SelectFont(kLabelFont);

    const std::int64_t cw = std::max(1, plane.m_nCellW), ch = std::max(1, plane.m_nCellH);
    // Every (k + 1)-th line from the origin gets a label; narrow cells are thinned.
    const std::int64_t period = (cw <= kThinWidth ? kThinWidth / cw : 0) + 1;
    const std::int64_t ox = plane.m_nOriginX, oy = plane.m_nOriginY;
    const std::int64_t W = scene.size.cx, H = scene.size.cy;

    auto yLabel = [&](std::int64_t row, bool below) {
        const std::string text = FormatScale(
            -(static_cast<double>(row - oy) / static_cast<double>(ch) * plane.m_dUnitY));
        const CSize ext = dc.GetTextExtent(text);
        std::int64_t left;
        switch (style.m_y.nPlace) {
        case 0:
            left = ox - ext.cx - 1;
            break;
        case 1:
            left = below ? ox + 2 : ox + 1;
            break;
        case 2:
            left = W - ext.cx - 1;
            break;
        case 3:
            left = 1;
            break;
        default:
            return;
        }
        dc.TextOut(Px(left), Px(row - ext.cy / 2), text);
    };
    auto xLabel = [&](std::int64_t col) {
        const std::string text =
            FormatScale(static_cast<double>(col - ox) / static_cast<double>(cw) * plane.m_dUnitX);
        const CSize ext = dc.GetTextExtent(text);
        std::int64_t top;
        switch (style.m_x.nPlace) {
        case 0:
            top = oy + 2;
            break;
        case 1:
            top = oy - ext.cy;
            break;
        case 2:
            top = H - ext.cy;
            break;
        case 3:
            top = 1;
            break;
        default:
            return;
        }
        dc.TextOut(Px(col - ext.cx / 2), Px(top), text);
    };

    const bool placedY = style.m_y.nPlace >= 0 && style.m_y.nPlace <= 3;
    const bool placedX = style.m_x.nPlace >= 0 && style.m_x.nPlace <= 3;
    if (style.m_y.bShowScale && placedY) {
        // Below the origin: rows oy + i*ch while row < H - 1.
        for (std::int64_t i = std::max<std::int64_t>(1, CeilDiv(-kLabelMargin - oy, ch));
             oy + i * ch < H - 1; ++i)
            if (i % period == 0) yLabel(oy + i * ch, true);
        // Above it: rows oy - i*ch while row > 0.
        for (std::int64_t i = std::max<std::int64_t>(1, CeilDiv(oy - H - kLabelMargin, ch));
             oy - i * ch > 0; ++i)
            if (i % period == 0) yLabel(oy - i * ch, false);
    }
    if (style.m_x.bShowScale && placedX) {
        // Left of the origin: columns ox - i*cw while col > 0.
        for (std::int64_t i = std::max<std::int64_t>(1, CeilDiv(ox - W - kLabelMargin, cw));
             ox - i * cw > 0; ++i)
            if (i % period == 0) xLabel(ox - i * cw);
        // Right of it: columns ox + i*cw while col < W - 1.
        for (std::int64_t i = std::max<std::int64_t>(1, CeilDiv(-kLabelMargin - ox, cw));
             ox + i * cw < W - 1; ++i)
            if (i % period == 0) xLabel(ox + i * cw);
    }
    dc.SelectFont(oldFont);
}
