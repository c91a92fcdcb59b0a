// In-place changes: erasing is exact, and the index-taking operations.

#include "ViewFixture.h"

#include "settings/VisParam.h"

#include <functional>
#include <tuple>

namespace {

class RedrawTest : public ViewTest {
  protected:
    void AddMix() {
        AddFun("sin(x)", RGB(255, 0, 0));
        AddFun("tan(x)", RGB(255, 255, 0));
        AddFun("1/x", RGB(0, 0, 255));
        AddFun("ln(x)", RGB(0, 128, 0));
        AddFun("x^3-2*x", RGB(255, 0, 255));
        AddFun("e(x)", RGB(128, 128, 0), false);
    }
    // The picture a full repaint of the view's present state gives on a second view, which
    // evaluates every curve afresh.
    std::vector<std::uint32_t> Fresh() {
        CCurvistView w(m_ini);
        const CCurvistView& v = *m_view;
        w.SetDocument(&m_doc);
        w.Renderer().EnableCurveCache(false);
        w.OnSize(0, v.ClientSize().cx, v.ClientSize().cy);
        w.SetPlane(v.Plane());
        w.SetStyle(v.Style());
        CSurface s(v.ClientSize().cx, v.ClientSize().cy);
        w.OnEraseBkgnd(s.dc);
        w.OnDraw(s.dc);
        return s.bits;
    }
};

TEST_F(RedrawTest, ErasingLeavesOnlyBackground) {
    // View states that stress the erase: thin cells, far and negative origins, odd units,
    // every placement, steep curves.
    const struct {
        int cellW, cellH, ox, oy, placeX, placeY;
        double unitY;
        bool cache;
    } cases[] = {
        {50, 50, 160, 120, 2, 2, 1.0, true},     {50, 50, 160, 120, 2, 2, 1.0, false},
        {7, 13, -40, 300, 0, 1, 0.25, true},     {3, 3, 319, -5, 1, 0, 100.0, true},
        {40, 41, 100000, 90, 3, 3, 1e-6, false}, {200, 1, 0, 0, 0, 3, 50.0, true},
    };
    for (const auto& c : cases) {
        CSurface s(320, 240);
        m_doc.m_arFuns.clear();
        CCurvistView& v = MakeView(320, 240);
        v.Renderer().EnableCurveCache(c.cache);
        m_host.dc = &s.dc;
        AddMix();
        m_doc.m_bResetOrigin = false;
        EditPlane(v, [&](CPlane& p) {
            p.m_nCellW = c.cellW;
            p.m_nCellH = c.cellH;
            p.m_nOriginX = c.ox;
            p.m_nOriginY = c.oy;
        });
        EditStyle(v, [&](CViewStyle& s) {
            s.m_x.nPlace = c.placeX;
            s.m_y.nPlace = c.placeY;
        });
        EditPlane(v, [&](CPlane& p) { p.m_dUnitY = c.unitY; });
        FullRepaint(s.dc);
        ASSERT_GT(s.CountOther(RGB(0, 0, 0)), 0);
        v.RedrawAll(false);
        EXPECT_EQ(s.CountOther(RGB(0, 0, 0)), 0) << c.cellW << " " << c.ox;
    }
}

TEST_F(RedrawTest, InPlaceChangesMatchAFreshRepaint) {
    CSurface s(320, 240);
    CCurvistView& v = MakeView(320, 240);
    m_host.dc = &s.dc;
    AddMix();
    FullRepaint(s.dc);

    const struct {
        const char* what;
        std::function<void(CCurvistView&)> op;
    } steps[] = {
        {"hide", [&](CCurvistView&) { m_doc.Editor().SetShow(0, false); }},
        {"show hidden", [&](CCurvistView&) { m_doc.Editor().SetShow(5, true); }},
        {"domain", [&](CCurvistView&) { m_doc.Editor().SetDomain(4, 0, "0"); }},
        {"colour", [&](CCurvistView&) { EXPECT_TRUE(m_doc.Editor().SetColor(1, RGB(1, 2, 3))); }},
        {"delete", [&](CCurvistView&) { m_doc.Editor().Delete(2); }},
        {"zoom in", [](CCurvistView& w) { w.ZoomStep(1); }},
        {"zoom out",
         [](CCurvistView& w) {
             w.ZoomStep(-1);
             w.ZoomStep(-1);
         }},
        {"origin", [](CCurvistView& w) { w.SetOriginPlace(5); }},
        {"pan", [](CCurvistView& w) { w.MoveOrigin(7, 0); }},
        {"settings",
         [](CCurvistView& w) {
             CVisParam vp;
             vp.x.nCell = 23;
             vp.y.nPlace = 0;
             vp.x.bShowGrid = 0;
             w.ApplyDisplaySettings(vp);
         }},
    };
    for (const auto& st : steps) {
        st.op(v);
        EXPECT_EQ(s.bits, Fresh()) << st.what;
    }
}

// Undo and redo draw in place, and leave the picture a full repaint of the state they reach
// would give, whatever curve lay over the one put back.
TEST_F(RedrawTest, UndoAndRedoMatchAFreshRepaint) {
    CSurface s(320, 240);
    MakeView(320, 240);
    m_host.dc = &s.dc;
    AddMix();
    FullRepaint(s.dc);
    CFunListEditor& ed = m_doc.Editor();
    auto texts = [&] {
        std::vector<std::tuple<std::string, std::string, std::string, int, COLORREF>> out;
        for (const auto& f : m_doc.m_arFuns)
            out.emplace_back(f->m_strFun, f->m_strMin, f->m_strMax, f->m_bShow, f->m_clrFun);
        return out;
    };
    const struct {
        const char* what;
        std::function<void()> op;
    } changes[] = {
        {"add", [&] { ed.Add("x/2", CheckFunText("x/2").pNodes); }},
        {"modify", [&] { ed.Modify(1, "x*x", CheckFunText("x*x").pNodes); }},
        {"delete the first, under the others", [&] { ed.Delete(0); }},
        {"delete the last", [&] { ed.Delete(m_doc.m_arFuns.size() - 1); }},
        {"hide", [&] { ed.SetShow(2, false); }},
        {"show", [&] { ed.SetShow(m_doc.m_arFuns.size() - 1, true); }},
        {"colour", [&] { ed.SetColor(3, RGB(1, 2, 3)); }},
        {"lower bound", [&] { ed.SetDomain(4, 0, "0"); }},
        {"typed upper bound",
         [&] {
             ed.TypeDomain(0, 1, "1");
             ed.TypeDomain(0, 1, "1.5");
             ed.EndTyping();
         }},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.what);
        const auto before = texts();
        c.op();
        const auto after = texts();
        ASSERT_NE(after, before);
        ASSERT_TRUE(ed.Undo());
        EXPECT_EQ(texts(), before);
        EXPECT_EQ(s.bits, Fresh());
        ASSERT_TRUE(ed.Redo());
        EXPECT_EQ(texts(), after);
        EXPECT_EQ(s.bits, Fresh());
    }
}

TEST_F(RedrawTest, HiddenFunctionLeavesNoTrace) {
    CSurface with(320, 240), without(320, 240);
    CCurvistView& v = MakeView(320, 240);
    FullRepaint(without.dc);
    AddFun("x^2", RGB(255, 0, 0), false);
    m_doc.m_bResetOrigin = true;
    FullRepaint(with.dc);
    EXPECT_EQ(with.bits, without.bits);
    (void)v;
}

TEST_F(RedrawTest, IndexOutsideTheArrayChangesNothing) {
    MakeView();
    RecordingDc dc;
    m_host.dc = &dc;
    AddFun("x", RGB(255, 0, 0));
    m_doc.SetModifiedFlag(false);
    CFunListEditor& ed = m_doc.Editor();
    for (int n : {-1, 1, 99}) {
        const auto i = static_cast<std::size_t>(n);
        EXPECT_FALSE(ed.Delete(i));
        EXPECT_FALSE(ed.SetShow(i, false));
        EXPECT_FALSE(ed.SetColor(i, RGB(1, 1, 1)));
        EXPECT_FALSE(ed.SetDomain(i, 1, "3"));
        EXPECT_FALSE(ed.Modify(i, "x", nullptr));
    }
    EXPECT_EQ(m_doc.m_arFuns.size(), 1u);
    EXPECT_EQ(m_doc.m_arFuns[0]->m_bShow, 1);
    EXPECT_FALSE(m_doc.IsModified());
    EXPECT_TRUE(dc.Calls().empty());
}

TEST_F(RedrawTest, FunctionOperationsChangeRecordsAndMarkTheDocument) {
    MakeView();
    AddFun("x", RGB(255, 0, 0));
    AddFun("x^2", RGB(255, 255, 0));
    AddFun("x^3", RGB(0, 0, 255));
    m_doc.SetModifiedFlag(false);

    EXPECT_FALSE(m_doc.Editor().SetColor(0, RGB(255, 0, 0)));   // its own colour
    EXPECT_FALSE(m_doc.Editor().SetColor(0, RGB(255, 255, 0))); // another record's
    EXPECT_FALSE(m_doc.IsModified());
    EXPECT_TRUE(m_doc.Editor().SetColor(0, RGB(0, 128, 0)));
    EXPECT_EQ(m_doc.m_arFuns[0]->m_clrFun, RGB(0, 128, 0));
    EXPECT_TRUE(m_doc.IsModified());

    m_doc.SetModifiedFlag(false);
    m_doc.Editor().SetDomain(1, 0, "-\xA1\xDE");
    m_doc.Editor().SetDomain(1, 1, "2.5");
    EXPECT_EQ(m_doc.m_arFuns[1]->m_dMin, -2e10);
    EXPECT_EQ(m_doc.m_arFuns[1]->m_dMax, 2.5);
    EXPECT_EQ(m_doc.m_arFuns[1]->m_strMax, "2.5");
    EXPECT_TRUE(m_doc.IsModified());

    m_doc.SetModifiedFlag(false);
    m_doc.Editor().SetShow(2, false);
    EXPECT_EQ(m_doc.m_arFuns[2]->m_bShow, 0);
    EXPECT_TRUE(m_doc.IsModified());

    m_doc.Editor().Delete(0);
    ASSERT_EQ(m_doc.m_arFuns.size(), 2u);
    EXPECT_EQ(m_doc.m_arFuns[0]->m_strFun, "x^2");
}

TEST_F(RedrawTest, StrangeIniValuesNeverHangOrCrash) {
    const char* inis[] = {
        "[Pane]\nnWidth=0\nnHeight=-5\n[Scale]\nnSpeed_X=0\nnSpeed_Y=0\n",
        "[Pane]\nnWidth=99999999\nnHeight=2147483647\n[Scale]\nnSpeed_X=4294967295\n",
        "[Pane]\nnWidth=abc\nnHeight=1\n[Scale]\nnSpeed_Y=-1\nnPlace_X=7\nnPlace_Y=-9\n",
        "[Coor]\nnOriginPlace=-2147483648\nbShow_X=-3\n[Scale]\nnSpeed_X=1\nnSpeed_Y=1\n",
    };
    for (const char* ini : inis) {
        WriteIni(ini);
        m_doc.m_arFuns.clear();
        m_doc.m_bResetOrigin = true;
        CSurface s(200, 150);
        CCurvistView& v = MakeView(200, 150);
        m_host.dc = &s.dc;
        AddFun("sin(x)", RGB(255, 0, 0));
        AddFun("1/x", RGB(255, 255, 0));
        FullRepaint(s.dc);
        EXPECT_GE(v.Plane().m_nCellW, 1) << ini;
        EXPECT_GE(v.Plane().m_nCellH, 1) << ini;
        for (int i = 0; i < 12; ++i)
            v.ZoomStep(-1);
        for (int i = 0; i < 3; ++i)
            v.ZoomStep(1);
        v.SetOriginPlace(8);
        v.RedrawAll(false);
        EXPECT_EQ(s.CountOther(RGB(0, 0, 0)), 0) << ini;
    }
}

// The background fill reaches every pixel of the client area, the last row and column too.
TEST_F(RedrawTest, BackgroundFillCoversTheWholeClientArea) {
    for (const CSize size : {CSize{641, 521}, CSize{7, 3}}) {
        CSurface s(size.cx, size.cy);
        std::fill(s.bits.begin(), s.bits.end(), RasterDc::ToPixel(RGB(255, 255, 255)));
        CCurvistView& v = MakeView(size.cx, size.cy);
        v.OnEraseBkgnd(s.dc);
        EXPECT_EQ(s.CountOther(v.Style().m_clrBack), 0) << size.cx << "x" << size.cy;
    }
}

} // namespace
