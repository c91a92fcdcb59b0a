// Zeros, extrema and intersections against known answers: each one found once, to 1e-12, and
// nothing found at a pole, a failure or a sign change that is not a crossing.

#include "expr/Analysis.h"
#include "expr/FunCompiler.h"

#include <atomic>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

CNodeList Compile(const char* text) {
    CFunCheck r = CheckFunText(text);
    EXPECT_EQ(r.status, EFunCheck::Ok) << text;
    return r.pNodes ? std::move(*r.pNodes) : CNodeList{};
}

bool Near(double got, double want) {
    return std::fabs(got - want) <= 1e-12 * std::max(1.0, std::fabs(want));
}

struct CWant {
    double x;
    bool certified = true;
};

// The points, by x, match the wanted ones one for one.
void ExpectXs(const CAnalysisResult& r, const std::vector<CWant>& want, const std::string& what) {
    EXPECT_FALSE(r.bIncomplete) << what;
    EXPECT_FALSE(r.bTruncated) << what;
    std::string got;
    for (const auto& p : r.points)
        got += std::to_string(p.x) + (p.bCertified ? " " : "? ");
    ASSERT_EQ(r.points.size(), want.size()) << what << ": " << got;
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_TRUE(Near(r.points[i].x, want[i].x))
            << what << " #" << i << ": " << r.points[i].x << " for " << want[i].x;
        EXPECT_EQ(r.points[i].bCertified, want[i].certified) << what << " #" << i;
    }
}

TEST(Analysis, ZerosOfATableOfFunctions) {
    const struct {
        const char* text;
        double a, b;
        std::vector<CWant> zeros;
    } cases[] = {
        {"sinx", -10, 10, {{-3 * kPi}, {-2 * kPi}, {-kPi}, {0}, {kPi}, {2 * kPi}, {3 * kPi}}},
        {"(x-1)*(x-1.000001)", 0, 2, {{1}, {1.000001}}},
        // Sign changes across poles and failures are no zeros.
        {"tanx", -3, 3, {{0}}},
        {"1/(x-1)", -5, 5, {}},
        {"(x^2-1)/(x-2)", -5, 5, {{-1}, {1}}},
        {"lnx", -2, 3, {{1}}},
        {"1/lnx", -2, 3, {}},
        {"x/(x^2)^0.5", -1, 2, {}}, // a jump from -1 to 1 across the failure at 0
        {"x^0.5-1", -3, 4, {{1}}},
        // Touching zeros: no sign change, so the intervals cannot prove them.
        {"x^2", -1, 1, {{0, false}}},
        {"(x-3)^2*(x+1)", -2, 5, {{-1}, {3, false}}},
        {"sinx^2", -4, 4, {{-kPi, false}, {0, false}, {kPi, false}}},
        {"x^4-2*x^2+1", -3, 3, {{-1, false}, {1, false}}},
        // Thirteen factors, 25 operations, and one more: zeros the dependency of x blurs.
        {"(x-1)*(x+1)*(x-2)*(x+2)*(x-3)*(x+3)*(x-0.5)*(x+0.5)*(x-1.5)*(x+1.5)*(x-2.5)*(x+2.5)*("
         "x-0.25)/2",
         -4,
         4,
         {{-3}, {-2.5}, {-2}, {-1.5}, {-1}, {-0.5}, {0.25}, {0.5}, {1}, {1.5}, {2}, {2.5}, {3}}},
        {"ex-1", -700, 700, {{0}}},
        {"x+0.000000001", -1, 1, {{-1e-9}}},
        {"x-5", -1e308, 1e308, {{5}}}, // a range wider than the largest double
    };
    for (const auto& k : cases) {
        CNodeList f = Compile(k.text);
        ExpectXs(FindZeros(f, k.a, k.b), k.zeros, k.text);
    }
}

TEST(Analysis, AFunctionZeroOnAStretchIsOneRange) {
    for (const char* text : {"x-x", "0*x"}) {
        CNodeList f = Compile(text);
        const CAnalysisResult r = FindZeros(f, -1, 3);
        ASSERT_EQ(r.points.size(), 1u) << text;
        EXPECT_EQ(r.points[0].x, -1) << text;
        EXPECT_EQ(r.points[0].x2, 3) << text;
        EXPECT_TRUE(FindExtrema(f, -1, 3).points.empty()) << text;
    }
}

TEST(Analysis, ExtremaWithTheirKindAndValue) {
    const struct {
        const char* text;
        double a, b;
        std::vector<CPointOfInterest> want; // kind, x, (x2), y
    } cases[] = {
        {"sinx", -4, 4, {{EPointKind::Min, -kPi / 2, 0, -1}, {EPointKind::Max, kPi / 2, 0, 1}}},
        {"x^3-3*x", -3, 3, {{EPointKind::Max, -1, 0, 2}, {EPointKind::Min, 1, 0, -2}}},
        {"x^2", -1, 1, {{EPointKind::Min, 0, 0, 0}}},
        {"sinx^2",
         -4,
         4,
         {{EPointKind::Min, -kPi, 0, 0},
          {EPointKind::Max, -kPi / 2, 0, 1},
          {EPointKind::Min, 0, 0, 0},
          {EPointKind::Max, kPi / 2, 0, 1},
          {EPointKind::Min, kPi, 0, 0}}},
        // No sign change of the slope, or one only across a pole.
        {"x^3", -1, 1, {}},
        {"tanx", -3, 3, {}},
        {"1/x^2", -2, 2, {}},
        {"lnx", -1, 2, {}},
    };
    for (const auto& k : cases) {
        CNodeList f = Compile(k.text);
        const CAnalysisResult r = FindExtrema(f, k.a, k.b);
        EXPECT_FALSE(r.bIncomplete) << k.text;
        ASSERT_EQ(r.points.size(), k.want.size()) << k.text;
        for (std::size_t i = 0; i < k.want.size(); ++i) {
            EXPECT_EQ(r.points[i].kind, k.want[i].kind) << k.text << " #" << i;
            // The slope's zero is as sharp as the slope; the value at it is sharper.
            EXPECT_NEAR(r.points[i].x, k.want[i].x, 1e-9) << k.text << " #" << i;
            EXPECT_NEAR(r.points[i].y, k.want[i].y, 1e-12) << k.text << " #" << i;
        }
    }
}

TEST(Analysis, IntersectionsAreZerosOfTheDifference) {
    const struct {
        const char* f;
        const char* g;
        double a, b;
        std::vector<CWant> xs;
    } cases[] = {
        {"sinx", "cosx", -4, 4, {{kPi / 4 - kPi}, {kPi / 4}, {kPi / 4 + kPi}}},
        {"x", "1/x", -3, 3, {{-1}, {1}}}, // and no crossing at the pole
        {"x^2", "2*x-1", -3, 3, {{1, false}}},
    };
    for (const auto& k : cases) {
        CNodeList f = Compile(k.f), g = Compile(k.g);
        const CAnalysisResult r = FindIntersections(f, g, k.a, k.b);
        ExpectXs(r, k.xs, std::string(k.f) + " & " + k.g);
        for (const auto& p : r.points) {
            EXPECT_EQ(p.kind, EPointKind::Intersection);
            const double fx = k.f == std::string("x^2") ? p.x * p.x
                              : k.f[0] == 'x'           ? p.x
                                                        : std::sin(p.x);
            EXPECT_NEAR(p.y, fx, 1e-12);
        }
    }
}

TEST(Analysis, TooManyPointsOrTooMuchWorkOrCancelledSaySo) {
    CNodeList f = Compile("sin(100*x)");
    const CAnalysisResult many = FindZeros(f, 0, 100);
    EXPECT_TRUE(many.bTruncated);
    EXPECT_FALSE(many.bIncomplete);
    ASSERT_EQ(many.points.size(), 1000u);
    for (std::size_t k = 0; k < 1000; ++k)
        ASSERT_NEAR(many.points[k].x, k * kPi / 100, 1e-12 * (1 + k)) << k;

    CAnalysisLimits tight;
    tight.maxWork = 50;
    EXPECT_TRUE(FindZeros(f, 0, 100, tight).bIncomplete);

    std::atomic<bool> cancel{true};
    CAnalysisLimits cancelled;
    cancelled.pCancel = &cancel;
    const CAnalysisResult r = FindExtrema(f, 0, 100, cancelled);
    EXPECT_TRUE(r.bIncomplete);
    EXPECT_TRUE(r.points.empty());
}

} // namespace
