#include "platform/RasterDc.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace {

constexpr COLORREF kBack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);

struct CSurface {
    int w, h;
    std::vector<std::uint32_t> bits;
    RasterDc dc;
    CSurface(int width, int height, ITextRenderer* text = nullptr)
        : w(width), h(height), bits(static_cast<size_t>(width) * height, RasterDc::ToPixel(kBack)),
          dc(bits.data(), width, height, width, text) {}
    std::set<std::pair<int, int>> PixelsOf(COLORREF clr) const {
        std::set<std::pair<int, int>> out;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (dc.GetPixel(x, y) == clr) out.insert({x, y});
        return out;
    }
};

using PixelSet = std::set<std::pair<int, int>>;

// The stepping rule written out per pixel: step i of max(|dx|, |dy|) sits at major offset i and
// minor offset round(i * |dminor| / |dmajor|) with ties toward the start; the end is left out.
PixelSet Reference(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, int w,
                   int h) {
    __extension__ typedef __int128 I128;
    PixelSet out;
    const std::int64_t dx = x1 - x0, dy = y1 - y0;
    const std::int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const bool xMajor = adx >= ady;
    const std::int64_t amaj = xMajor ? adx : ady, amin = xMajor ? ady : adx;
    if (amaj == 0) return out;
    const std::int64_t smaj = (xMajor ? dx : dy) < 0 ? -1 : 1,
                       smin = (xMajor ? dy : dx) < 0 ? -1 : 1;
    // Only the major coordinates on the surface can paint, which keeps huge lines cheap.
    const int ext = xMajor ? w : h;
    for (int m = 0; m < ext; ++m) {
        const std::int64_t i = ((xMajor ? m - x0 : m - y0)) * smaj;
        if (i < 0 || i >= amaj) continue;
        const std::int64_t q =
            static_cast<std::int64_t>((I128(2) * i * amin + amaj - 1) / (I128(2) * amaj));
        const std::int64_t minor = (xMajor ? y0 : x0) + smin * q;
        const std::int64_t px = xMajor ? m : minor, py = xMajor ? minor : m;
        if (px >= 0 && px < w && py >= 0 && py < h) out.insert({int(px), int(py)});
    }
    return out;
}

TEST(RasterDc, PixelFormatIsRgb32) {
    EXPECT_EQ(RasterDc::ToPixel(RGB(0x12, 0x34, 0x56)), 0xFF123456u);
    EXPECT_EQ(RasterDc::FromPixel(0xFF123456u), RGB(0x12, 0x34, 0x56));
}

TEST(RasterDc, LineToLeavesOutEndPointAndMovesThere) {
    struct Case {
        CPoint from, to;
        PixelSet pixels;
    };
    const Case cases[] = {
        {{1, 1}, {5, 1}, {{1, 1}, {2, 1}, {3, 1}, {4, 1}}},
        {{5, 1}, {1, 1}, {{5, 1}, {4, 1}, {3, 1}, {2, 1}}},
        {{2, 6}, {2, 3}, {{2, 6}, {2, 5}, {2, 4}}},
        {{0, 0}, {3, 3}, {{0, 0}, {1, 1}, {2, 2}}},
        {{6, 0}, {3, 3}, {{6, 0}, {5, 1}, {4, 2}}},
        // A tie between two rows goes to the row nearer the start.
        {{0, 0}, {4, 1}, {{0, 0}, {1, 0}, {2, 0}, {3, 1}}},
        {{4, 1}, {0, 0}, {{4, 1}, {3, 1}, {2, 1}, {1, 0}}},
        {{0, 0}, {1, 3}, {{0, 0}, {0, 1}, {1, 2}}},
        {{3, 3}, {3, 3}, {}},
    };
    for (const Case& c : cases) {
        CSurface s(8, 8);
        s.dc.SelectPen(kRed);
        s.dc.MoveTo(c.from.x, c.from.y);
        s.dc.LineTo(c.to.x, c.to.y);
        EXPECT_EQ(s.PixelsOf(kRed), c.pixels)
            << c.from.x << "," << c.from.y << " -> " << c.to.x << "," << c.to.y;
        EXPECT_EQ(s.dc.GetCurrentPosition(), c.to);
    }
}

TEST(RasterDc, PolylineJoinsWithoutGapsOrDoublePaintedCorners) {
    CSurface s(20, 20);
    s.dc.SelectPen(kRed);
    s.dc.MoveTo(2, 2);
    s.dc.LineTo(12, 5);
    s.dc.LineTo(6, 15);
    s.dc.LineTo(2, 2);
    // A closed path of lengths 10 + 10 + 13 paints each step once, corners included.
    EXPECT_EQ(s.PixelsOf(kRed).size(), 33u);
}

TEST(RasterDc, ClippedLinesPaintExactlyTheUnclippedSteps) {
    std::mt19937 rng(4);
    std::uniform_int_distribution<int> coord(-70, 110);
    for (int n = 0; n < 3000; ++n) {
        const int x0 = coord(rng), y0 = coord(rng), x1 = coord(rng), y1 = coord(rng);
        CSurface s(40, 30);
        s.dc.SelectPen(kRed);
        s.dc.MoveTo(x0, y0);
        s.dc.LineTo(x1, y1);
        ASSERT_EQ(s.PixelsOf(kRed), Reference(x0, y0, x1, y1, 40, 30))
            << x0 << "," << y0 << " -> " << x1 << "," << y1;
    }
}

TEST(RasterDc, HugeCoordinatesAreClippedBeforeStepping) {
    // Stepping four billion pixels would not finish in a test's lifetime.
    CSurface s(20, 20);
    s.dc.SelectPen(kRed);
    s.dc.MoveTo(5, -2000000000);
    s.dc.LineTo(6, 2000000000);
    PixelSet expected = {{5, 0}};
    for (int y = 1; y < 20; ++y)
        expected.insert({6, y});
    EXPECT_EQ(s.PixelsOf(kRed), expected);

    const int big = 2147483647, small = -2147483647 - 1;
    const CPoint lines[][2] = {
        {{small, small}, {big, big}},
        {{big, small}, {small, big}},
        {{-3, 1000000007}, {17, -999999}},
        {{small, 7}, {big, 9}},
        {{10, 10}, {big, 11}},
        {{-1999999999, 25}, {1999999999, -5}},
        {{0, small}, {0, big}},
        {{big, big}, {small, small}},
    };
    for (const auto& l : lines) {
        CSurface t(20, 20);
        t.dc.SelectPen(kRed);
        t.dc.MoveTo(l[0].x, l[0].y);
        t.dc.LineTo(l[1].x, l[1].y);
        EXPECT_EQ(t.PixelsOf(kRed), Reference(l[0].x, l[0].y, l[1].x, l[1].y, 20, 20))
            << l[0].x << "," << l[0].y << " -> " << l[1].x << "," << l[1].y;
    }
}

TEST(RasterDc, DrawingAgainInBackgroundColourErasesEverything) {
    std::mt19937 rng(9);
    std::uniform_int_distribution<int> coord(-30, 60);
    std::vector<CPoint> path;
    for (int i = 0; i < 200; ++i)
        path.push_back({coord(rng), coord(rng)});
    path.push_back({3, -2000000000});
    path.push_back({40, 2000000000});

    CSurface s(32, 24);
    CFontSpec font;
    auto draw = [&](COLORREF clr) {
        s.dc.SelectPen(clr);
        s.dc.MoveTo(path[0].x, path[0].y);
        for (const CPoint& p : path)
            s.dc.LineTo(p.x, p.y);
        s.dc.FrameRect({-2, 3, 17, 30}, clr);
        s.dc.SetTextColor(clr);
        s.dc.SelectFont(font);
        s.dc.TextOut(-4, 10, " -1.25");
    };
    draw(kRed);
    EXPECT_GT(s.PixelsOf(kRed).size(), 100u);
    draw(kBack);
    EXPECT_EQ(s.PixelsOf(kBack).size(), 32u * 24u);
}

TEST(RasterDc, FillAndFrameLeaveOutRightAndBottomEdges) {
    CSurface s(10, 8);
    s.dc.FillSolidRect({2, 3, 5, 6}, kRed);
    PixelSet fill;
    for (int y = 3; y < 6; ++y)
        for (int x = 2; x < 5; ++x)
            fill.insert({x, y});
    EXPECT_EQ(s.PixelsOf(kRed), fill);

    CSurface f(10, 8);
    f.dc.FrameRect({1, 1, 5, 4}, kRed);
    EXPECT_EQ(
        f.PixelsOf(kRed),
        (PixelSet{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {1, 2}, {4, 2}, {1, 3}, {2, 3}, {3, 3}, {4, 3}}));

    CSurface c(10, 8);
    c.dc.FillSolidRect({-5, -5, 100, 2}, kRed); // clipped to the surface
    c.dc.FillSolidRect({6, 6, 4, 7}, kRed);     // inverted: nothing
    c.dc.FrameRect({3, 3, 3, 9}, kRed);         // empty: nothing
    c.dc.FrameRect({-2147483647 - 1, 5, 2147483647, 7}, kRed);
    EXPECT_EQ(c.PixelsOf(kRed).size(), 10u * 2 + 10u * 2);
}

TEST(RasterDc, BuiltInFontFollowsCellHeightAndClips) {
    CSurface s(60, 40);
    s.dc.SelectFont({"Arial", 14});
    const CSize one = s.dc.GetTextExtent("0");
    EXPECT_EQ(one.cy, 14);
    EXPECT_EQ(s.dc.GetTextExtent(" 1.00"), (CSize{5 * one.cx, 14}));
    EXPECT_EQ(s.dc.SelectFont({"Arial", 28}).height, 14);
    EXPECT_EQ(s.dc.GetTextExtent("0"), (CSize{2 * one.cx, 28}));

    s.dc.SelectFont({"Arial", 14});
    s.dc.SetTextColor(kRed);
    s.dc.TextOut(10, 10, "-8");
    const PixelSet ink = s.PixelsOf(kRed);
    ASSERT_FALSE(ink.empty());
    for (const auto& [x, y] : ink) {
        EXPECT_GE(x, 10);
        EXPECT_LT(x, 10 + 2 * one.cx);
        EXPECT_GE(y, 10);
        EXPECT_LT(y, 24);
    }
    // Text half off every edge and absurd heights stay inside the surface.
    for (CPoint p : {CPoint{-7, -7}, CPoint{55, 35}, CPoint{-2147483647, 2147483647}})
        s.dc.TextOut(p.x, p.y, "12345");
    s.dc.SelectFont({"Arial", -2147483647 - 1});
    s.dc.TextOut(0, 0, "9");
}

} // namespace
