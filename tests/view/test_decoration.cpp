// Grid, axes and tick labels.

#include "ViewFixture.h"

#include <clocale>
#include <cstdio>

namespace {

using K = CDcCall::Kind;

struct CLabel {
    std::string text;
    CPoint pt;
};

class DecorationTest : public ViewTest {
  protected:
    std::vector<CLabel> Labels(CCurvistView& v) {
        RecordingDc dc;
        CSceneRenderer::DrawScale(dc, v.Scene(), v.Style().m_clrScale);
        std::vector<CLabel> out;
        for (const CDcCall& c : dc.Calls(K::TextOut))
            out.push_back({c.text, c.pt});
        return out;
    }
    static std::vector<std::string> Texts(const std::vector<CLabel>& labels) {
        std::vector<std::string> out;
        for (const auto& l : labels)
            out.push_back(l.text);
        return out;
    }
};

TEST_F(DecorationTest, DefaultLabelsAlongBottomAndRightEdges) {
    CCurvistView& v = MakeView();
    RecordingDc dc;
    v.OnDraw(dc); // places the origin at (320, 260)
    const auto labels = Labels(v);
    // y: below the origin, then above it; x: left of the origin, then right of it.
    const std::vector<std::string> want = {"-1.00", "-2.00", "-3.00", "-4.00", "-5.00", " 1.00",
                                           " 2.00", " 3.00", " 4.00", " 5.00", "-1.00", "-2.00",
                                           "-3.00", "-4.00", "-5.00", "-6.00", " 1.00", " 2.00",
                                           " 3.00", " 4.00", " 5.00", " 6.00"};
    EXPECT_EQ(Texts(labels), want);
    // Text 35 x 14 (RecordingDc): y labels at the right edge, x labels on the bottom edge.
    EXPECT_EQ(labels[0].pt, (CPoint{641 - 35 - 1, 310 - 7}));
    EXPECT_EQ(labels[5].pt, (CPoint{605, 210 - 7}));
    EXPECT_EQ(labels[10].pt, (CPoint{270 - 17, 521 - 14}));
    EXPECT_EQ(labels.back().pt, (CPoint{620 - 17, 507}));
}

TEST_F(DecorationTest, ThinningFollowsTheCellWidth) {
    const struct {
        int cellW, cellH;
        std::vector<std::string> firstRight; // x labels right of the origin
        std::size_t yCount;
    } cases[] = {
        {40, 40, {" 2.00", " 4.00", " 6.00"}, 6},  // k = 1: every second line
        {41, 41, {" 1.00", " 2.00", " 3.00"}, 12}, // every line
        {10, 10, {" 5.00", "10.00", "15.00"}, 10}, // k = 4: every fifth line
        {50, 20, {" 1.00", " 2.00", " 3.00"}, 24}, // k from the width only
    };
    for (const auto& c : cases) {
        CCurvistView& v = MakeView();
        EditPlane(v, [&](CPlane& p) {
            p.m_nCellW = c.cellW;
            p.m_nCellH = c.cellH;
        });
        EditStyle(v, [&](CViewStyle& s) { s.m_y.bShowScale = 0; });
        auto texts = Texts(Labels(v));
        // The right run follows the left one: its texts are the positive ones.
        std::vector<std::string> pos;
        for (const auto& t : texts)
            if (t[0] != '-') pos.push_back(t);
        pos.resize(3);
        EXPECT_EQ(pos, c.firstRight) << c.cellW;
        EditStyle(v, [&](CViewStyle& s) {
            s.m_y.bShowScale = 1;
            s.m_x.bShowScale = 0;
        });
        EXPECT_EQ(Labels(v).size(), c.yCount) << c.cellW << "x" << c.cellH;
    }
}

TEST_F(DecorationTest, PlacementCodes) {
    // Origin (320, 260), text 35 x 14 for the one-decimal labels.
    const struct {
        int code;
        int xTop;       // top of the x labels, -1: none
        int yLeftBelow; // left edge of the y labels below the origin, -1: none
        int yLeftAbove;
    } cases[] = {
        {0, 262, 284, 284}, {1, 246, 322, 321}, {2, 507, 605, 605},
        {3, 1, 1, 1},       {5, -1, -1, -1},    {-1, -1, -1, -1},
    };
    for (const auto& c : cases) {
        CCurvistView& v = MakeView();
        EditStyle(v, [&](CViewStyle& s) {
            s.m_x.nPlace = c.code;
            s.m_y.nPlace = c.code;
        });
        const auto labels = Labels(v);
        if (c.xTop < 0) {
            EXPECT_TRUE(labels.empty()) << c.code;
            continue;
        }
        ASSERT_EQ(labels.size(), 22u) << c.code;
        EXPECT_EQ(labels[0].pt.x, c.yLeftBelow) << c.code;
        EXPECT_EQ(labels[5].pt.x, c.yLeftAbove) << c.code;
        EXPECT_EQ(labels[10].pt.y, c.xTop) << c.code;
    }
}

TEST_F(DecorationTest, FarOriginStillLabelsTheVisibleLines) {
    CCurvistView& v = MakeView();
    EditPlane(v, [&](CPlane& p) {
        p.m_nCellW = p.m_nCellH = 1;
        p.m_nOriginX = -2000000000;
        p.m_nOriginY = 2000000000;
    });
    const auto labels = Labels(v); // must not walk two billion lines
    ASSERT_FALSE(labels.empty());
    for (const auto& l : labels)
        EXPECT_LT(l.pt.x, 641 + 5000);
}

TEST_F(DecorationTest, LabelFormatIsCLocalePrintf) {
    const double values[] = {1.0, -1.0, 0.25, 1234.5, 0.125, 2.675, -0.004, 1e15, 0.0};
    for (double d : values) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%5.2f", d);
        EXPECT_EQ(CSceneRenderer::FormatScale(d), buf) << d;
    }
    EXPECT_EQ(CSceneRenderer::FormatScale(1234.5), "1234.50");
    EXPECT_EQ(CSceneRenderer::FormatScale(0.5), " 0.50");
    EXPECT_EQ(CSceneRenderer::FormatScale(1e300).size(), 304u);
}

TEST_F(DecorationTest, GridFromNegativeOrigin) {
    CCurvistView& v = MakeView(200, 120);
    EditPlane(v, [&](CPlane& p) {
        p.m_nOriginX = -73;
        p.m_nOriginY = -73;
    });
    RecordingDc dc;
    CSceneRenderer::DrawGrid(dc, v.Scene(), v.Style().m_clrGrid);
    std::vector<CPoint> starts;
    for (const CDcCall& c : dc.Calls(K::MoveTo))
        starts.push_back(c.pt);
    // Rows -23, 27, 77 (below 120); columns -23 .. 177 (up to and including 200).
    EXPECT_EQ(starts,
              (std::vector<CPoint>{
                  {0, -23}, {0, 27}, {0, 77}, {-23, 0}, {27, 0}, {77, 0}, {127, 0}, {177, 0}}));

    // Erasing draws every line whatever the show flags; drawing follows them.
    EditStyle(v, [&](CViewStyle& s) {
        s.m_x.bShowGrid = s.m_y.bShowGrid = s.m_x.bShowAxis = s.m_y.bShowAxis = 0;
    });
    dc.Clear();
    CSceneRenderer::DrawGrid(dc, v.Scene(), v.Style().m_clrGrid);
    CSceneRenderer::DrawAxes(dc, v.Scene(), v.Style().m_clrAxis);
    EXPECT_TRUE(dc.Calls(K::LineTo).empty());
    CSceneRenderer::DrawGrid(dc, v.Scene(), v.Style().m_clrBack);
    CSceneRenderer::DrawAxes(dc, v.Scene(), v.Style().m_clrBack);
    EXPECT_EQ(dc.Calls(K::LineTo).size(), 8u + 3u + 3u);
}

// Horizontal lines stop short of the bottom bound, vertical lines include the right bound.
TEST_F(DecorationTest, GridLinesAtTheBounds) {
    CCurvistView& v = MakeView(200, 100);
    EditPlane(v, [&](CPlane& p) { p.m_nOriginX = p.m_nOriginY = 0; });
    RecordingDc dc;
    CSceneRenderer::DrawGrid(dc, v.Scene(), v.Style().m_clrGrid);
    std::vector<CPoint> starts;
    for (const CDcCall& c : dc.Calls(K::MoveTo))
        starts.push_back(c.pt);
    EXPECT_EQ(starts, (std::vector<CPoint>{
                          {0, 0}, {0, 50}, {0, 0}, {50, 0}, {100, 0}, {150, 0}, {200, 0}}));
}

// Every pixel of both axes and their arrowheads: barbs 15 pixels long and 5 to either side.
TEST_F(DecorationTest, AxesAndArrowheadsPixelForPixel) {
    const int w = 60, h = 50, ox = 23, oy = 31;
    CSurface got(w, h), want(w, h);
    CCurvistView& v = MakeView(w, h);
    EditPlane(v, [&](CPlane& p) {
        p.m_nOriginX = ox;
        p.m_nOriginY = oy;
    });
    CSceneRenderer::DrawAxes(got.dc, v.Scene(), RGB(255, 255, 255));
    want.dc.SelectPen(RGB(255, 255, 255));
    want.dc.MoveTo(0, oy);
    want.dc.LineTo(w, oy);
    want.dc.LineTo(w - 15, oy - 5);
    want.dc.MoveTo(w, oy);
    want.dc.LineTo(w - 15, oy + 5);
    want.dc.MoveTo(ox, 0);
    want.dc.LineTo(ox, h);
    want.dc.MoveTo(ox, 0);
    want.dc.LineTo(ox - 5, 15);
    want.dc.MoveTo(ox, 0);
    want.dc.LineTo(ox + 5, 15);
    EXPECT_EQ(got.bits, want.bits);
    // The barbs reach 14 columns back from the right edge and 14 rows down from the top.
    EXPECT_EQ(got.At(w - 14, oy - 5), RGB(255, 255, 255));
    EXPECT_EQ(got.At(w - 14, oy + 5), RGB(255, 255, 255));
    EXPECT_EQ(got.At(ox - 5, 14), RGB(255, 255, 255));
    EXPECT_EQ(got.At(ox + 5, 14), RGB(255, 255, 255));
}

// Labels stand only at lines strictly inside the area: none at column 0 or row 0, none at the
// last column or row.
TEST_F(DecorationTest, NoLabelsOnTheEdgeLines) {
    CCurvistView& v = MakeView(201, 151);
    EditPlane(v, [&](CPlane& p) { p.m_nOriginX = p.m_nOriginY = 100; });
    const auto labels = Labels(v);
    // y: below (row 150 = H - 1: none), above (row 50; row 0: none); x: left (column 50;
    // column 0: none), right (column 150; column 200 = W - 1: none).
    ASSERT_EQ(Texts(labels), (std::vector<std::string>{" 1.00", "-1.00", " 1.00"}));
    EXPECT_EQ(labels[0].pt.y, 50 - 7);
    EXPECT_EQ(labels[1].pt.x, 50 - 17);
    EXPECT_EQ(labels[2].pt.x, 150 - 17);
}

TEST_F(DecorationTest, GridAndAxisPixels) {
    CSurface s(641, 521);
    MakeView();
    m_doc.m_bResetOrigin = true;
    FullRepaint(s.dc);
    EXPECT_EQ(s.At(3, 260), RGB(255, 255, 255));   // x axis
    EXPECT_EQ(s.At(320, 100), RGB(255, 255, 255)); // y axis
    EXPECT_EQ(s.At(635, 258), RGB(255, 255, 255)); // arrowhead barb
    EXPECT_EQ(s.At(3, 210), RGB(98, 0, 100));      // grid
    EXPECT_EQ(s.At(270, 3), RGB(98, 0, 100));
    EXPECT_EQ(s.At(3, 3), RGB(0, 0, 0));
}

} // namespace
