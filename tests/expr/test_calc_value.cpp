#include "NodeText.h"
#include "expr/CalcValue.h"
#include "expr/FunCompiler.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

namespace {

CNodeList Compile(const char* text) {
    CFunCheck r = CheckFunText(text);
    EXPECT_EQ(r.status, EFunCheck::Ok) << text;
    return r.pNodes ? std::move(*r.pNodes) : CNodeList{};
}

struct CCase {
    const char* text;
    double x;
    double y; // compared bitwise through EXPECT_DOUBLE_EQ unless nan/inf
    bool error;
};

TEST(CalcValue, ResultsAndFailures) {
    const CCase cases[] = {
        {"x", 1.25, 1.25, false},       {"sin(x)+1", 2.0, std::sin(2.0) + 1.0, false},
        {"1/x", 0.0, 0.0, true},        {"1/x", 2.0, 0.5, false},
        {"x^0.5", -4.0, 0.0, true},     {"x^0.5", 0.0, 0.0, false},
        {"0^x", 0.0, 1.0, false},       {"x^2", -3.0, 9.0, false},
        {"x^3", -2.0, -8.0, false},     {"x^3", 2.0, 8.0, false},
        {"2^x", -2000.0, 0.0, true}, // non-zero base underflowing to zero fails
        {"lnx", -1.0, NAN, false},      {"cotx", 0.0, INFINITY, false},
        {"lnx", 0.0, -INFINITY, false}, {"ex", 1000.0, INFINITY, false},
    };
    for (const auto& c : cases) {
        CNodeList list = Compile(c.text);
        bool err = false;
        const double y = CalcValue(list, c.x, err);
        EXPECT_EQ(err, c.error) << c.text << " at " << c.x;
        if (std::isnan(c.y))
            EXPECT_TRUE(std::isnan(y)) << c.text;
        else
            EXPECT_DOUBLE_EQ(y, c.y) << c.text << " at " << c.x;
    }
}

TEST(CalcValue, FlagIsNeverCleared) {
    CNodeList list = Compile("1/x");
    bool err = true;
    EXPECT_EQ(CalcValue(list, 2.0, err), 0.5);
    EXPECT_TRUE(err);
}

TEST(CalcValue, NodesBehindAFailureKeepTheirResults) {
    CNodeList list = Compile("1/x+1");
    bool err = false;
    CalcValue(list, 2.0, err);
    ASSERT_EQ(list.Result(1), 1.5);
    EXPECT_EQ(CalcValue(list, 0.0, err), 0.0);
    EXPECT_TRUE(err);
    EXPECT_EQ(list.Result(1), 1.5);
}

TEST(CalcValue, StoredListsFromFiles) {
    // A node with code 'E' keeps its result; later nodes read it.
    CNodeList keep;
    CDataAnalyzeFun e = MakeNode('a', 'E', ":");
    e.m_dResult = 7.0;
    keep.Append(e);
    keep.Append(MakeNode('b', '+', "_a", 0, ":"));
    bool err = false;
    EXPECT_EQ(CalcValue(keep, 1.0, err), 8.0);
    EXPECT_FALSE(err);
    EXPECT_EQ(keep.Result(0), 7.0);

    // Every code that is no operator or function leaves its result as it was, whatever its
    // value; the low codes are where the evaluator's own markers would collide.
    for (const char code : {'?', '\0', '\x01', '\x0F', '\x10', 'K', 'a', '\xFF'}) {
        CNodeList unknown;
        CDataAnalyzeFun u = MakeNode('a', code, ":", 0, "2", 2.0);
        u.m_dResult = 3.0;
        unknown.Append(u);
        err = false;
        EXPECT_EQ(CalcValue(unknown, 5.0, err), 3.0) << int(code);
        EXPECT_FALSE(err) << int(code);
    }

    // A reference finds the nearest earlier non-copy node with its letter.
    CNodeList dup;
    dup.Append(MakeNode('a', '+', ":", 0, "1", 1.0));
    dup.Append(MakeNode('a', 'A', "5", 5.0)); // copy nodes are never designated
    dup.Append(MakeNode('a', '*', ":", 0, "10", 10.0));
    dup.Append(MakeNode('b', '+', "_a", 0, "0", 0.0));
    EXPECT_EQ(CalcValue(dup, 2.0, err), 20.0);
}

TEST(CalcValue, DamagedListsFailWithoutReadingOutside) {
    struct CBad {
        const char* why;
        std::vector<CDataAnalyzeFun> nodes;
    };
    const CBad bad[] = {
        {"empty list", {}},
        {"reference to no node", {MakeNode('a', '+', "_q", 0, "1", 1.0)}},
        {"reference to a later node", {MakeNode('a', '+', "_b", 0, "1"), MakeNode('b', 'A', ":")}},
        {"underscore alone", {MakeNode('a', 'B', "_")}},
        {"bad right operand", {MakeNode('a', '*', ":", 0, "_z")}},
    };
    for (const auto& b : bad) {
        CNodeList list;
        for (const auto& n : b.nodes)
            list.Append(n);
        bool err = false;
        EXPECT_EQ(CalcValue(list, 1.0, err), 0.0) << b.why;
        EXPECT_TRUE(err) << b.why;
    }
    // A unary node never reads its right operand.
    CNodeList unary;
    unary.Append(MakeNode('a', 'B', ":", 0, "_z"));
    bool err = false;
    EXPECT_EQ(CalcValue(unary, 0.0, err), 0.0);
    EXPECT_FALSE(err);
}

// A file may hold hundreds of thousands of records with empty lists: a list that holds no node
// must cost no more than a few pointers, and no tables until it is evaluated.
TEST(NodeList, CostsItsNodesUntilEvaluated) {
    EXPECT_LE(sizeof(CNodeList), 64u);

    // Nodes appended after an evaluation join a program derived anew; the results already
    // computed stay with their nodes.
    CNodeList list;
    list.Append(MakeNode('a', '+', ":", 0, "1", 1.0));
    bool err = false;
    EXPECT_EQ(CalcValue(list, 2.0, err), 3.0);
    list.Append(MakeNode('b', '*', "_a", 0, "10", 10.0));
    EXPECT_EQ(list.Result(0), 3.0);
    EXPECT_EQ(list.SettledNodes()[0].m_dResult, 3.0);
    EXPECT_EQ(CalcValue(list, 1.0, err), 20.0);
    EXPECT_FALSE(err);
}

} // namespace

namespace {

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// CalcValue runs a derived program; the plain node-by-node walk is its reference: the same
// values and flags bit for bit, and the same node results after every call, on compiled and
// stored lists, at points that fail, overflow or leave the reals.
TEST(CalcValue, DerivedProgramMatchesNodeByNode) {
    std::vector<std::vector<CDataAnalyzeFun>> lists;
    for (const char* text :
         {"x", "2", "((x))", "sin(x)+1", "x*x+x*x-x*x+x*x-x*x+1", "x*x-x*2", "1/x+1", "x^0.5+x^0.5",
          "lnx*cosx/(1+x^2)", "1/(1-1)+x", "(2-2)^x", "e(2)*lnx", "tanx/cotx", "x/(x-x)+1/x",
          "3-2^3^x", "e(x)*e(x)-secx*cscx", "(x^0.5)^0.5+1/(x-2)"}) {
        CFunCheck r = CheckFunText(text);
        ASSERT_EQ(r.status, EFunCheck::Ok) << text;
        lists.push_back(r.pNodes->Nodes());
    }
    lists.push_back({MakeNode('a', '/', "1", 1.0, ":"), MakeNode('b', '^', ":", 0, "0.5", 0.5),
                     MakeNode('c', '+', ":", 0, "1", 1.0)});
    lists.push_back({MakeNode('a', '+', ":", 0, "1", 1.0), MakeNode('b', 'B', "_a"),
                     MakeNode('a', '*', ":", 0, "3", 3.0), MakeNode('c', '/', "_b", 0, "_a"),
                     MakeNode('d', '\x01', ":"), MakeNode('e', '-', "_c", 0, "_d")});
    lists.back()[4].m_dResult = -2.5;
    lists.push_back({MakeNode('a', '*', ":", 0, ":"), MakeNode('b', '/', "1", 1.0, ":"),
                     MakeNode('c', '+', "_q", 0, "1", 1.0)});
    // The result is not the last step's: a step nothing reads, which can fail, comes after it.
    lists.push_back({MakeNode('a', '+', ":", 0, "1", 1.0), MakeNode('b', '/', "1", 1.0, ":"),
                     MakeNode('c', 'A', "_a")});

    const double xs[] = {2.0, 0.0, -4.0, 1.5, 0.0, -0.0, 1e308, -1e308, INFINITY, -INFINITY,
                         NAN, 1.0, -1.0, 2.0, 0.5, -3.0, 0.0,   1e-320, 700.0,    3.14159};
    for (std::size_t k = 0; k < lists.size(); ++k) {
        CNodeList derived, plain;
        for (const auto& n : lists[k])
            derived.Append(n), plain.Append(n);
        for (double x : xs) {
            bool e1 = false, e2 = false;
            const double y1 = CalcValue(derived, x, e1);
            const double y2 = CalcValueNodeByNode(plain, x, e2);
            ASSERT_EQ(e1, e2) << "list " << k << " at " << x;
            ASSERT_TRUE(SameBits(y1, y2))
                << "list " << k << " at " << x << ": " << y1 << " vs " << y2;
            for (std::size_t i = 0; i < derived.size(); ++i)
                ASSERT_TRUE(SameBits(derived.Result(i), plain.Result(i)))
                    << "list " << k << " node " << i << " after x=" << x;
        }
    }
}

} // namespace
