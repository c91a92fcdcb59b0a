#include "panel/NumberText.h"

#include <gtest/gtest.h>
#include <string>

TEST(NumberText, Table) {
    const struct {
        std::string text;
        bool ok;
    } cases[] = {
        {"", true},
        {"-", true},
        {"+", true},
        {".", true},
        {"-.5", true},
        {"12.", true},
        {"+3.14", true},
        {"0123456789", true},
        {"-3.141592653589793", true},
        {"1-2", false},
        {"1+2", false},
        {"--1", false},
        {"1.2.3", false},
        {"..", false},
        {"1e5", false},
        {" 1", false},
        {"1,5", false},
        {"x", false},
        {"-\xA1\xDE", false}, // "-∞" in code page 936
        {"-\xA7\xDD", false}, // "-л"
        {"\xA3\xB1", false},  // a full-width digit one
        {std::string("1\0", 2), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsNumberText(c.text), c.ok) << '"' << c.text << '"';
}
