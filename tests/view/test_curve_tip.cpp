// The curve under the pointer: reach, visibility, domain, failures and the nearest of several.

#include "ViewFixture.h"

#include "view/CurveTip.h"

#include <vector>

namespace {

class CurveTipTest : public ViewTest {};

// The plane has its origin at (320, 260), 50-pixel cells and unit 1: column 370 is x = 1,
// where y = x lies on row 210; y = x^5 climbs about ten rows a column at column 380.
TEST_F(CurveTipTest, NearestVisibleCurveWithinThreePixels) {
    struct SFun {
        const char* text;
        bool bShow = true;
        double dMin = -kDomainOpen, dMax = kDomainOpen;
    };
    const struct {
        const char* name;
        std::vector<SFun> funs;
        CPoint p;
        int nIndex;      // -1: no curve
        int nHitCol = 0; // the column of the point named, when not the pointer's
    } cases[] = {
        {"on the curve", {{"x"}}, {370, 210}, 0},
        {"three pixels below", {{"x"}}, {370, 213}, 0},
        {"five pixels above: 3.5 from the line", {{"x"}}, {370, 205}, -1},
        {"three pixels right of a steep climb", {{"x^5"}}, {383, 136}, 0},
        {"three right of a painted pixel, 3.1 from the ideal line", {{"x^5"}}, {383, 137}, 0},
        {"four pixels right of it", {{"x^5"}}, {384, 136}, -1},
        {"no line across a pole, where the pass breaks", {{"1/(x-1.011)"}}, {370, 260}, -1},
        {"the row is rounded as the curve is drawn: 247.5 is 248", {{"0.25"}}, {370, 251}, 0},
        {"hidden", {{"x", false}}, {370, 210}, -1},
        {"five columns right of the domain", {{"x", true, -kDomainOpen, 0.9}}, {370, 210}, -1},
        {"five columns left of the domain", {{"x", true, 1.1, kDomainOpen}}, {370, 210}, -1},
        {"a column right of the domain: its end is drawn",
         {{"x", true, -kDomainOpen, 0.98}},
         {370, 210},
         0,
         369},
        {"on its bound", {{"x", true, 1.0, 1.0}}, {370, 210}, 0},
        {"the evaluation fails", {{"1/x"}}, {320, 260}, -1},
        {"the nearer wins though listed first", {{"x"}, {"x+0.04"}}, {370, 210}, 0},
        {"the nearer wins though listed last", {{"x+0.04"}, {"x"}}, {370, 210}, 1},
        {"a hidden nearer one does not count", {{"x", false}, {"x+0.04"}}, {370, 210}, 1},
        {"equally near: the one drawn on top", {{"x"}, {"x+0.04"}}, {370, 209}, 1},
    };
    for (const auto& c : cases) {
        m_doc.m_arFuns.clear();
        for (const SFun& f : c.funs) {
            CDataFun& fun = AddFun(f.text, RGB(255, 0, 0), f.bShow);
            fun.m_dMin = f.dMin;
            fun.m_dMax = f.dMax;
        }
        const std::optional<CCurveHit> hit = CurveNear(CPlane{}, m_doc.m_arFuns, c.p);
        ASSERT_EQ(hit.has_value(), c.nIndex >= 0) << c.name;
        if (!hit) continue;
        EXPECT_EQ(hit->nIndex, static_cast<std::size_t>(c.nIndex)) << c.name;
        EXPECT_DOUBLE_EQ(hit->x, ((c.nHitCol ? c.nHitCol : c.p.x) - 320) / 50.0) << c.name;
    }
}

} // namespace
