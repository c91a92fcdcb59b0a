#include "platform/qt/QtStrings.h"

#include <gtest/gtest.h>

TEST(QtStrings, InfinityTextsRoundTripAsCp936) {
    const std::string minusInf = "-\xA1\xDE";
    EXPECT_EQ(FromCp936(minusInf), QString::fromUtf8("-∞"));
    EXPECT_EQ(ToCp936(QString::fromUtf8("+∞")), "+\xA1\xDE");
    EXPECT_EQ(ToCp936(QString::fromUtf8("红色")), "\xBA\xEC\xC9\xAB");
}
