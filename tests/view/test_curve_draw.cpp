// The curve pass: strokes, lifted pens, flips, breaks, clamps and the domain.

#include "ViewFixture.h"

#include <algorithm>

namespace {

using K = CDcCall::Kind;

class CurveTest : public ViewTest {
  protected:
    // The pen moves of one drawing pass of `text` on the default 641 x 521 view.
    std::vector<CDcCall> Pass(const std::string& text, const std::string& ini = "",
                              double dMin = -2e10, double dMax = 2e10) {
        WriteIni(ini);
        CCurvistView& v = MakeView();
        CDataFun& f = AddFun(text, RGB(255, 0, 0));
        f.m_dMin = dMin;
        f.m_dMax = dMax;
        RecordingDc dc;
        v.DrawCurve(dc, f, true);
        std::vector<CDcCall> moves;
        for (const CDcCall& c : dc.Calls())
            if (c.kind == K::MoveTo || c.kind == K::LineTo) moves.push_back(c);
        return moves;
    }
    // True when some LineTo joins a column left of `col` to one at or right of it.
    static bool Joins(const std::vector<CDcCall>& calls, double col) {
        return std::any_of(calls.begin(), calls.end(), [&](const CDcCall& c) {
            return c.kind == K::LineTo && std::min(c.from.x, c.pt.x) < col &&
                   std::max(c.from.x, c.pt.x) >= col;
        });
    }
    static bool Has(const std::vector<CDcCall>& calls, K kind, CPoint pt) {
        return std::any_of(calls.begin(), calls.end(),
                           [&](const CDcCall& c) { return c.kind == kind && c.pt == pt; });
    }
};

TEST_F(CurveTest, ContinuousCurvesAreOneStroke) {
    // y = x, and y = 100x whose neighbouring rows lie 100 pixels apart (the half-pixel sample
    // falls between them) and run past row 10000 on the left.
    for (const char* text : {"x", "100*x"}) {
        const auto calls = Pass(text);
        ASSERT_EQ(calls.size(), 643u) << text; // columns -2 .. 640
        EXPECT_EQ(calls[0].kind, K::MoveTo) << text;
        EXPECT_EQ(calls[0].pt.x, -2) << text;
        for (std::size_t i = 1; i < calls.size(); ++i)
            ASSERT_EQ(calls[i].kind, K::LineTo) << text << " " << i;
    }
    const auto line = Pass("x");
    EXPECT_EQ(line[0].pt, (CPoint{-2, 582}));
    EXPECT_EQ(line.back().pt, (CPoint{640, -60}));
}

TEST_F(CurveTest, RowClampAppliesBelowOnly) {
    const struct {
        const char* text;
        int moveRow, lineRow;
    } cases[] = {
        {"0-300", 15260, 10000}, // far below: LineTo targets are pulled up to 10000
        {"245", -11990, -11990}, // far above: drawn as computed
    };
    for (const auto& c : cases) {
        const auto calls = Pass(c.text);
        EXPECT_EQ(calls[0].pt, (CPoint{-2, c.moveRow})) << c.text;
        EXPECT_EQ(calls[1].pt, (CPoint{-1, c.lineRow})) << c.text;
        EXPECT_EQ(calls.back().pt, (CPoint{640, c.lineRow})) << c.text;
    }
}

TEST_F(CurveTest, FailedColumnLiftsThePen) {
    // 1/x fails at column 320 (x = 0): the branches are not joined.
    const auto calls = Pass("1/x");
    EXPECT_TRUE(Has(calls, K::MoveTo, {320, 0}));
    EXPECT_FALSE(Joins(calls, 320));

    // With 50 units per cell the next column breaks upward; the lifted pen has no stroke to
    // carry, so nothing is drawn along the failed column.
    const auto steep = Pass("1/x", "[Scale]\nnSpeed_Y=5000\n");
    EXPECT_TRUE(Has(steep, K::MoveTo, {321, 0}));
    for (const CDcCall& c : steep) {
        if (c.kind == K::LineTo) {
            EXPECT_NE(c.pt.x, 320) << c.from.y << " -> " << c.pt.y;
        }
    }
    EXPECT_FALSE(Joins(steep, 320));
}

TEST_F(CurveTest, PoleOfTanFlipsOrBreaks) {
    const double pole = 320 + 50 * 1.5707963267948966; // column of x = pi/2
    // Default view: both neighbours far beyond opposite edges; the pen moves without drawing.
    const auto flip = Pass("tan(x)");
    EXPECT_FALSE(Joins(flip, pole));
    EXPECT_TRUE(std::any_of(flip.begin(), flip.end(), [](const CDcCall& c) {
        return c.kind == K::MoveTo && c.pt.x == 399 && c.pt.y > 521;
    }));

    // 100 units per cell: both neighbours on screen, 100 rows apart, the half-pixel sample far
    // outside: the old stroke goes up to row 0, the new one starts at the bottom edge.
    const auto brk = Pass("tan(x)", "[Scale]\nnSpeed_Y=10000\n");
    EXPECT_FALSE(Joins(brk, pole));
    auto it = std::find_if(brk.begin(), brk.end(), [](const CDcCall& c) {
        return c.kind == K::LineTo && c.pt == CPoint{398, 0};
    });
    ASSERT_NE(it, brk.end());
    ASSERT_NE(it + 1, brk.end());
    EXPECT_EQ(it[1].kind, K::MoveTo);
    EXPECT_EQ(it[1].pt, (CPoint{399, 521}));
}

// Rows 50 apart are joined without a second look; 51 apart they are examined with a sample half
// a pixel to the left. Here that sample fails (it reads as 0, far from both rows) only at the
// column of x = 2.02, so a break appears there exactly when the jump is examined. A break
// carries the old stroke to the edge it heads for, and the next point continues the new stroke
// with a line from the opposite edge.
TEST_F(CurveTest, JumpsOfMoreThanFiftyRowsAreExamined) {
    const struct {
        const char* text;
        int lineRow, moveRow; // the break: LineTo (420, lineRow), MoveTo (421, moveRow)
    } cases[] = {
        {"50*x+0*(1/(x-2.01))", 0, 0},     // jumps of exactly 50: never examined
        {"51*x+0*(1/(x-2.01))", 521, 0},   // upward: the old stroke goes to the bottom edge
        {"0-51*x+0*(1/(x-2.01))", 0, 521}, // downward: to the top edge
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto calls = Pass(c.text);
        auto at = std::find_if(calls.begin(), calls.end(),
                               [](const CDcCall& k) { return k.pt.x == 421; });
        ASSERT_NE(at, calls.end());
        ASSERT_NE(at + 1, calls.end());
        if (c.moveRow == c.lineRow) { // no break: one stroke
            EXPECT_EQ(calls.size(), 643u);
            EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                                    [](const CDcCall& k) { return k.kind == K::MoveTo; }),
                      1);
            continue;
        }
        EXPECT_EQ(at[-1].kind, K::LineTo);
        EXPECT_EQ(at[-1].pt, (CPoint{420, c.lineRow}));
        EXPECT_EQ(at[0].kind, K::MoveTo);
        EXPECT_EQ(at[0].pt, (CPoint{421, c.moveRow}));
        EXPECT_EQ(at[1].kind, K::LineTo);
        EXPECT_EQ(at[1].pt.x, 422);
        EXPECT_FALSE(Joins(calls, 420.5));
        EXPECT_EQ(calls.size(), 644u); // one more call than the single stroke
    }
}

// The half-pixel sample's row is truncated, not rounded: rows 210 and 261 (a jump of 51) with
// the sample at row 261.6, which truncates into the interval (a steep climb, drawn) but would
// round out of it (a break).
TEST_F(CurveTest, HalfPixelSampleRowIsTruncated) {
    const auto calls = Pass("1-51*(x-2)+5220*(x-2)*(x-2.02)");
    auto at =
        std::find_if(calls.begin(), calls.end(), [](const CDcCall& k) { return k.pt.x == 421; });
    ASSERT_NE(at, calls.end());
    EXPECT_EQ(at->kind, K::LineTo);
    EXPECT_EQ(at->from, (CPoint{420, 210}));
    EXPECT_EQ(at->pt, (CPoint{421, 261}));
}

TEST_F(CurveTest, LnStartsRightOfZero) {
    const auto calls = Pass("ln(x)");
    for (const CDcCall& c : calls) {
        if (c.kind == K::LineTo) {
            ASSERT_GT(c.from.x, 320);
        } else if (c.pt.x <= 320) {
            ASSERT_EQ(c.pt.y, 521); // NaN and -inf: far below
        }
    }
    EXPECT_TRUE(Has(calls, K::MoveTo, {321, 456}));
}

TEST_F(CurveTest, DomainSkipsAndEnds) {
    const auto calls = Pass("x", "", 0.0, 1.0);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front().kind, K::MoveTo);
    EXPECT_EQ(calls.front().pt, (CPoint{320, 260}));
    EXPECT_EQ(calls.back().pt, (CPoint{370, 210})); // x = 1 exactly is plotted
    EXPECT_EQ(calls.size(), 51u);
}

TEST_F(CurveTest, HiddenRecordDrawsOnlyWhenErasing) {
    CCurvistView& v = MakeView();
    CDataFun& f = AddFun("x^2", RGB(255, 0, 0), false);
    RecordingDc dc;
    v.DrawCurve(dc, f, true);
    EXPECT_TRUE(dc.Calls().empty());
    v.DrawCurve(dc, f, false);
    ASSERT_FALSE(dc.Calls(K::LineTo).empty());
    for (const CDcCall& c : dc.Calls(K::LineTo))
        ASSERT_EQ(c.clr, v.Style().m_clrBack);
    EXPECT_EQ(dc.PenColor(), RGB(0, 0, 0)); // the previous pen is back
}

TEST_F(CurveTest, DrawFunctionIndexLimits) {
    CCurvistView& v = MakeView();
    AddFun("x", RGB(255, 0, 0));
    RecordingDc dc;
    m_host.dc = &dc;
    for (int index : {-1, 50, 51})
        v.DrawFunction(index);
    EXPECT_EQ(m_host.messages, (std::vector<std::string>(3, "超出上、下限。")));
    EXPECT_TRUE(dc.Calls().empty());
    v.DrawFunction(3); // inside 0..49 but no such record: nothing happens
    EXPECT_TRUE(dc.Calls().empty());
    v.DrawFunction(0);
    EXPECT_EQ(dc.Calls(K::LineTo).size(), 642u);
}

} // namespace
