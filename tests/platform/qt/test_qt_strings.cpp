#include "platform/qt/QtStrings.h"

#include <gtest/gtest.h>

TEST(QtStrings, InfinityTextsRoundTripAsCp936) {
    const std::string minusInf = "-\xA1\xDE";
    EXPECT_EQ(FromCp936(minusInf), QString::fromUtf8("-∞"));
    EXPECT_EQ(ToCp936(QString::fromUtf8("+∞")), "+\xA1\xDE");
    EXPECT_EQ(ToCp936(QString::fromUtf8("红色")), "\xBA\xEC\xC9\xAB");
}

// A long text shows its first characters and "…"; a double-byte character counts once and is
// never cut in two.
TEST(QtStrings, LongTextsAreElided) {
    const std::string zhong = "\xD6\xD0"; // 中
    const struct {
        std::string text;
        QString shown;
    } cases[] = {
        {std::string(200, 'a'), QString(200, u'a')},
        {std::string(201, 'a'), QString(200, u'a') + QChar(0x2026)},
        {std::string(199, 'a') + zhong, QString(199, u'a') + QString::fromUtf8("中")},
        {std::string(199, 'a') + zhong + "b",
         QString(199, u'a') + QString::fromUtf8("中") + QChar(0x2026)},
        {zhong + std::string(20000000, 'c'),
         QString::fromUtf8("中") + QString(199, u'c') + QChar(0x2026)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FromCp936Elided(c.text), c.shown) << c.text.size();
}
