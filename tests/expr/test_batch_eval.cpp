#include "NodeText.h"
#include "expr/CalcValue.h"
#include "expr/FunCompiler.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace {

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The batch must agree with CalcValue bit for bit, flags included, for every x.
void ExpectMatchesPointwise(CNodeList& list, const std::vector<double>& xs, const char* what) {
    std::vector<double> ys(xs.size(), -1.0);
    std::unique_ptr<bool[]> errs(new bool[xs.size() + 1]);
    CalcValues(list, xs.data(), ys.data(), errs.get(), xs.size());
    for (std::size_t i = 0; i < xs.size(); ++i) {
        bool err = false;
        const double y = CalcValue(list, xs[i], err);
        ASSERT_EQ(errs[i], err) << what << " at x=" << xs[i];
        ASSERT_TRUE(SameBits(ys[i], y) || (std::isnan(ys[i]) && std::isnan(y)))
            << what << " at x=" << xs[i] << ": " << ys[i] << " vs " << y;
    }
}

std::vector<double> Grid(std::size_t n) {
    // Points where evaluations fail or leave the reals, in the first chunk and in the last.
    const double special[] = {0.0,
                              -0.0,
                              1.0,
                              -1.0,
                              2.0,
                              -4.0,
                              1e308,
                              -1e308,
                              std::numeric_limits<double>::infinity(),
                              std::numeric_limits<double>::quiet_NaN()};
    std::vector<double> xs(std::begin(special), std::end(special));
    for (std::size_t i = 0; i < n; ++i)
        xs.push_back(-10.0 + 20.0 * static_cast<double>(i) / static_cast<double>(n));
    xs.insert(xs.end(), std::begin(special), std::end(special));
    return xs;
}

TEST(BatchEval, AgreesWithCalcValueOnCompiledLists) {
    for (const char* text :
         {"x", "2", "sin(x)+1", "sin(x)+2*x^2", "1/x", "lnx*cosx/(1+x^2)", "x^0.5", "0^x", "2^x",
          "x^x", "tanx", "cotx+secx-cscx", "e(1/x)", "1/(x-x)", "(x+1)*(x-1)/(x^3)",
          "x*x+x*x-x*x+x*x-x*x+x*x-x*x+x*x-x*x+x*x-x*x+x*x-x*x+1",
          // Identical steps, copies and constants, which the batch computes once or ahead.
          "x*x-x*2", "sin(x)+sin(x)*sin(x)-cos(x)", "((x))", "((2))", "2^0.5*x", "1/(1-1)+x",
          "(2-2)^x", "0^0+x", "e(2)*lnx", "(x+1)/(x+1)", "1/0", "x/(x-x)+1/x", "3-2^3^x", "ln(0)*x",
          "e(1000)-e(1000)+x", "(x^0.5)^0.5+(x^0.5)",
          // Runs of arithmetic computed together: values read by the next step only, divisions
          // and squares that fail inside a run.
          "1/x-(x-1)^2*3/(x+2)", "2/(x*x)^2-1/(x-x^2)", "(x/10^200)^2+1/(x-1)*x"}) {
        CFunCheck r = CheckFunText(text);
        ASSERT_EQ(r.status, EFunCheck::Ok) << text;
        for (std::size_t n : {0u, 1u, 255u, 256u, 257u, 4000u})
            ExpectMatchesPointwise(*r.pNodes, Grid(n), text);
    }
}

TEST(BatchEval, AgreesWithCalcValueOnStoredLists) {
    std::vector<std::vector<CDataAnalyzeFun>> lists = {
        {},
        {MakeNode('a', '+', "_q", 0, "1", 1.0)},
        {MakeNode('a', '/', "1", 1.0, ":"), MakeNode('b', '+', "_z", 0, "1", 1.0)},
        // A node named like the node it reads: the batch must not overwrite its input.
        {MakeNode('a', '+', ":", 0, "1", 1.0), MakeNode('a', '*', "_a", 0, "_a")},
        {MakeNode('a', 'E', ":"), MakeNode('b', '+', "_a", 0, ":")},
        {MakeNode('a', '?', ":", 0, "2", 2.0)},
        {MakeNode('a', 'B', ":", 0, "_z")},
        {MakeNode('a', '\x01', ":", 0, "2", 2.0), MakeNode('b', '*', "_a", 0, ":")},
        {MakeNode('a', '\x10', ":", 0, "2", 2.0)},
        // Stored results read as constants, and a name written twice between two readers.
        {MakeNode('a', 'E', ":"), MakeNode('b', '*', "_a", 0, "_a"),
         MakeNode('c', '/', "1", 1.0, "_b")},
        {MakeNode('a', '+', ":", 0, "1", 1.0), MakeNode('b', 'B', "_a"),
         MakeNode('a', '*', ":", 0, "3", 3.0), MakeNode('c', 'B', "_a"),
         MakeNode('d', '-', "_b", 0, "_c")},
        // Steps whose results nothing reads still fail.
        {MakeNode('a', '/', "1", 1.0, ":"), MakeNode('b', '^', ":", 0, "0.5", 0.5),
         MakeNode('c', '+', ":", 0, "1", 1.0)},
    };
    lists[4][0].m_dResult = 7.0;
    lists[5][0].m_dResult = -3.0;
    lists[7][0].m_dResult = 4.0;
    lists[8][0].m_dResult = 5.0;
    lists[9][0].m_dResult = 0.0;
    // One run of arithmetic longer than a fused piece, failing at some integers on the way.
    std::vector<CDataAnalyzeFun> run = {MakeNode('a', '+', ":", 0, "1", 1.0)};
    for (int k = 1; k <= 24; ++k) {
        const double d = k;
        const std::string num = std::to_string(k);
        if (k % 4 == 0) {
            run.push_back(MakeNode('b', '-', ":", 0, num, d));
            run.push_back(MakeNode('b', '/', "1", 1.0, "_b")); // fails at x = k
        } else {
            run.push_back(MakeNode('b', k % 4 == 1 ? '*' : '^', ":", 0, k % 4 == 1 ? num : "2",
                                   k % 4 == 1 ? d : 2.0));
        }
        run.push_back(MakeNode('a', k % 2 ? '-' : '+', "_a", 0, "_b"));
    }
    lists.push_back(run);
    for (std::size_t k = 0; k < lists.size(); ++k) {
        CNodeList list;
        for (const auto& n : lists[k])
            list.Append(n);
        ExpectMatchesPointwise(list, Grid(300), ("stored list " + std::to_string(k)).c_str());
    }
}

} // namespace
