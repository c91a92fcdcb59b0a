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

TEST(CurvistPlot, RefusedExpressionsAndUsageErrors) {
    const CToolRun bad = RunTool({"--eval", "1", "x", "2x"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_NE(bad.err.find("输入无效的函数式，请检验输入是否正确。"), std::string::npos);
    EXPECT_NE(bad.err.find("2x"), std::string::npos);

    const CToolRun reserved = RunTool({"--nodes", "x_1"});
    EXPECT_EQ(reserved.status, 2);
    EXPECT_NE(reserved.err.find("Error"), std::string::npos);

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, {"--eval"}, {"--eval", "abc", "x"}, {"--bogus", "x"}})
        EXPECT_EQ(RunTool(args).status, 1);
}

} // namespace
