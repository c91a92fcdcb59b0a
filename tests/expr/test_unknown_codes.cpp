#include "NodeText.h"
#include "expr/CalcValue.h"

#include <gtest/gtest.h>

namespace {

// A file may hold any byte as a node's code. Whatever is not an operator or a function keeps
// the node's stored result, on the per-point and the batch path alike, with no failure: the
// codes the evaluator uses inside must not be reachable from a file.
TEST(UnknownCodes, KeepTheStoredResultOnBothPaths) {
    for (int code : {0x00, 0x01, 0x02, 0x1F, 0x7F, 0x80, 0xFF, int('?'), int('K'), int('Z'),
                     int('a'), int('0'), int(':')}) {
        for (const char* right : {"", ":", "2"}) {
            CNodeList list;
            CDataAnalyzeFun n = MakeNode('a', static_cast<char>(code), ":", 0, right, 2.0);
            n.m_dResult = 7.5;
            list.Append(n);
            list.Append(MakeNode('b', '+', "_a", 0, ":"));
            const std::string what = "code " + std::to_string(code) + " right \"" + right + "\"";

            bool err = false;
            EXPECT_EQ(CalcValue(list, 1.0, err), 8.5) << what;
            EXPECT_FALSE(err) << what;

            const double xs[3] = {1.0, 0.0, -2.0};
            double ys[3] = {};
            bool errs[3] = {true, true, true};
            CalcValues(list, xs, ys, errs, 3);
            for (int i = 0; i < 3; ++i) {
                EXPECT_EQ(ys[i], 7.5 + xs[i]) << what << " at x=" << xs[i];
                EXPECT_FALSE(errs[i]) << what << " at x=" << xs[i];
            }
        }
    }
}

} // namespace
