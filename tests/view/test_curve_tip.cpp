// The curve under the pointer: reach, visibility, domain, failures and the nearest of several.

#include "ViewFixture.h"

#include "view/CurveTip.h"

#include <vector>

namespace {

class CurveTipTest : public ViewTest {};

// The plane has its origin at (320, 260), 50-pixel cells and unit 1: column 370 is x = 1,
// where y = x lies on row 210.
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
        int nIndex; // -1: no curve
    } cases[] = {
        {"on the curve", {{"x"}}, {370, 210}, 0},
        {"three pixels below", {{"x"}}, {370, 213}, 0},
        {"four pixels above", {{"x"}}, {370, 206}, -1},
        {"the row is rounded as the curve is drawn: 247.5 is 248", {{"0.25"}}, {370, 251}, 0},
        {"hidden", {{"x", false}}, {370, 210}, -1},
        {"right of the domain", {{"x", true, -kDomainOpen, 0.99}}, {370, 210}, -1},
        {"left of the domain", {{"x", true, 1.01, kDomainOpen}}, {370, 210}, -1},
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
        EXPECT_DOUBLE_EQ(hit->x, (c.p.x - 320) / 50.0) << c.name;
    }
}

} // namespace
