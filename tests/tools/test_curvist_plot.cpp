#include "RunTool.h"

#include <gtest/gtest.h>

namespace {

TEST(CurvistPlot, PrintsTheNodeList) {
    const CToolRun r = RunTool({"--nodes", "sin(x)+2*x^2"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "- A :\na B :\nb ^ : 2\nc * 2 _b\nd + _a _c\n");
}

TEST(CurvistPlot, EvaluatesEachExpressionAtEachX) {
    const CToolRun r = RunTool({"--eval", "-2", "--eval", "0", "x^3", "1/x"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "-8\n0\n-0.5\nerror\n");
    EXPECT_EQ(RunTool({"--eval", "2", "sin(x)+1"}).out, "1.9092974268256817\n");
}

TEST(CurvistPlot, PrintsTheVersionOfTheAboutBox) {
    const CToolRun r = RunTool({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "curvist-plot 1.02\n");
}

// After the refusal a line says what to write instead; that text compiles.
TEST(CurvistPlot, RefusedExpressionsGetAHint) {
    const struct {
        const char* text;
        const char* hint;
        const char* rewrite; // empty: the hint offers none
    } cases[] = {
        {"2x", "提示：第2个字符前缺少乘号，可写成 2*x", "2*x"},
        {"sin 2x", "提示：第4个字符起，函数“sin”的运算对象是乘积或乘方，须加括号，可写成 sin(2*x)",
         "sin(2*x)"},
        {"x+y", "提示：第3个字符“y”不是式中可用的字符", ""},
        {"some.cvx", "提示：要读取函数文件，请写 --file some.cvx", ""},
    };
    for (const auto& c : cases) {
        const CToolRun r = RunTool({"--nodes", c.text});
        EXPECT_EQ(r.status, 2) << c.text;
        EXPECT_EQ(r.err, std::string("输入无效的函数式，请检验输入是否正确。: ") + c.text + "\n" +
                             c.hint + "\n")
            << c.text;
        if (*c.rewrite) {
            EXPECT_EQ(RunTool({"--nodes", c.rewrite}).status, 0) << c.rewrite;
        }
    }
    // Valid texts print no hint, ':' and ';' among them as x and e.
    const CToolRun ok = RunTool({"--eval", "0", ":+;:"});
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(ok.out, "1\n");
    EXPECT_EQ(ok.err, "");
}

TEST(CurvistPlot, RefusedExpressionsAndUsageErrors) {
    const CToolRun bad = RunTool({"--eval", "1", "x", "2x"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_NE(bad.err.find("输入无效的函数式，请检验输入是否正确。"), std::string::npos);
    EXPECT_NE(bad.err.find("2x"), std::string::npos);

    // Texts the compiler refuses: a group glued to a number, a character outside the language,
    // a number too large for a double.
    for (const char* text : {"(2)(3)", "sin(1)(2)", "x:", "x;", "1e5"}) {
        const CToolRun r = RunTool({"--eval", "1", text});
        EXPECT_EQ(r.status, 2) << text;
        EXPECT_EQ(r.out, "") << text;
    }
    EXPECT_EQ(RunTool({"--nodes", std::string(400, '9')}).status, 2);

    const CToolRun reserved = RunTool({"--nodes", "x_1"});
    EXPECT_EQ(reserved.status, 2);
    EXPECT_NE(reserved.err.find("Error"), std::string::npos);

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, {"--eval"}, {"--eval", "abc", "x"}, {"--bogus", "x"}}) {
        const CToolRun r = RunTool(args);
        EXPECT_EQ(r.status, 1);
        // The usage goes with the error, to standard error.
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("usage: curvist-plot"), std::string::npos);
    }
}

// --help and --version answer on standard output with status 0; the desktop program does so
// without a display instead of opening a file of that name.
TEST(CurvistPlot, HelpAndVersionForBothPrograms) {
    const std::string noDisplay = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM";
    const struct {
        const char* program;
        const char* option;
        const char* out; // the start of standard output
    } cases[] = {
        {CURVIST_PLOT, "--help", "usage: curvist-plot"},
        {CURVIST_PLOT, "-h", "usage: curvist-plot"},
        {CURVIST_PLOT, "--version", "curvist-plot 1.02\n"},
        {CURVIST_APP, "--help", "usage: curvist"},
        {CURVIST_APP, "--version", "curvist 1.02\n"},
    };
    for (const auto& c : cases) {
        const CToolRun r = RunTool({c.option}, c.program, noDisplay);
        EXPECT_EQ(r.status, 0) << c.program << " " << c.option << ": " << r.err;
        EXPECT_EQ(r.out.rfind(c.out, 0), 0u) << c.program << " " << c.option << ": " << r.out;
        EXPECT_EQ(r.err, "") << c.program << " " << c.option;
    }
    // An unknown option is a usage error, not a file to open.
    const CToolRun bogus = RunTool({"--bogus"}, CURVIST_APP, "env QT_QPA_PLATFORM=offscreen");
    EXPECT_EQ(bogus.status, 1);
    EXPECT_NE(bogus.err.find("--bogus"), std::string::npos);
}

TEST(CurvistPlot, AnswersZerosExtremaIntersectionsAndSlopes) {
    const struct {
        std::vector<std::string> args;
        const char* out;
    } cases[] = {
        {{"--zeros", "-4", "4", "sinx"}, "-3.14159265358979\n0\n3.14159265358979\n"},
        {{"--zeros", "-5", "5", "(x^2-1)/(x-2)"}, "-1\n1\n"}, // not the pole at 2
        {{"--zeros", "-1", "1", "x^2"}, "0?\n"},
        {{"--zeros", "-1", "3", "x-x"}, "-1 3\n"},
        {{"--extrema", "-4", "4", "sinx"}, "min -1.5707963267949 -1\nmax 1.5707963267949 1\n"},
        {{"--intersections", "-3", "3", "x", "1/x"}, "-1 -1\n1 1\n"},
        {{"--derivative", "0", "sinx", "--derivative", "0", "lnx"}, "1\nerror\n"},
    };
    for (const auto& c : cases) {
        const CToolRun r = RunTool(c.args);
        EXPECT_EQ(r.status, 0) << c.args[0] << " " << r.err;
        EXPECT_EQ(r.out, c.out) << c.args[0] << " " << c.args.back();
    }
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--zeros", "1", "0", "x"},
                                                 {"--zeros", "0", "1"},
                                                 {"--derivative", "x", "x"},
                                                 {"--intersections", "0", "1", "x"}})
        EXPECT_EQ(RunTool(args).status, 1) << args[0];
    EXPECT_EQ(RunTool({"--zeros", "0", "1", "2x"}).status, 2);
}

} // namespace
