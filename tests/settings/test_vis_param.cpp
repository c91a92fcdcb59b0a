#include "settings/VisParam.h"

#include "../platform/TempDir.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

class VisParam : public CTempDirTest {};

TEST_F(VisParam, MissingFileGivesTheDefaults) {
    const CVisParam p = LoadVisParam(PathOf("VisParam.ini"));
    EXPECT_EQ(p, CVisParam{});
    EXPECT_EQ(p.nWidth, 50);
    EXPECT_EQ(p.nOriginPlace, 4);
    EXPECT_EQ(p.nPlaceX, 2);
    EXPECT_EQ(p.nSpeedY, 100u);
}

TEST_F(VisParam, SaveWritesAllKeysInOrderAndLoadsBack) {
    const std::string path = PathOf("VisParam.ini");
    CVisParam p;
    p.bShowAxisY = 0;
    p.nOriginPlace = 8;
    p.nWidth = 41;
    p.nSpeedX = 250;
    p.nSpeedY = 3000000000u; // above INT_MAX: stored as its 32-bit pattern
    p.nPlaceY = 1;
    p.bShowScaleX = 5; // any non-zero flag is written as 1
    ASSERT_TRUE(SaveVisParam(p, path));
    EXPECT_EQ(ReadText(path), "[Coor]\nbShow_X=1\nbShow_Y=0\nnOriginPlace=8\n"
                              "[Pane]\nbShow_X=1\nbShow_Y=1\nnWidth=41\nnHeight=50\n"
                              "[Scale]\nbShow_X=1\nbShow_Y=1\nnSpeed_X=250\n"
                              "nSpeed_Y=-1294967296\nnPlace_X=2\nnPlace_Y=1\n");
    p.bShowScaleX = 1;
    EXPECT_EQ(LoadVisParam(path), p);
    EXPECT_FALSE(SaveVisParam(p, PathOf("missing/VisParam.ini")));
}

TEST_F(VisParam, StrangeValuesNeverReachTheView) {
    struct Case {
        const char* text;
        int cell;            // nWidth and nHeight
        std::uint32_t speed; // nSpeed_X and nSpeed_Y
        int flag;            // bShow_X of every section, nOriginPlace and the placements
    };
    const Case cases[] = {
        {"0", 50, 100, 0},
        {"1", 1, 1, 1},
        {"10000", 10000, 10000, 10000},
        {"10001", 50, 10001, 10001},
        {"-5", 50, 4294967291u, -5},
        {"abc", 50, 100, 0},
        {"99999999999", 50, 1215752191u, 1215752191},
        {"", 50, 100, -1}, // an empty value counts as absent: each key's own default
    };
    for (const Case& c : cases) {
        const std::string path = PathOf("VisParam.ini");
        std::string text;
        for (const char* section : {"Coor", "Pane", "Scale"}) {
            text += std::string("[") + section + "]\n";
            for (const char* key : {"bShow_X", "bShow_Y", "nOriginPlace", "nWidth", "nHeight",
                                    "nSpeed_X", "nSpeed_Y", "nPlace_X", "nPlace_Y"})
                text += std::string(key) + "=" + c.text + "\n";
        }
        WriteText(path, text);
        const CVisParam p = LoadVisParam(path);
        EXPECT_EQ(p.nWidth, c.cell) << c.text;
        EXPECT_EQ(p.nHeight, c.cell) << c.text;
        EXPECT_EQ(p.nSpeedX, c.speed) << c.text;
        EXPECT_EQ(p.nSpeedY, c.speed) << c.text;
        if (c.flag == -1) {
            EXPECT_EQ(p, CVisParam{}) << c.text;
        } else {
            EXPECT_EQ(p.bShowAxisX, c.flag) << c.text;
            EXPECT_EQ(p.bShowGridY, c.flag) << c.text;
            EXPECT_EQ(p.bShowScaleX, c.flag) << c.text;
            EXPECT_EQ(p.nOriginPlace, c.flag) << c.text;
            EXPECT_EQ(p.nPlaceY, c.flag) << c.text;
        }
    }
}

TEST(VisParamUnits, StepsRoundToTheNearestHundredth) {
    EXPECT_DOUBLE_EQ(UnitFromSpeed(250), 2.5);
    EXPECT_DOUBLE_EQ(UnitFromSpeed(4294967295u), 42949672.95);
    struct Case {
        double unit;
        std::int32_t speed;
    };
    const Case cases[] = {
        {0.29, 29},
        {0.125, 13},
        {1.0, 100},
        {2.5, 250},
        {0.0, 0},
        {-0.29, -29},
        {1e300, INT32_MAX},
        {-1e300, INT32_MIN},
        {std::numeric_limits<double>::infinity(), INT32_MAX},
        {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SpeedFromUnit(c.unit), c.speed) << c.unit;
    for (std::uint32_t n = 1; n < 100000; n += 7)
        ASSERT_EQ(SpeedFromUnit(UnitFromSpeed(n)), static_cast<std::int32_t>(n));
}

} // namespace
