#include "expr/IntervalEval.h"

#include "expr/Program.h"
#include "expr/VecMath.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kMax = std::numeric_limits<double>::max();
// The elementary functions are within an ulp or so of the exact value (SLEEF's 1-ulp
// functions, glibc's log and pow); bounds computed with them move this many ulps outward,
// which holds both the exact value and every value the per-point evaluator computes.
constexpr int kFnUlps = 4;
// Past this magnitude the places of the trigonometric extremes and poles are not told apart.
constexpr double kTrigLimit = 1e6;

double Down(double v, int n = 1) {
    for (int i = 0; i < n; ++i)
        v = std::nextafter(v, -kInf);
    return v;
}
double Up(double v, int n = 1) {
    for (int i = 0; i < n; ++i)
        v = std::nextafter(v, kInf);
    return v;
}

bool HasInf(const CInterval& a) {
    return a.HasReals() && (a.lo == -kInf || a.hi == kInf);
}
bool HasZero(const CInterval& a) {
    return a.HasReals() && a.lo <= 0.0 && a.hi >= 0.0;
}
// 0 times an infinity counts as 0 for the bounds; the NaN it gives is flagged apart.
double Prod(double a, double b) {
    return (a == 0.0 || b == 0.0) ? 0.0 : a * b;
}

// Whether some point of [lo, hi] (widened by a hair) is phase + k·period for an integer k.
bool HitsPeriodic(double lo, double hi, double phase, double period) {
    const double tlo = (lo - phase) / period, thi = (hi - phase) / period;
    return std::floor(thi + 1e-9) >= std::ceil(tlo - 1e-9);
}

// The computed values of a function increasing on [lo, hi]: between its ends, widened.
CInterval Rising(double flo, double fhi, bool nan) {
    return {Down(flo, kFnUlps), Up(fhi, kFnUlps), nan};
}

// sin for phase π/2, cos for phase 0: the maxima lie at phase + 2kπ, the minima π later.
CInterval Trig(const CInterval& a, double phase, double (*fn)(double)) {
    if (!a.HasReals()) return CInterval::None();
    const bool nan = a.nan || HasInf(a);
    const double lo = std::max(a.lo, -kMax), hi = std::min(a.hi, kMax);
    if (lo > hi) return CInterval::None(); // only infinities
    const double one = Up(1.0, kFnUlps);
    if (hi - lo >= 2 * std::numbers::pi || std::fabs(lo) > kTrigLimit || std::fabs(hi) > kTrigLimit)
        return {-one, one, nan};
    const double f1 = fn(lo), f2 = fn(hi);
    CInterval r{Down(std::min(f1, f2), kFnUlps), Up(std::max(f1, f2), kFnUlps), nan};
    if (HitsPeriodic(lo, hi, phase, 2 * std::numbers::pi)) r.hi = one;
    if (HitsPeriodic(lo, hi, phase + std::numbers::pi, 2 * std::numbers::pi)) r.lo = -one;
    return r;
}

} // namespace

namespace ival {

CInterval Hull(const CInterval& a, const CInterval& b) {
    return {std::min(a.lo, b.lo), std::max(a.hi, b.hi), a.nan || b.nan};
}

CInterval Neg(const CInterval& a) {
    if (!a.HasReals()) return a;
    return {-a.hi, -a.lo, a.nan};
}

CInterval Add(const CInterval& a, const CInterval& b) {
    if (!a.HasReals() || !b.HasReals()) return CInterval::None();
    const bool nan =
        a.nan || b.nan || (a.hi == kInf && b.lo == -kInf) || (a.lo == -kInf && b.hi == kInf);
    const double lo = a.lo + b.lo, hi = a.hi + b.hi;
    return {std::isnan(lo) ? -kInf : Down(lo), std::isnan(hi) ? kInf : Up(hi), nan};
}

CInterval Mul(const CInterval& a, const CInterval& b) {
    if (!a.HasReals() || !b.HasReals()) return CInterval::None();
    const bool nan = a.nan || b.nan || (HasZero(a) && HasInf(b)) || (HasZero(b) && HasInf(a));
    const double p[] = {Prod(a.lo, b.lo), Prod(a.lo, b.hi), Prod(a.hi, b.lo), Prod(a.hi, b.hi)};
    return {Down(*std::min_element(p, p + 4)), Up(*std::max_element(p, p + 4)), nan};
}

CInterval Sqr(const CInterval& a) {
    if (!a.HasReals()) return CInterval::None();
    const double l = a.lo * a.lo, h = a.hi * a.hi;
    if (HasZero(a)) return {0.0, Up(std::max(l, h)), a.nan};
    return {std::max(0.0, Down(std::min(l, h))), Up(std::max(l, h)), a.nan};
}

CInterval Div(const CInterval& a, const CInterval& b) {
    if (!a.HasReals() || !b.HasReals()) return CInterval::None();
    bool nan = a.nan || b.nan;
    if (HasZero(b)) return {-kInf, kInf, nan || HasZero(a) || HasInf(a)};
    if (HasInf(a) || HasInf(b)) return {-kInf, kInf, nan || (HasInf(a) && HasInf(b))};
    const double q[] = {a.lo / b.lo, a.lo / b.hi, a.hi / b.lo, a.hi / b.hi};
    return {Down(*std::min_element(q, q + 4)), Up(*std::max_element(q, q + 4)), nan};
}

CInterval Sin(const CInterval& a) {
    return Trig(a, std::numbers::pi / 2, vmath::Sin);
}

CInterval Cos(const CInterval& a) {
    return Trig(a, 0.0, vmath::Cos);
}

CInterval Tan(const CInterval& a) {
    if (!a.HasReals()) return CInterval::None();
    const bool nan = a.nan || HasInf(a);
    const double lo = std::max(a.lo, -kMax), hi = std::min(a.hi, kMax);
    if (lo > hi) return CInterval::None();
    if (std::fabs(lo) > kTrigLimit || std::fabs(hi) > kTrigLimit || hi - lo >= std::numbers::pi ||
        HitsPeriodic(lo, hi, std::numbers::pi / 2, std::numbers::pi))
        return {-kInf, kInf, nan};
    return Rising(vmath::Tan(lo), vmath::Tan(hi), nan);
}

CInterval Exp(const CInterval& a) {
    if (!a.HasReals()) return CInterval::None();
    return Rising(vmath::Exp(a.lo), vmath::Exp(a.hi), a.nan);
}

CInterval Log(const CInterval& a) {
    if (!a.HasReals()) return CInterval::None();
    const bool nan = a.nan || a.lo < 0.0;
    if (a.hi < 0.0) return {kInf, -kInf, true};
    return Rising(vmath::Log(std::max(a.lo, 0.0)), vmath::Log(a.hi), nan);
}

namespace {

// pow over bases l in [lo, hi], 0 < lo, and exponents in b: r·ln l is bilinear, so the
// extremes lie at the corners.
CInterval PowPositive(double lo, double hi, const CInterval& b) {
    const double p[] = {std::pow(lo, b.lo), std::pow(lo, b.hi), std::pow(hi, b.lo),
                        std::pow(hi, b.hi)};
    return {Down(*std::min_element(p, p + 4), kFnUlps), Up(*std::max_element(p, p + 4), kFnUlps),
            std::any_of(p, p + 4, [](double v) { return std::isnan(v); })};
}

bool IsInteger(double r) {
    return std::isfinite(r) && std::floor(r) == r;
}

} // namespace

CInterval Pow(const CInterval& a, const CInterval& b) {
    constexpr double kTiny = std::numeric_limits<double>::denorm_min();
    CInterval r{kInf, -kInf, false};
    if (a.nan) { // pow(NaN, 0) is 1, NaN otherwise
        r.nan = true;
        if (HasZero(b)) r = Hull(r, CInterval::Point(1.0));
    }
    if (b.nan && a.HasReals()) { // pow(1, NaN) is 1, NaN otherwise
        r.nan = true;
        if (a.lo <= 1.0 && a.hi >= 1.0) r = Hull(r, CInterval::Point(1.0));
    }
    if (!a.HasReals() || !b.HasReals()) return r;
    if (a.hi > 0.0) r = Hull(r, PowPositive(std::max(a.lo, kTiny), a.hi, b));
    if (HasZero(a)) {
        // pow(±0, r): 0 for r > 0, 1 for r = 0, +inf for r < 0 (-inf for odd negative r).
        if (b.hi > 0.0) r = Hull(r, CInterval::Point(0.0));
        if (HasZero(b)) r = Hull(r, CInterval::Point(1.0));
        if (b.lo < 0.0) r = Hull(r, {-kInf, kInf, false});
    }
    if (a.lo < 0.0) {
        // A negative base: |l|^r with the sign of an odd r, NaN for an r that is no integer
        // (pow(-inf, r) is +inf or 0 then).
        const CInterval m = PowPositive(std::max(-a.hi, kTiny), -a.lo, b);
        const bool point = b.lo == b.hi;
        if (!point || !IsInteger(b.lo)) {
            r.nan = true;
            if (a.lo == -kInf) r = Hull(r, {0.0, kInf, false});
        }
        if (!point) {
            r = Hull(r, Hull(m, Neg(m)));
        } else if (IsInteger(b.lo)) {
            r = Hull(r, std::fmod(b.lo, 2.0) != 0.0 ? Neg(m) : m);
        }
        r.nan = r.nan || m.nan;
    }
    return r;
}

} // namespace ival

std::optional<CInterval> CIntervalOps::Apply(char op, const CInterval& L, const CInterval& R) {
    using namespace ival;
    switch (op) {
    case op::Copy:
        return L;
    case op::Sin:
        return Sin(L);
    case op::Cos:
        return Cos(L);
    case op::Tan:
        return Tan(L);
    case op::Exp:
        return Exp(L);
    case op::Ln:
        return Log(L);
    case op::Cot:
        return Div(CInterval::Point(1.0), Tan(L));
    case op::Sec:
        return Div(CInterval::Point(1.0), Cos(L));
    case op::Csc:
        return Div(CInterval::Point(1.0), Sin(L));
    case '+':
        return Add(L, R);
    case '-':
        return Add(L, Neg(R));
    case '*':
        return Mul(L, R);
    case '/':
        // Fails where R is zero or NaN.
        if (!R.HasReals() || (R.lo == 0.0 && R.hi == 0.0 && !R.nan)) return std::nullopt;
        if (R.nan || HasZero(R)) bMayFail = true;
        return Div(L, R);
    case '^': {
        // Fails where the power is zero or NaN while the base is neither.
        const bool square = R.lo == 2.0 && R.hi == 2.0 && !R.nan;
        const CInterval p = square ? Sqr(L) : Pow(L, R);
        const bool baseCounts = L.HasReals() && (L.lo < 0.0 || L.hi > 0.0);
        if (!baseCounts) return p;
        // The cases that fail for every base: a negative base under a fixed exponent that is
        // no integer.
        if (!L.nan && L.hi < 0.0 && L.lo > -kInf && !R.nan && R.lo == R.hi && !IsIntegral(R.lo))
            return std::nullopt;
        if (p.nan) bMayFail = true;
        if (p.HasReals() && p.lo <= 0.0 && p.hi >= 0.0) {
            // A zero from a base that is not zero: an underflow, or a base that is.
            bMayFail = bMayFail || UnderflowsToZero(L, R, square);
        }
        return p;
    }
    default:
        return L; // WalkSteps keeps the stored result of every other code
    }
}

bool CIntervalOps::IsIntegral(double r) {
    return std::isfinite(r) && std::floor(r) == r;
}

// Whether a base of L other than zero may give a zero power: a square of a base below about
// 1e-162, or a power whose smallest magnitude comes within a few ulps of zero.
bool CIntervalOps::UnderflowsToZero(const CInterval& L, const CInterval& R, bool square) {
    constexpr double kTiny = std::numeric_limits<double>::denorm_min();
    const double small = L.lo > 0.0 ? L.lo : L.hi < 0.0 ? -L.hi : kTiny; // least |l| > 0
    if (square) return small < 1e-150;
    if (!R.HasReals()) return true;
    const double least =
        std::min({std::fabs(std::pow(small, R.lo)), std::fabs(std::pow(small, R.hi)),
                  std::fabs(std::pow(std::max(std::fabs(L.lo), std::fabs(L.hi)), R.lo)),
                  std::fabs(std::pow(std::max(std::fabs(L.lo), std::fabs(L.hi)), R.hi))});
    return !(least > 8 * kTiny);
}

CIntervalResult EvalInterval(CNodeList& list, double xlo, double xhi) {
    CIntervalResult res;
    if (list.empty()) {
        res.bAllFail = res.bMayFail = true;
        return res;
    }
    CIntervalOps ev;
    thread_local std::vector<CInterval> values;
    const auto y = WalkSteps(list.Program().steps, ev, CInterval{xlo, xhi, false}, values);
    if (!y) {
        res.bAllFail = res.bMayFail = true;
        return res;
    }
    res.y = *y;
    res.bMayFail = ev.bMayFail;
    return res;
}
