#include "document/ColorTable.h"

#include "document/CurvistDoc.h"
#include "platform/Cp936.h"

#include <gtest/gtest.h>

namespace {

TEST(ColorTable, NineEntriesInChooserOrder) {
    const std::pair<const char*, COLORREF> expected[] = {
        {"红色", 0x000000FF}, {"黄色", 0x0000FFFF},   {"蓝色", 0x00FF0000},
        {"绿色", 0x00008000}, {"粉红色", 0x00FF00FF}, {"橄榄色", 0x00008080},
        {"灰色", 0x00808080}, {"银色", 0x00C0C0C0},   {"浅绿色", 0x00FFFF00},
    };
    ASSERT_EQ(kColorTable.size(), 9u);
    for (std::size_t i = 0; i < 9; ++i) {
        EXPECT_STREQ(kColorTable[i].m_szName, expected[i].first);
        EXPECT_EQ(kColorTable[i].m_clr, expected[i].second) << i;
        EXPECT_TRUE(Utf8ToCp936Exact(kColorTable[i].m_szName).has_value());
        EXPECT_EQ(ColorIndexOf(expected[i].second), static_cast<int>(i));
    }
    EXPECT_EQ(ColorIndexOf(0x00123456), -1);
}

TEST(ColorTable, NewFunctionTakesTheFirstFreeColour) {
    CCurvistDoc doc;
    auto add = [&](COLORREF clr) {
        auto f = std::make_unique<CDataFun>();
        f->m_clrFun = clr;
        doc.AppendFunction(std::move(f));
    };
    std::vector<int> picked;
    for (int i = 0; i < 3; ++i) {
        picked.push_back(NewFunctionColorIndex(doc));
        add(kColorTable[picked.back()].m_clr);
    }
    EXPECT_EQ(picked, (std::vector<int>{0, 1, 2})); // 红色, 黄色, 蓝色

    add(0x00123456); // a colour outside the table takes no entry
    for (int i = 3; i < 9; ++i)
        add(kColorTable[i].m_clr);
    EXPECT_EQ(NewFunctionColorIndex(doc), 0); // all nine in use: 红色 again

    doc.Editor().Delete(1); // yellow is free again
    EXPECT_EQ(NewFunctionColorIndex(doc), 1);
    const COLORREF reds[] = {0x000000FF, 0x000000FF};
    EXPECT_EQ(NewColorIndex(reds), 1);
}

} // namespace
