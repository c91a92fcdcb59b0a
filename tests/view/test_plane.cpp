// The plane's rules on their own: origin presets in both numberings, zoom scales, transforms.

#include "view/Plane.h"

#include <gtest/gtest.h>

namespace {

TEST(PlaneTest, OriginPresetsInBothNumberings) {
    // One row per place on a 101 x 51 client: its menu code, its "nOriginPlace" code.
    const struct {
        const char* name;
        int menu, ini, x, y;
    } cases[] = {
        {"centre", 0, 4, 50, 25},     {"left", 1, 3, 0, 25},       {"right", 2, 5, 101, 25},
        {"top", 3, 1, 50, 0},         {"bottom", 4, 7, 50, 51},    {"top left", 5, 0, 0, 0},
        {"bottom left", 6, 6, 0, 51}, {"top right", 7, 2, 101, 0}, {"bottom right", 8, 8, 101, 51},
    };
    for (const auto& c : cases)
        for (const auto& [numbering, code] :
             {std::pair{EOriginCode::Menu, c.menu}, std::pair{EOriginCode::Ini, c.ini}}) {
            CPlane p;
            EXPECT_TRUE(p.PlaceOrigin(code, numbering, 101, 51)) << c.name;
            EXPECT_EQ(p.m_nOriginX, c.x) << c.name << " code " << code;
            EXPECT_EQ(p.m_nOriginY, c.y) << c.name << " code " << code;
        }
    for (int code : {-1, 9})
        for (EOriginCode numbering : {EOriginCode::Menu, EOriginCode::Ini}) {
            CPlane p;
            p.m_nOriginX = p.m_nOriginY = 7;
            EXPECT_FALSE(p.PlaceOrigin(code, numbering, 101, 51)) << code;
            EXPECT_EQ(p.m_nOriginX + p.m_nOriginY, 14) << code;
        }
}

TEST(PlaneTest, ScalesOfTheZoomCommandsAndTheDrag) {
    const struct {
        int scale;
        short dir;
        int step;
    } steps[] = {{100, 1, 110}, {100, -1, 95}, {95, 1, 100},
                 {105, -1, 95}, {15, -1, 10},  {10, -1, 10},
                 {250, 0, 100}, {250, 7, 100}, {kMaxScale - 3, 1, kMaxScale}};
    for (const auto& s : steps)
        EXPECT_EQ(CPlane::StepScale(s.scale, s.dir), s.step) << s.scale << " " << s.dir;

    const struct {
        int scale, steps, drag;
    } drags[] = {{100, 2, 110},
                 {100, -3, 85},
                 {20, -5, kMinScale},
                 {100, 0, 100},
                 {kMaxScale - 5, 4, kMaxScale},
                 {kMaxScale, -1, kMaxScale - 5}};
    for (const auto& d : drags)
        EXPECT_EQ(CPlane::DragScale(d.scale, d.steps), d.drag) << d.scale << " " << d.steps;
}

TEST(PlaneTest, CellsFollowTheScaleOnlyWhenTheWidthChanges) {
    const struct {
        int baseW, baseH, cellW, cellH, scale;
        bool changed;
        int newW, newH;
    } cases[] = {
        {50, 50, 50, 50, 110, true, 55, 55},
        {10, 50, 9, 47, 90, false, 9, 47}, // 9 stays 9: the height waits
        {10, 50, 9, 47, 80, true, 8, 40},
        {1, 1, 1, 1, 10, false, 1, 1}, // never below one pixel
    };
    for (const auto& c : cases) {
        CPlane p;
        p.m_nBaseCellW = c.baseW, p.m_nBaseCellH = c.baseH;
        p.m_nCellW = c.cellW, p.m_nCellH = c.cellH;
        EXPECT_EQ(p.TakeScale(c.scale), c.changed) << c.scale;
        EXPECT_EQ(p.m_nScale, c.scale);
        EXPECT_EQ(p.m_nCellW, c.newW) << c.scale;
        EXPECT_EQ(p.m_nCellH, c.newH) << c.scale;
    }
    // Setting the scale outright zooms both cells.
    CPlane p;
    p.m_nBaseCellW = 10;
    p.m_nCellW = 9;
    p.SetScale(90);
    EXPECT_EQ(p.m_nCellH, 45);
}

TEST(PlaneTest, TransformsAreInverseWithUpPositive) {
    CPlane p;
    p.m_nOriginX = 100, p.m_nOriginY = 80;
    p.m_nCellW = 40, p.m_nCellH = 20;
    p.m_dUnitX = 2.5, p.m_dUnitY = 0.5;
    EXPECT_DOUBLE_EQ(p.ColToWorldX(180), 5.0);
    EXPECT_DOUBLE_EQ(p.ColToWorldX(60), -2.5);
    EXPECT_DOUBLE_EQ(p.RowToWorldY(60), 0.5);
    EXPECT_DOUBLE_EQ(p.RowToWorldY(100), -0.5);
    for (double row : {-13.0, 0.0, 60.0, 80.0, 1234.5})
        EXPECT_DOUBLE_EQ(p.WorldYToRow(p.RowToWorldY(row)), row);
}

} // namespace
