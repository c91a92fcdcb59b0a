#include "platform/RasterDc.h"
#include "platform/qt/QPainterDc.h"
#include "platform/qt/QtTextRenderer.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

namespace {

constexpr COLORREF kBack = RGB(0, 0, 0);
constexpr COLORREF kLabel = RGB(0, 128, 0);

TEST(QtTextRenderer, LabelsAreOneColourAndEraseExactly) {
    CQtTextRenderer text;
    const int w = 200, h = 60;
    std::vector<std::uint32_t> bits(w * h, RasterDc::ToPixel(kBack));
    RasterDc dc(bits.data(), w, h, w, &text);
    dc.SelectFont({"Arial", 14});
    const CSize ext = dc.GetTextExtent(" -1.25");
    EXPECT_EQ(ext.cy, 14);
    EXPECT_GT(ext.cx, 20);
    EXPECT_LT(ext.cx, 80);

    auto draw = [&](COLORREF clr) {
        dc.SetTextColor(clr);
        for (const char* s : {" -1.25", " 6.00", "Y=x^2", "-\xA1\xDE"})
            dc.TextOut(5, 5, s);
        dc.TextOut(-12, 50, "1234.50"); // half off the surface
        dc.TextOut(190, -7, " 3.00");
    };
    draw(kLabel);
    std::set<std::uint32_t> colours(bits.begin(), bits.end());
    // No antialiasing: only the background and the text colour occur.
    EXPECT_EQ(colours,
              (std::set<std::uint32_t>{RasterDc::ToPixel(kBack), RasterDc::ToPixel(kLabel)}));
    const auto inked = std::count(bits.begin(), bits.end(), RasterDc::ToPixel(kLabel));
    EXPECT_GT(inked, 50);
    // Pixels stay inside the cell rows of the text.
    for (int y = 19; y < 50 - 0; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(dc.GetPixel(x, y), kBack) << x << "," << y;

    draw(kBack);
    EXPECT_EQ(std::count(bits.begin(), bits.end(), RasterDc::ToPixel(kBack)), w * h);
}

TEST(QtTextRenderer, CellHeightFollowsTheRequest) {
    CQtTextRenderer text;
    for (int height : {10, 14, 20, 32}) {
        const QFontMetrics fm(QtFontFor({"Arial", height}));
        EXPECT_LE(fm.ascent() + fm.descent(), height);
        EXPECT_GE(fm.ascent() + fm.descent(), height - 3) << height;
        EXPECT_EQ(text.Extent({"Arial", height}, "0").cy, height);
    }
}

TEST(QPainterDc, DrawsLikeTheRasterDcOnAnImage) {
    QImage img(40, 30, QImage::Format_RGB32);
    img.fill(Qt::black);
    {
        QPainter p(&img);
        QPainterDc dc(&p, 40, 30);
        dc.SelectPen(RGB(255, 0, 0));
        dc.MoveTo(2, 3);
        dc.LineTo(10, 3);
        dc.LineTo(10, 3); // zero length: nothing
        dc.MoveTo(20, -2000000000);
        dc.LineTo(20, 2000000000); // clipped, not stepped
        dc.FillSolidRect({30, 20, 33, 22}, RGB(0, 0, 255));
        dc.FrameRect({0, 25, 5, 30}, RGB(0, 255, 0));
        EXPECT_EQ(dc.GetCurrentPosition(), (CPoint{20, 2000000000}));
    }
    auto at = [&](int x, int y) { return img.pixel(x, y) & 0xFFFFFF; };
    for (int x = 2; x < 10; ++x)
        EXPECT_EQ(at(x, 3), 0xFF0000u) << x;
    EXPECT_EQ(at(1, 3), 0u);
    EXPECT_EQ(at(11, 3), 0u);
    for (int y = 0; y < 30; ++y)
        EXPECT_EQ(at(20, y), 0xFF0000u) << y;
    int blue = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            blue += at(x, y) == 0x0000FFu;
    EXPECT_EQ(blue, 6);
    EXPECT_EQ(at(0, 25), 0x00FF00u);
    EXPECT_EQ(at(4, 29), 0x00FF00u);
    EXPECT_EQ(at(2, 27), 0u);
}

TEST(QPainterDc, VectorOutputStaysNearTheArea) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(100, 80));
    svg.setViewBox(QRect(0, 0, 100, 80));
    {
        QPainter p(&svg);
        QPainterDc dc(&p, 100, 80);
        dc.MoveTo(-2147483647, 40);
        dc.LineTo(2147483647, 41);
        dc.SelectFont({"Arial", 14});
        dc.SetTextColor(kLabel);
        dc.TextOut(10, 10, " 1.00");
    }
    const QByteArray out = buffer.data();
    EXPECT_TRUE(out.contains("1.00"));
    EXPECT_FALSE(out.contains("2147483"));
    EXPECT_FALSE(out.contains("e+"));
}

} // namespace
