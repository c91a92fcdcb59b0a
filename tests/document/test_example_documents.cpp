// The example documents shipped with the program open, hold what their names promise, and their
// stored node lists still compute what their texts say.

#include "document/CurvistDoc.h"
#include "document/DocumentFile.h"
#include "expr/CalcValue.h"
#include "expr/FunCompiler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

struct CExample {
    const char* szFile;
    std::vector<std::string> texts;
    std::vector<std::string> lower; // empty: every function unbounded
};

TEST(ExampleDocuments, OpenWithTheirFunctionsAndDomains) {
    const std::string inf = "-\xA1\xDE";
    const CExample examples[] = {
        {"trigonometry.cvx", {"sinx", "cosx", "tanx", "2*sin(2*x)"}, {}},
        {"rational.cvx", {"1/x", "1/(x^2-1)", "(x^2+1)/(x-2)"}, {}},
        {"log-exp.cvx", {"lnx", "ex", "x", "e(-x)"}, {}},
        {"domains.cvx", {"-x-1", "x^2-1", "ln(x)", "1.5"}, {"-4", "-1", "1", "-3"}},
    };
    for (const CExample& e : examples) {
        SCOPED_TRACE(e.szFile);
        CCurvistDoc doc;
        std::string error;
        ASSERT_TRUE(LoadDocument(doc, std::string(CURVIST_EXAMPLES) + "/" + e.szFile, &error))
            << error;
        ASSERT_EQ(doc.m_arFuns.size(), e.texts.size());
        for (std::size_t i = 0; i < e.texts.size(); ++i) {
            CDataFun& f = *doc.m_arFuns[i];
            EXPECT_EQ(f.m_strFun, e.texts[i]);
            EXPECT_EQ(f.m_strMin, e.lower.empty() ? inf : e.lower[i]);
            EXPECT_TRUE(f.m_bShow);
            CFunCheck fresh = CheckFunText(f.m_strFun);
            ASSERT_EQ(fresh.status, EFunCheck::Ok);
            for (double x : {-2.5, -0.5, 0.75, 3.0}) {
                bool bStoredErr = false, bFreshErr = false;
                const double stored = CalcValue(*f.m_pNodes, x, bStoredErr);
                const double expected = CalcValue(*fresh.pNodes, x, bFreshErr);
                EXPECT_EQ(bStoredErr, bFreshErr) << f.m_strFun << " at " << x;
                if (!bFreshErr && std::isfinite(expected)) {
                    EXPECT_DOUBLE_EQ(stored, expected) << f.m_strFun << " at " << x;
                }
            }
        }
    }
}

} // namespace
