// Node results after a batch: those that the same calls made one at a time, in the same order,
// leave behind, so a saved list carries the latest evaluation whichever path drew it.

#include "NodeText.h"
#include "expr/CalcValue.h"
#include "expr/FunCompiler.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

CNodeList Compile(const char* text) {
    CFunCheck r = CheckFunText(text);
    EXPECT_EQ(r.status, EFunCheck::Ok) << text;
    return r.pNodes ? std::move(*r.pNodes) : CNodeList{};
}

// A node list named like the table's text, or one from a file for the texts starting with '#'.
CNodeList Make(const std::string& text) {
    if (text == "#keep") { // a stored 'E' node read by a division
        CNodeList l;
        CDataAnalyzeFun e = MakeNode('a', 'E', ":");
        e.m_dResult = 7.0;
        l.Append(e);
        l.Append(MakeNode('b', '-', ":", 0, "_a"));
        l.Append(MakeNode('c', '/', "1", 1.0, "_b"));
        return l;
    }
    if (text == "#dangling") { // a reference to no node behind a division that can fail
        CNodeList l;
        l.Append(MakeNode('a', '/', "1", 1.0, ":"));
        l.Append(MakeNode('b', '+', "_a", 0, "_q"));
        return l;
    }
    return Compile(text.c_str());
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b));
}

struct CSample {
    std::size_t after; // taken right after xs[after]
    double x;
};

struct CCase {
    const char* text;
    std::vector<double> before; // single calls before the batch
    std::vector<double> xs;     // the batch
    std::vector<CSample> samples;
};

TEST(NodeResults, BatchLeavesWhatSingleCallsInTheSameOrderLeave) {
    // (2-x)^0.5/(x-1) fails at its power for x > 2 and at its division for x = 1, so which
    // failures show depends on their order.
    const CCase cases[] = {
        {"sin(x)+1", {}, {0.5, 1.0, 2.0}, {}},
        {"sin(x)+1", {}, {0.5, 1.0, 2.0}, {{1, 0.75}}}, // a sample a later call overrides
        {"sin(x)+1", {}, {0.5, 1.0, 2.0}, {{2, 3.0}}},  // the very last call
        {"1/x+1", {}, {2.0, 3.0, 0.0}, {}},
        {"(2-x)^0.5/(x-1)", {}, {0.0, 1.0, 3.0}, {}},
        {"(2-x)^0.5/(x-1)", {}, {0.0, 3.0, 1.0}, {}},
        {"(2-x)^0.5/(x-1)", {}, {0.0, 3.0, 1.0, 4.0, 1.0, 5.0}, {}},
        {"(2-x)^0.5/(x-1)", {}, {0.0, 1.0, 3.0}, {{0, 0.5}}}, // sample before the failures
        {"(2-x)^0.5/(x-1)", {}, {0.0, 1.0, 3.0}, {{0, 1.0}}}, // failing sample, overridden
        {"(2-x)^0.5/(x-1)", {}, {0.0, 3.0, 4.0}, {{0, 1.0}}}, // failing sample that shows
        {"(2-x)^0.5/(x-1)", {}, {0.0, 3.0, 1.0}, {{1, 0.5}}}, // a sample among the failures
        // A batch with no complete call: the earlier calls still count.
        {"(2-x)^0.5/(x-1)", {0.0, 1.0}, {3.0, 4.0}, {}},
        {"(2-x)^0.5/(x-1)", {0.0, 3.0}, {1.0, 1.0}, {}},
        {"(2-x)^0.5/(x-1)", {0.0}, {3.0, 1.0}, {{0, 0.5}}},
        {"1/(x-x)+x", {}, {1.0, 2.0}, {}},   // fails at every x, at run time
        {"1/0+x", {0.5}, {1.0, 2.0}, {}},    // fails at every x, known ahead
        {"(0-1)^0.5*x", {}, {1.0, 2.0}, {}}, // the same through a power
        {"#keep", {}, {3.0, 7.0, 9.0, 7.0}, {{2, 8.0}}},
        {"#dangling", {}, {2.0, 0.0, 4.0}, {}},
    };
    for (const auto& c : cases) {
        const std::string what = std::string(c.text) + " batch of " + std::to_string(c.xs.size());
        CNodeList batch = Make(c.text);
        CNodeList single = Make(c.text);
        bool err = false;
        for (double x : c.before) {
            CalcValue(batch, x, err);
            CalcValue(single, x, err);
        }
        std::vector<double> ys(c.xs.size());
        std::unique_ptr<bool[]> errs(new bool[c.xs.size()]);
        CalcValues(batch, c.xs.data(), ys.data(), errs.get(), c.xs.size());
        for (const CSample& s : c.samples) {
            bool e1 = false, e2 = false;
            const double y1 = CalcValueAfter(batch, s.x, e1, s.after);
            const double y2 = [&] {
                CNodeList fresh = Make(c.text);
                return CalcValue(fresh, s.x, e2);
            }();
            EXPECT_EQ(e1, e2) << what;
            EXPECT_TRUE(SameBits(y1, y2)) << what;
        }
        for (std::size_t i = 0; i < c.xs.size(); ++i) {
            CalcValue(single, c.xs[i], err);
            for (const CSample& s : c.samples)
                if (s.after == i) CalcValue(single, s.x, err);
        }
        const auto& got = batch.SettledNodes();
        const auto& want = single.SettledNodes();
        ASSERT_EQ(got.size(), want.size()) << what;
        for (std::size_t i = 0; i < got.size(); ++i)
            EXPECT_TRUE(SameBits(got[i].m_dResult, want[i].m_dResult))
                << what << ", node " << i << ": " << got[i].m_dResult << " vs "
                << want[i].m_dResult;
    }
}

} // namespace
