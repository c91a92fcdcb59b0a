// Hints for refused texts: the first problem, its place, and the rewrite that compiles.

#include "expr/FunCompiler.h"
#include "expr/InputHints.h"

#include <gtest/gtest.h>

namespace {

TEST(InputHints, SlipsGetTheirRewrite) {
    const struct {
        const char* typed;
        const char* rewrite;
        const char* problem; // the first problem, position included
    } cases[] = {
        {"2x", "2*x", "第2个字符前缺少乘号"},
        {"3x^2+2x", "3*x^2+2*x", "第2个字符前缺少乘号"},
        {"2(x+1)", "2*(x+1)", "第2个字符前缺少乘号"},
        {"(x+1)(x-1)", "(x+1)*(x-1)", "第6个字符前缺少乘号"},
        {"sin x", "sinx", "第4个字符是空格"},
        {"x + 1", "x+1", "第2个字符是空格"},
        {"sin 2x", "sin(2*x)", "第4个字符起，函数“sin”的运算对象是乘积或乘方"},
        {"cos x^2", "cos(x^2)", "第4个字符起"},
        {"sin2x", "sin(2*x)", "第4个字符起，函数“sin”的运算对象是乘积"},
        {"sincosx", "sin(cosx)", "第4个字符起，函数作用于函数"},
        {"sqrt(x)", "x^0.5", "第1个字符起的“sqrt”"},
        {"sqrt(x+1)", "(x+1)^0.5", "第1个字符起的“sqrt”"},
        {"2^sqrt(x)", "2^(x^0.5)", "第3个字符起的“sqrt”"},
        {"|x|", "(x^2)^0.5", "第1个字符“|”"},
        {"|x-1|", "((x-1)^2)^0.5", "第1个字符“|”"},
        {"abs(x)", "(x^2)^0.5", "第1个字符起的“abs”"},
        {"abs x", "(x^2)^0.5", "第1个字符起的“abs”"},
        {"pi", "3.14159265358979", "第1个字符起的“pi”"},
        {"π", "3.14159265358979", "第1个字符“π”应写作"},
        {"2π", "2*3.14159265358979", "第2个字符“π”"},
        {"e^x", "ex", "第2个字符“^”不用写"},
        {"exp(x)", "ex", "第1个字符起的“exp”"},
        {"e^(x+1)", "e(x+1)", "第2个字符“^”"},
        {"e", "2.71828182845905", "第1个字符“e”是指数函数"},
        {"x²", "x^2", "第2个字符“²”应写作“^2”"},
        {"x³+1", "x^3+1", "第2个字符“³”"},
        {"2*-x", "2*(-x)", "第3个字符“-”"},
        {"2^-1", "2^(-1)", "第3个字符“-”"},
        {"2*-x^2", "2*(-x^2)", "第3个字符“-”"},
        {"（x＋1）×2÷x", "(x+1)*2/x", "第1个字符“（”应写作“(”"},
        {"１２x", "12*x", "第1个字符“１”"},
        {"sin(x", "sin(x)", "第4个字符“(”缺少配对的右括号"},
        {"x+1)", "x+1", "第4个字符“)”是多余的右括号"},
        {"SIN 2X", "SIN(2*X)", "第4个字符起"},
    };
    for (const auto& c : cases) {
        const std::optional<CInputHint> hint = InputHintFor(c.typed);
        ASSERT_TRUE(hint.has_value()) << c.typed;
        EXPECT_EQ(hint->strRewrite, c.rewrite) << c.typed;
        EXPECT_EQ(hint->strProblem.rfind(c.problem, 0), 0u) << c.typed << ": " << hint->strProblem;
        EXPECT_EQ(CheckFunText(hint->strRewrite).status, EFunCheck::Ok) << c.typed;
    }
}

// Problems with no one way out are named, with no rewrite to apply.
TEST(InputHints, ProblemsWithoutRewrite) {
    std::string many = "x";
    for (int i = 0; i < 27; ++i)
        many += "+x";
    const struct {
        std::string typed;
        const char* problem;
    } cases[] = {
        {"x+y", "第3个字符“y”不是式中可用的字符"},
        {"x_1", "第2个字符“_”不能用在式中"},
        {"()", "第1个字符起的括号里是空的"},
        {"1.2.3", "第1个字符起的数“1.2.3”写法不对"},
        {"3.", "第1个字符起的数“3.”写法不对"},
        {"x+", "第2个字符“+”后缺少运算对象"},
        {"*x", "第1个字符“*”前缺少运算对象"},
        {"sin", "第1个字符起的函数“sin”后缺少运算对象"},
        {"|x", "第1个字符“|”"},
        // Mending the slips leaves an earlier problem: that one is named.
        {"2.5.1x", "第1个字符起的数“2.5.1”写法不对"},
        {"sin^2x", "第1个字符起的函数“sin”后缺少运算对象"},
        {many, "式中的运算（函数也算）超过26个"},
    };
    for (const auto& c : cases) {
        const std::optional<CInputHint> hint = InputHintFor(c.typed);
        ASSERT_TRUE(hint.has_value()) << c.typed;
        EXPECT_EQ(hint->strRewrite, "") << c.typed;
        EXPECT_EQ(hint->strProblem.rfind(c.problem, 0), 0u) << c.typed << ": " << hint->strProblem;
    }
}

TEST(InputHints, ValidAndEmptyTextsHaveNone) {
    for (const char* text : {"", "x", "sin(2*x)", "sin2*x", "SIN(X)", ":+;:", "2*(-x)", "ex"})
        EXPECT_FALSE(InputHintFor(text).has_value()) << text;
}

TEST(InputHints, LineNamesTheRewrite) {
    EXPECT_EQ(InputHintLine(*InputHintFor("2x")), "提示：第2个字符前缺少乘号，可写成 2*x");
    EXPECT_EQ(InputHintLine(*InputHintFor("x+y")), "提示：第3个字符“y”不是式中可用的字符");
}

} // namespace
