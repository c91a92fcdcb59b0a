// View state: defaults, the display parameters, transforms, origin placement, zoom steps.

#include "ViewFixture.h"

#include "settings/VisParam.h"

namespace {

TEST_F(ViewTest, DefaultViewWithoutIniFile) {
    CCurvistView& v = MakeView();
    EXPECT_EQ(v.Plane().m_nScale, 100);
    EXPECT_EQ(v.Plane().m_nCellW, 50);
    EXPECT_EQ(v.Plane().m_nCellH, 50);
    EXPECT_EQ(v.Plane().m_dUnitX, 1.0);
    EXPECT_EQ(v.Plane().m_dUnitY, 1.0);
    EXPECT_EQ(v.Style().m_x.nPlace, 2);
    EXPECT_EQ(v.Style().m_y.nPlace, 2);
    EXPECT_EQ(v.Plane().m_nOriginX, 320); // before the first paint
    EXPECT_EQ(v.Style().m_clrBack, RGB(0, 0, 0));
    EXPECT_EQ(v.Style().m_clrGrid, RGB(98, 0, 100));
    EXPECT_EQ(v.Style().m_clrAxis, RGB(255, 255, 255));
    EXPECT_EQ(v.Style().m_clrScale, RGB(0, 128, 0));

    AddFun("x", RGB(255, 0, 0));
    AddFun("sin(x)", RGB(255, 255, 0), false);
    m_doc.m_bRefillList = true;
    m_host.size = {1000, 1000}; // the window rectangle is not what places the origin
    RecordingDc dc;
    v.OnDraw(dc);
    EXPECT_EQ(v.Plane().m_nOriginX, 320);
    EXPECT_EQ(v.Plane().m_nOriginY, 260);
    EXPECT_EQ(m_list.log, (std::vector<std::string>{"clear", "Y=x shown 255",
                                                    "Y=sin(x) hidden 65535", "disable"}));
    EXPECT_FALSE(m_doc.m_bResetOrigin);
    EXPECT_FALSE(m_doc.m_bRefillList);

    // Later paints neither move the origin nor touch the list.
    EditPlane(v, [&](CPlane& p) { p.m_nOriginX = 7; });
    m_list.log.clear();
    v.OnDraw(dc);
    EXPECT_EQ(v.Plane().m_nOriginX, 7);
    EXPECT_TRUE(m_list.log.empty());
}

TEST_F(ViewTest, TransformsFollowOriginCellsAndUnits) {
    WriteIni("[Scale]\nnSpeed_X=250\nnSpeed_Y=50\n");
    CCurvistView& v = MakeView();
    EXPECT_DOUBLE_EQ(v.Plane().m_dUnitX, 2.5);
    EXPECT_DOUBLE_EQ(v.ColToWorldX(v.Plane().m_nOriginX + 2 * v.Plane().m_nCellW), 5.0);
    EXPECT_DOUBLE_EQ(v.RowToWorldY(v.Plane().m_nOriginY - v.Plane().m_nCellH),
                     0.5); // up is positive
    EXPECT_DOUBLE_EQ(v.WorldYToRow(0.5), v.Plane().m_nOriginY - v.Plane().m_nCellH);
}

TEST_F(ViewTest, RoundingRule) {
    const struct {
        double r;
        int row;
    } cases[] = {{2.5, 3},         {-2.5, -3}, {0.7, 0},
                 {-0.7, 0},        {-2.2, -2}, {2.49, 2},
                 {0.5, 0},         {1.5, 2},   {-1999999999.6, -2000000000},
                 {3e9, 2000000000}};
    for (const auto& c : cases)
        EXPECT_EQ(CSceneRenderer::RoundRow(c.r), c.row) << c.r;
}

TEST_F(ViewTest, InitialOriginCodesRunRowByRow) {
    const CPoint expected[] = {{0, 0},     {320, 0}, {641, 0},   {0, 260},  {320, 260},
                               {641, 260}, {0, 521}, {320, 521}, {641, 521}};
    for (int code = -1; code <= 9; ++code) {
        WriteIni("[Coor]\nnOriginPlace=" + std::to_string(code) + "\n");
        m_doc.m_bResetOrigin = true;
        CCurvistView& v = MakeView();
        RecordingDc dc;
        v.OnDraw(dc);
        const CPoint want = code >= 0 && code <= 8 ? expected[code] : CPoint{320, 260};
        EXPECT_EQ((CPoint{v.Plane().m_nOriginX, v.Plane().m_nOriginY}), want) << "code " << code;
    }
    // The code is read again at each reset, from the file.
    WriteIni("[Coor]\nnOriginPlace=1\n");
    m_doc.m_bResetOrigin = true;
    CCurvistView& v = MakeView(101, 50);
    RecordingDc dc;
    v.OnDraw(dc);
    EXPECT_EQ(v.Plane().m_nOriginX, 50);
}

TEST_F(ViewTest, MenuOriginPresetsUseTheirOwnNumbering) {
    const CPoint expected[] = {{320, 260}, {0, 260}, {641, 260}, {320, 0},  {320, 521},
                               {0, 0},     {0, 521}, {641, 0},   {641, 521}};
    CCurvistView& v = MakeView();
    RecordingDc dc;
    m_host.dc = &dc;
    for (int code = 0; code <= 8; ++code) {
        v.SetOriginPlace(code);
        EXPECT_EQ((CPoint{v.Plane().m_nOriginX, v.Plane().m_nOriginY}), expected[code])
            << "code " << code;
    }
    for (int code : {9, -1}) {
        dc.Clear();
        v.SetOriginPlace(code);
        EXPECT_EQ((CPoint{v.Plane().m_nOriginX, v.Plane().m_nOriginY}), (CPoint{641, 521}));
        EXPECT_FALSE(dc.Calls(CDcCall::Kind::LineTo).empty()); // erased and redrawn anyway
    }
}

TEST_F(ViewTest, ZoomSteps) {
    const struct {
        int baseW, baseH, scale;
        short dir;
        int newScale, cellW, cellH;
        bool redrawn;
    } cases[] = {
        {50, 50, 100, 1, 110, 55, 55, true},
        {50, 50, 100, -1, 95, 47, 47, true},
        {50, 50, 10, -1, 10, 5, 5, false},
        {50, 50, 15, -1, 10, 5, 5, true},
        {50, 50, 250, 0, 100, 50, 50, true},
        {50, 50, 90, 1, 95, 47, 47, true},
        {50, 50, 95, 1, 100, 50, 50, true},
        // Only the width decides: 9 stays 9, so the height keeps its old value.
        {10, 50, 95, -1, 90, 9, 47, false},
        // Cells never fall below one pixel.
        {1, 1, 100, -1, 95, 1, 1, false},
    };
    for (const auto& c : cases) {
        CCurvistView& v = MakeView();
        RecordingDc dc;
        m_host.dc = &dc;
        EditPlane(v, [&](CPlane& p) {
            p.m_nBaseCellW = c.baseW;
            p.m_nBaseCellH = c.baseH;
            p.m_nScale = c.scale;
            p.m_nCellW = CCurvistView::ZoomedCell(c.baseW, c.scale);
            p.m_nCellH = CCurvistView::ZoomedCell(c.baseH, c.scale);
        });
        v.ZoomStep(c.dir);
        EXPECT_EQ(v.GetScale(), c.newScale) << c.scale << " " << c.dir;
        EXPECT_EQ(v.Plane().m_nCellW, c.cellW) << c.scale << " " << c.dir;
        EXPECT_EQ(v.Plane().m_nCellH, c.cellH) << c.scale << " " << c.dir;
        EXPECT_EQ(!dc.Calls().empty(), c.redrawn) << c.scale << " " << c.dir;
    }
    EXPECT_EQ(CCurvistView::ZoomedCell(10000, 2000000000), 2147483647);
    EXPECT_EQ(CCurvistView::ZoomedCell(0, 100), 1);
    EXPECT_EQ(CCurvistView::ZoomedCell(-50, 100), 1);
}

TEST_F(ViewTest, ApplyingDisplaySettingsKeepsOriginAndZoom) {
    CCurvistView& v = MakeView();
    RecordingDc dc;
    m_host.dc = &dc;
    EditPlane(v, [&](CPlane& p) {
        p.m_nScale = 110;
        p.m_nOriginX = 100;
    });
    CVisParam vp;
    vp.x.nCell = 40;
    vp.y.nCell = 0;  // refused: a cell needs at least one pixel
    vp.x.nSpeed = 0; // refused: a step of zero
    vp.y.nSpeed = 25;
    vp.x.nPlace = 0;
    vp.y.bShowGrid = 0;
    vp.nOriginPlace = 0;
    v.ApplyDisplaySettings(vp);
    EXPECT_EQ(v.Plane().m_nBaseCellW, 40);
    EXPECT_EQ(v.Plane().m_nCellW, 44);
    EXPECT_EQ(v.Plane().m_nBaseCellH, 50);
    EXPECT_EQ(v.Plane().m_nCellH, 55);
    EXPECT_EQ(v.Plane().m_dUnitX, 1.0);
    EXPECT_EQ(v.Plane().m_dUnitY, 0.25);
    EXPECT_EQ(v.Style().m_x.nPlace, 0);
    EXPECT_EQ(v.Style().m_y.bShowGrid, 0);
    EXPECT_EQ(v.Plane().m_nOriginX, 100);
    EXPECT_EQ(v.OriginPlace(), 4);
    EXPECT_EQ(m_host.presents, 1);
}

} // namespace
