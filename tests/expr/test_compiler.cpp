#include "NodeText.h"
#include "expr/CalcValue.h"
#include "expr/FunCompiler.h"
#include "expr/StrToDouble.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

struct CAccepted {
    const char* text;
    const char* nodes;
};

// Node lists in order; "-" names a copy node.
const CAccepted kAccepted[] = {
    {"x", "- A :"},
    {"(x)", "- A :\n- A :"},
    {"2", "- A 2"},
    {".5", "- A .5"},
    {"sin(x)+2*x^2", "- A :\na B :\nb ^ : 2\nc * 2 _b\nd + _a _c"},
    {"SIN(X)", "- A :\na B :"},
    {"-x", "a - 0 :"},
    {"+x", "- A :"},
    {"-x^2", "a ^ : 2\nb - 0 _a"},
    {"-x+1", "a - 0 :\nb + _a 1"},
    {"2^3^2", "a ^ 2 3\nb ^ _a 2"},
    {"8/2/2", "a / 8 2\nb / _a 2"},
    {"ctgx", "a H :"},
    {"tgx", "a D :"},
    {"secx", "a I :"},
    {"cscx", "a J :"},
    {"ex", "a F :"},
    {"lnx", "a G :"},
    {"e(x+1)", "a + : 1\nb F _a"},
    {"sinx+cosx", "a B :\nb C :\nc + _a _b"},
    {"sin(x+cos(x))", "- A :\na C :\nb + : _a\nc B _b"},
    {"sin(cosx)", "a C :\nb B _a"},
    {"2*(-x)", "a - 0 :\nb * 2 _a"},
    {"2^(-1)", "a - 0 1\nb ^ 2 _a"},
    // Groups side by side: each "(" pairs with its own ")".
    {"sin(x)+cos(x)", "- A :\n- A :\na B :\nb C :\nc + _a _b"},
    {"(x+1)*(x-1)", "a + : 1\nb - : 1\nc * _a _b"},
    // Groups that reduce to a number, with an operator between them and their neighbours.
    {"(2)*(3)", "- A 2\n- A 3\na * 2 3"},
    {"2*(3)", "- A 3\na * 2 3"},
    {"sin(1)^(2)", "- A 1\n- A 2\na B 1\nb ^ _a 2"},
    {"(x)-(.5)", "- A :\n- A .5\na - : .5"},
    {"e(2)/(x)", "- A 2\n- A :\na F 2\nb / _a :"},
    // Typed ':' and ';' act as x and e.
    {":+;:", "a F :\nb + : _a"},
    {"x+:", "a + : :"},
};

TEST(Compiler, AcceptedTextsGiveTheirNodeLists) {
    for (const auto& c : kAccepted) {
        CFunCheck r = CheckFunText(c.text);
        ASSERT_EQ(r.status, EFunCheck::Ok) << c.text;
        EXPECT_EQ(NodeText(*r.pNodes), c.nodes) << c.text;
    }
}

TEST(Compiler, RefusedTexts) {
    for (const char* text :
         {"3.", "1.2.3", ".5.5", "(x", "x)", "()", "(x))", "((x)", "-", "+", "+-x", "2x", "2sinx",
          "sin2x", "sincosx", "2*-x", "2^-1", "e^x", "exp(x)", "e", "pi", "x y", "x+", "*x", "sin",
          "sin()", "1e5", "x,1", "(x)(x)", "\xBA\xEC",
          // A group beside a number, x or another group, which would glue its digits on.
          "(2)(3)", "x*(1)(.5)", "sin(1)(2)", "x^(1)(2)", "1(2)(3)", "2(3)", "(2)3", "(2).5",
          ".5(2)", "x(2)", "(2)x", "(x+1)(x-1)", "((2))(3)",
          // Characters outside the language.
          "sin;", "x ", "x\t", "x=1", "2%x"}) {
        EXPECT_EQ(CheckFunText(text).status, EFunCheck::Invalid) << text;
    }
}

TEST(Compiler, ConfirmationRules) {
    EXPECT_EQ(CheckFunText("").status, EFunCheck::Empty);
    EXPECT_EQ(CheckFunText("x_1").status, EFunCheck::Reserved);
    EXPECT_EQ(CheckFunText("_a").status, EFunCheck::Reserved);
    CFunCheck bad = CheckFunText("2x");
    EXPECT_EQ(bad.pNodes, nullptr);
    EXPECT_STREQ(kMsgInvalidFun, "输入无效的函数式，请检验输入是否正确。");
}

TEST(Compiler, NumbersAreReadAsTheNearestDouble) {
    CFunCheck r = CheckFunText("x^3");
    ASSERT_EQ(r.status, EFunCheck::Ok);
    EXPECT_EQ(r.pNodes->Nodes()[0].m_dRight, 3.0);
    bool err = false;
    EXPECT_EQ(CalcValue(*r.pNodes, -2.0, err), -8.0);
    EXPECT_FALSE(err);

    const std::pair<const char*, double> cases[] = {{"0.1", 0.1},
                                                    {"123.45", 123.45},
                                                    {"2.5", 2.5},
                                                    {"3", 3.0},
                                                    {"7", 7.0},
                                                    {"3.141592653589793", 3.141592653589793},
                                                    {"-3.141592653589793", -3.141592653589793},
                                                    {"+3.141592653589793", 3.141592653589793},
                                                    {".5", 0.5},
                                                    {"-.5", -0.5},
                                                    {"12.", 12.0},
                                                    {".", 0.0},
                                                    {"", 0.0},
                                                    {"-2.5", -2.5}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(StrToDouble(text), value) << text;
    EXPECT_EQ(StrToDouble(std::string(400, '9')), HUGE_VAL);

    // A number too large for a double is refused rather than read as an infinity.
    const std::string big = "1" + std::string(308, '0');
    CFunCheck large = CheckFunText(big + "*x");
    ASSERT_EQ(large.status, EFunCheck::Ok);
    EXPECT_EQ(large.pNodes->Nodes()[0].m_dLeft, 1e308);
    for (const std::string& text :
         {std::string(400, '9'), big + "0", "x+" + big + "0", "sin" + big + "0", "(" + big + "0)"})
        EXPECT_EQ(CheckFunText(text).status, EFunCheck::Invalid) << text.substr(0, 8);
    EXPECT_EQ(StrToDouble("0." + std::string(400, '0') + "1"), 0.0);
}

TEST(Compiler, AtMostTwentySixApplications) {
    std::string text = "x";
    for (int i = 0; i < 26; ++i)
        text += "+x";
    EXPECT_EQ(CheckFunText(text).status, EFunCheck::Ok);
    EXPECT_EQ(CheckFunText(text + "+x").status, EFunCheck::Invalid);

    // Functions do not consume earlier references, so their names run out as well.
    std::string funs = "sinx";
    for (int i = 0; i < 26; ++i)
        funs += "+1";
    EXPECT_EQ(CheckFunText(funs).status, EFunCheck::Invalid);
    std::string many;
    for (int i = 0; i < 200; ++i)
        many += "sin1";
    EXPECT_EQ(CheckFunText(many).status, EFunCheck::Invalid);
}

TEST(Compiler, HostileTextsAreRefusedCheaply) {
    const std::string deep = std::string(256, '(') + "x" + std::string(256, ')');
    EXPECT_EQ(CheckFunText(deep).status, EFunCheck::Ok);
    const std::string deeper = std::string(257, '(') + "x" + std::string(257, ')');
    EXPECT_EQ(CheckFunText(deeper).status, EFunCheck::Invalid);
    EXPECT_EQ(CheckFunText(std::string(1000, '(')).status, EFunCheck::Invalid);

    std::string longText = "x";
    while (longText.size() <= kMaxFunText)
        longText += "+0";
    EXPECT_EQ(CheckFunText(longText).status, EFunCheck::Invalid);
    EXPECT_EQ(CheckFunText(std::string(100000, '1')).status, EFunCheck::Invalid);
}

TEST(Compiler, TypedTextIsNormalised) {
    EXPECT_EQ(NormalizeFunText("SecX+CTGx+tgX+Ex"), "sec:+cot:+tan:+;:");
    EXPECT_EQ(NormalizeFunText("\xBA\xEC"
                               "X"),
              "\xBA\xEC:");
}

} // namespace
