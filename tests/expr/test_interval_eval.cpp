// The interval and derivative evaluators against the per-point evaluator on dense samples and
// against an exact oracle (MPFR at 256 bits, the same steps computed without rounding).

#include "expr/CalcValue.h"
#include "expr/DerivEval.h"
#include "expr/FunCompiler.h"
#include "expr/IntervalEval.h"

#include <cmath>
#include <gtest/gtest.h>
#include <mpfr.h>
#include <optional>
#include <string>
#include <vector>

namespace {

CNodeList Compile(const char* text) {
    CFunCheck r = CheckFunText(text);
    EXPECT_EQ(r.status, EFunCheck::Ok) << text;
    return r.pNodes ? std::move(*r.pNodes) : CNodeList{};
}

// A value and its slope at 256 bits.
struct CBig {
    mpfr_t v, d;
    CBig() {
        mpfr_init2(v, 256);
        mpfr_init2(d, 256);
        mpfr_set_zero(v, 1);
        mpfr_set_zero(d, 1);
    }
    CBig(const CBig& o) : CBig() {
        mpfr_set(v, o.v, MPFR_RNDN);
        mpfr_set(d, o.d, MPFR_RNDN);
    }
    CBig& operator=(const CBig& o) {
        mpfr_set(v, o.v, MPFR_RNDN);
        mpfr_set(d, o.d, MPFR_RNDN);
        return *this;
    }
    ~CBig() {
        mpfr_clear(v);
        mpfr_clear(d);
    }
};

// The exact value and slope of the list at x, or nullopt where the point evaluator's rules
// fail (a zero or NaN divisor, a power that is zero or NaN from a base that is neither).
std::optional<CBig> Oracle(CNodeList& list, double x) {
    const std::vector<CStep> steps = ResolveSteps(list.Nodes());
    std::vector<CBig> val(steps.size());
    mpfr_t t, u;
    mpfr_inits2(256, t, u, static_cast<mpfr_ptr>(nullptr));
    struct CClear {
        mpfr_ptr a, b;
        ~CClear() { mpfr_clears(a, b, static_cast<mpfr_ptr>(nullptr)); }
    } clear{t, u};
    auto fetch = [&](const COperand& o, CBig& out) {
        if (o.kind == EOperandKind::X) {
            mpfr_set_d(out.v, x, MPFR_RNDN);
            mpfr_set_ui(out.d, 1, MPFR_RNDN);
        } else if (o.kind == EOperandKind::Ref) {
            out = val[o.ref];
        } else {
            mpfr_set_d(out.v, o.value, MPFR_RNDN);
            mpfr_set_zero(out.d, 1);
        }
        return o.kind != EOperandKind::Bad;
    };
    if (steps.empty()) return std::nullopt;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const CStep& s = steps[i];
        CBig L, R;
        if (!fetch(s.left, L)) return std::nullopt;
        if (!op::IsUnary(s.op) && !fetch(s.right, R)) return std::nullopt;
        CBig& o = val[i];
        const auto r = MPFR_RNDN;
        switch (s.op) {
        case 'A':
            o = L;
            break;
        case 'B':
            mpfr_sin(o.v, L.v, r);
            mpfr_cos(t, L.v, r);
            mpfr_mul(o.d, t, L.d, r);
            break;
        case 'C':
            mpfr_cos(o.v, L.v, r);
            mpfr_sin(t, L.v, r);
            mpfr_mul(o.d, t, L.d, r);
            mpfr_neg(o.d, o.d, r);
            break;
        case 'D':
        case 'H':
            mpfr_tan(t, L.v, r);
            if (s.op == 'D')
                mpfr_set(o.v, t, r);
            else
                mpfr_ui_div(o.v, 1, t, r);
            mpfr_sqr(u, o.v, r);
            mpfr_add_ui(u, u, 1, r);
            mpfr_mul(o.d, u, L.d, r);
            if (s.op == 'H') mpfr_neg(o.d, o.d, r);
            break;
        case 'F':
            mpfr_exp(o.v, L.v, r);
            mpfr_mul(o.d, o.v, L.d, r);
            break;
        case 'G':
            mpfr_log(o.v, L.v, r);
            mpfr_div(o.d, L.d, L.v, r);
            break;
        case 'I': // sec' = sec tan
            mpfr_sec(o.v, L.v, r);
            mpfr_tan(t, L.v, r);
            mpfr_mul(o.d, o.v, t, r);
            mpfr_mul(o.d, o.d, L.d, r);
            break;
        case 'J': // csc' = -csc cot
            mpfr_csc(o.v, L.v, r);
            mpfr_cot(t, L.v, r);
            mpfr_mul(o.d, o.v, t, r);
            mpfr_mul(o.d, o.d, L.d, r);
            mpfr_neg(o.d, o.d, r);
            break;
        case '+':
            mpfr_add(o.v, L.v, R.v, r);
            mpfr_add(o.d, L.d, R.d, r);
            break;
        case '-':
            mpfr_sub(o.v, L.v, R.v, r);
            mpfr_sub(o.d, L.d, R.d, r);
            break;
        case '*':
            mpfr_mul(o.v, L.v, R.v, r);
            mpfr_mul(t, L.d, R.v, r);
            mpfr_mul(u, L.v, R.d, r);
            mpfr_add(o.d, t, u, r);
            break;
        case '/':
            if (mpfr_zero_p(R.v) || mpfr_nan_p(R.v)) return std::nullopt;
            mpfr_div(o.v, L.v, R.v, r);
            mpfr_mul(t, o.v, R.d, r);
            mpfr_sub(t, L.d, t, r);
            mpfr_div(o.d, t, R.v, r);
            break;
        case '^':
            mpfr_pow(o.v, L.v, R.v, r);
            if ((mpfr_zero_p(o.v) || mpfr_nan_p(o.v)) && !mpfr_zero_p(L.v) && !mpfr_nan_p(L.v))
                return std::nullopt;
            // r l^(r-1) l' + ln(l) l^r r'
            mpfr_sub_ui(t, R.v, 1, r);
            mpfr_pow(t, L.v, t, r);
            mpfr_mul(t, t, R.v, r);
            mpfr_mul(o.d, t, L.d, r);
            if (!mpfr_zero_p(R.d)) {
                mpfr_log(t, L.v, r);
                mpfr_mul(t, t, o.v, r);
                mpfr_mul(t, t, R.d, r);
                mpfr_add(o.d, o.d, t, r);
            }
            break;
        default: // every other code keeps its stored result
            mpfr_set_d(o.v, s.keep, r);
            mpfr_set_zero(o.d, 1);
            break;
        }
    }
    return val.back();
}

bool Inside(const CInterval& iv, mpfr_srcptr v) {
    if (mpfr_nan_p(v)) return iv.nan;
    return iv.HasReals() && mpfr_cmp_d(v, iv.lo) >= 0 && mpfr_cmp_d(v, iv.hi) <= 0;
}

struct CRange {
    const char* text;
    double lo, hi;
};

// Poles, failures, touching zeros, flat stretches, the elementary functions over their awkward
// places, and the 26-operation limit.
const CRange kRanges[] = {
    {"sinx", -10, 10},
    {"cosx*x", -20, 20},
    {"tanx", -5, 5},
    {"cotx+secx-cscx", -4, 4},
    {"1/(x-1)", -2, 3},
    {"(x^2-1)/(x-2)", -3, 4},
    {"lnx", -1, 3},
    {"x^0.5", -1, 4},
    {"x^2", -1, 1},
    {"sinx^2", -4, 4},
    {"x^3", -2, 2},
    {"e(x)-e(0-x)", -30, 30},
    {"ex", 700, 712},
    {"x^x", -2, 3},
    {"2^x", -1100, -1000},
    {"(x-1)*(x-1.000001)", 0.999, 1.002},
    {"0*x+1", -5, 5},
    {"1/(x-x)", -1, 1},
    {"(x+1)^0.5*ln(x+2)/(1+x^2)", -3, 3},
    {"sin(x)*sin(x)+cos(x)*cos(x)-1", -3, 3},
    {"e(sinx)^2/(cosx+2)", -10, 10},
    {"sin(sin(sin(sin(sin(sin(sin(sin(sin(sin(x))))))))))*x+x-x*x+x/2-x^2+x*3-x+x*x-1+x+1", -3, 3},
};

TEST(IntervalEval, EnclosesThePointEvaluatorAndTheExactValue) {
    constexpr int kPieces = 97, kSamples = 17;
    for (const auto& c : kRanges) {
        CNodeList list = Compile(c.text);
        for (const int pieces : {1, kPieces}) {
            for (int p = 0; p < pieces; ++p) {
                const double a = c.lo + (c.hi - c.lo) * p / pieces;
                const double b = p + 1 == pieces ? c.hi : c.lo + (c.hi - c.lo) * (p + 1) / pieces;
                const CIntervalResult r = EvalInterval(list, a, b);
                for (int k = 0; k < kSamples; ++k) {
                    const double x = k + 1 == kSamples ? b : a + (b - a) * k / (kSamples - 1);
                    bool err = false;
                    const double y = CalcValue(list, x, err);
                    if (err) {
                        ASSERT_TRUE(r.bMayFail) << c.text << " fails at " << x;
                        continue;
                    }
                    ASSERT_FALSE(r.bAllFail) << c.text << " at " << x;
                    ASSERT_TRUE(r.y.Contains(y))
                        << c.text << " at " << x << ": " << y << " outside [" << r.y.lo << ", "
                        << r.y.hi << "] on [" << a << ", " << b << "]";
                    const auto exact = Oracle(list, x);
                    if (exact && mpfr_number_p(exact->v)) {
                        ASSERT_TRUE(Inside(r.y, exact->v)) << c.text << " exact at " << x;
                    }
                }
            }
        }
    }
}

TEST(IntervalEval, TellsRangesThatMayFailFromRangesThatCannot) {
    const struct {
        const char* text;
        double lo, hi;
        bool mayFail, allFail;
    } cases[] = {
        {"1/x", 1, 2, false, false},      {"1/x", -1, 1, true, false},
        {"1/(x-x)", 1, 2, true, false},   {"1/0+x", 1, 2, true, true},
        {"x^0.5", 0, 4, false, false},    {"x^0.5", -2, -1, true, true},
        {"x^0.5", -1, 1, true, false},    {"(0-1)^0.5*x", 1, 2, true, true},
        {"x^2", 1, 2, false, false},      {"x^2", -1, 1, true, false}, // tiny x square to 0
        {"2^x", -100, 100, false, false}, {"2^x", -1100, -1000, true, false},
        {"lnx", -1, 1, false, false}, // NaN and -inf are values, not failures
        {"1/lnx", 2, 3, false, false},    {"1/lnx", 0.5, 2, true, false},
    };
    for (const auto& c : cases) {
        CNodeList list = Compile(c.text);
        const CIntervalResult r = EvalInterval(list, c.lo, c.hi);
        EXPECT_EQ(r.bMayFail, c.mayFail) << c.text << " on [" << c.lo << ", " << c.hi << "]";
        EXPECT_EQ(r.bAllFail, c.allFail) << c.text << " on [" << c.lo << ", " << c.hi << "]";
    }
}

TEST(DerivEval, SlopesAgreeWithTheOracle) {
    const struct {
        const char* text;
        std::vector<double> xs;
    } cases[] = {
        {"sinx", {0.3, 2.0, -7.5}},
        {"cosx*x", {0.3, 2.0, -7.5}},
        {"tanx", {0.3, 1.5, -2.0}},
        {"cotx+secx-cscx", {0.3, 1.2, -2.5}},
        {"1/(x-1)", {0.5, 1.001, 3.0}},
        {"(x^2-1)/(x-2)", {-3.0, 0.5, 2.5}},
        {"lnx", {0.001, 1.5, 1e10}},
        {"x^0.5", {1e-6, 2.0, 1e6}},
        {"x^3", {0.5, 2.0}},
        {"x^x", {0.5, 2.0, 3.0}},
        {"e(x^2)/x", {0.5, -1.5}},
        {"ln(x)^0.5*e(sinx)", {1.5, 3.0}},
    };
    for (const auto& c : cases) {
        CNodeList list = Compile(c.text);
        for (double x : c.xs) {
            const auto s = EvalSlope(list, x);
            bool err = false;
            const double y = CalcValue(list, x, err);
            ASSERT_EQ(!s, err) << c.text << " at " << x;
            if (!s) continue;
            EXPECT_EQ(s->y, y) << c.text << " at " << x;
            const auto exact = Oracle(list, x);
            ASSERT_TRUE(exact) << c.text;
            const double d = mpfr_get_d(exact->d, MPFR_RNDN);
            EXPECT_LE(std::fabs(s->dy - d), 1e-12 * std::fabs(d))
                << c.text << " at " << x << ": " << s->dy << " vs " << d;
        }
    }
    // Where the function has no slope, or the list fails.
    CNodeList root = Compile("x^0.5");
    EXPECT_FALSE(std::isfinite(EvalSlope(root, 0.0)->dy));
    EXPECT_FALSE(EvalSlope(root, -1.0));
    CNodeList ln = Compile("ln(x-1)/2"); // 1/(x-1) has a value there, the function has none
    EXPECT_TRUE(std::isnan(EvalSlope(ln, -1.0)->dy));
}

TEST(DerivEval, IntervalSlopesEncloseThePointSlopesAndTheExactOnes) {
    constexpr int kPieces = 41, kSamples = 9;
    for (const auto& c : kRanges) {
        CNodeList list = Compile(c.text);
        for (int p = 0; p < kPieces; ++p) {
            const double a = c.lo + (c.hi - c.lo) * p / kPieces;
            const double b = p + 1 == kPieces ? c.hi : c.lo + (c.hi - c.lo) * (p + 1) / kPieces;
            const CSlopeInterval r = EvalSlopeInterval(list, a, b);
            for (int k = 0; k < kSamples; ++k) {
                const double x = k + 1 == kSamples ? b : a + (b - a) * k / (kSamples - 1);
                const auto s = EvalSlope(list, x);
                if (!s) {
                    ASSERT_TRUE(r.bMayFail) << c.text << " fails at " << x;
                    continue;
                }
                ASSERT_TRUE(r.y.Contains(s->y)) << c.text << " at " << x;
                ASSERT_TRUE(r.dy.Contains(s->dy))
                    << c.text << " slope at " << x << ": " << s->dy << " outside [" << r.dy.lo
                    << ", " << r.dy.hi << "]";
                const auto exact = Oracle(list, x);
                if (exact && mpfr_number_p(exact->d)) {
                    ASSERT_TRUE(Inside(r.dy, exact->d)) << c.text << " exact slope at " << x;
                }
            }
        }
    }
}

} // namespace
