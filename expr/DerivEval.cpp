#include "expr/DerivEval.h"

#include "expr/Ops.h"
#include "expr/Program.h"
#include "expr/VecMath.h"

#include <cmath>
#include <vector>

namespace {

// The chain rule over one step, for numbers (double) and for intervals alike: the value and
// the factor by which it scales the slope of the operand. K supplies the arithmetic.
template <class K> struct CDual { typename K::T v, d; };

// A term a·b that is zero when b is exactly zero, so that an infinite or undefined a does not
// turn a constant operand's zero slope into NaN; over a range, b may be zero somewhere.
template <class K, class T> T Scaled(const T& a, const T& b) {
    return K::IsZero(b) ? b : K::OrZeroWhere(K::Mul(a, b), b);
}

template <class K>
CDual<K> ChainRule(char op, const CDual<K>& L, const CDual<K>& R, const typename K::T& v) {
    using T = typename K::T;
    const T one = K::Num(1.0);
    switch (op) {
    case op::Copy:
        return {v, L.d};
    case op::Sin:
        return {v, Scaled<K>(K::Cos(L.v), L.d)};
    case op::Cos:
        return {v, Scaled<K>(K::Neg(K::Sin(L.v)), L.d)};
    case op::Tan: // 1 + tan²
        return {v, Scaled<K>(K::Add(one, K::Sqr(v)), L.d)};
    case op::Exp:
        return {v, Scaled<K>(v, L.d)};
    case op::Ln:
        return {v, K::IsZero(L.d) ? L.d : K::OrZeroWhere(K::Div(L.d, L.v), L.d)};
    case op::Cot: // -(1 + cot²)
        return {v, Scaled<K>(K::Neg(K::Add(one, K::Sqr(v))), L.d)};
    case op::Sec: // sec · tan
        return {v, Scaled<K>(K::Mul(v, K::Tan(L.v)), L.d)};
    case op::Csc: // -csc · cot
        return {v, Scaled<K>(K::Neg(K::Div(v, K::Tan(L.v))), L.d)};
    case '+':
        return {v, K::Add(L.d, R.d)};
    case '-':
        return {v, K::Add(L.d, K::Neg(R.d))};
    case '*':
        return {v, K::Add(Scaled<K>(R.v, L.d), Scaled<K>(L.v, R.d))};
    case '/': // (L' - q·R') / R
        return {v, K::Div(K::Add(L.d, K::Neg(Scaled<K>(v, R.d))), R.v)};
    case '^': {
        // r·l^(r-1)·l' + ln(l)·l^r·r'; a square is 2·l·l'.
        if (K::IsTwo(R.v) && K::IsZero(R.d)) return {v, Scaled<K>(K::Mul(K::Num(2.0), L.v), L.d)};
        const T d = Scaled<K>(K::Mul(R.v, K::Pow(L.v, K::MinusOne(R.v))), L.d);
        return {v, K::Add(d, Scaled<K>(K::Mul(K::Log(L.v), v), R.d))};
    }
    default:
        return {v, K::Num(0.0)};
    }
}

// No slope where the value is not a number (ln of a negative, say), whatever the rule gives.
template <class K>
CDual<K> Chain(char op, const CDual<K>& L, const CDual<K>& R, const typename K::T& v) {
    CDual<K> r = ChainRule<K>(op, L, R, v);
    r.d = K::NoSlopeWhereNaN(v, r.d);
    return r;
}

struct CNumK {
    using T = double;
    static double Num(double c) { return c; }
    static bool IsZero(double a) { return a == 0.0; }
    static bool IsTwo(double a) { return a == 2.0; }
    static double Add(double a, double b) { return a + b; }
    static double MinusOne(double a) { return a - 1.0; }
    static double Neg(double a) { return -a; }
    static double Mul(double a, double b) { return a * b; }
    static double Div(double a, double b) { return a / b; }
    static double Sqr(double a) { return a * a; }
    static double Sin(double a) { return vmath::Sin(a); }
    static double Cos(double a) { return vmath::Cos(a); }
    static double Tan(double a) { return vmath::Tan(a); }
    static double Log(double a) { return vmath::Log(a); }
    static double Pow(double a, double b) { return std::pow(a, b); }
    static double NoSlopeWhereNaN(double v, double d) { return std::isnan(v) ? v : d; }
    static double OrZeroWhere(double t, double) { return t; }
};

struct CIntK {
    using T = CInterval;
    static CInterval Num(double c) { return CInterval::Point(c); }
    static bool IsZero(const CInterval& a) { return !a.nan && a.lo == 0.0 && a.hi == 0.0; }
    static bool IsTwo(const CInterval& a) { return !a.nan && a.lo == 2.0 && a.hi == 2.0; }
    static CInterval Add(const CInterval& a, const CInterval& b) { return ival::Add(a, b); }
    // An exponent less one stays a point when exact, so that x^3's slope 3·x^2 keeps an
    // integral power of a negative base instead of a widened, non-integral one.
    static CInterval MinusOne(const CInterval& a) {
        const double d = a.lo - 1.0;
        if (!a.nan && a.lo == a.hi && d + 1.0 == a.lo && a.lo - d == 1.0) return Point(d);
        return ival::Add(a, CInterval::Point(-1.0));
    }
    static CInterval Point(double c) { return CInterval::Point(c); }
    static CInterval Neg(const CInterval& a) { return ival::Neg(a); }
    static CInterval Mul(const CInterval& a, const CInterval& b) { return ival::Mul(a, b); }
    static CInterval Div(const CInterval& a, const CInterval& b) { return ival::Div(a, b); }
    static CInterval Sqr(const CInterval& a) { return ival::Sqr(a); }
    static CInterval Sin(const CInterval& a) { return ival::Sin(a); }
    static CInterval Cos(const CInterval& a) { return ival::Cos(a); }
    static CInterval Tan(const CInterval& a) { return ival::Tan(a); }
    static CInterval Log(const CInterval& a) { return ival::Log(a); }
    static CInterval Pow(const CInterval& a, const CInterval& b) { return ival::Pow(a, b); }
    // A term whose factor b may be exactly zero may be exactly zero.
    static CInterval OrZeroWhere(const CInterval& t, const CInterval& b) {
        return b.HasReals() && b.lo <= 0.0 && b.hi >= 0.0 ? ival::Hull(t, CInterval::Point(0.0))
                                                          : t;
    }
    static CInterval NoSlopeWhereNaN(const CInterval& v, CInterval d) {
        d.nan = d.nan || v.nan;
        return d;
    }
};

// One x: the value exactly as the per-point evaluator computes it, failures included.
struct CPointSlopes {
    using Value = CDual<CNumK>;
    static Value Constant(double c) { return {c, 0.0}; }
    std::optional<Value> Apply(char op, const Value& L, const Value& R) const {
        const double v = ops::Apply(op, L.v, R.v);
        if (op == '/' && ops::DivisionFails(R.v)) return std::nullopt;
        if (op == '^' && ops::PowerFails(L.v, v)) return std::nullopt;
        return Chain<CNumK>(op, L, R, v);
    }
};

// A range of x: the interval evaluator for the value, the same chain rule for the slope.
struct CIntervalSlopes {
    using Value = CDual<CIntK>;
    CIntervalOps values;
    static Value Constant(double c) { return {CInterval::Point(c), CInterval::Point(0.0)}; }
    std::optional<Value> Apply(char op, const Value& L, const Value& R) {
        const std::optional<CInterval> v = values.Apply(op, L.v, R.v);
        if (!v) return std::nullopt;
        return Chain<CIntK>(op, L, R, *v);
    }
};

} // namespace

std::optional<CSlope> EvalSlope(CNodeList& list, double x) {
    if (list.empty()) return std::nullopt;
    CPointSlopes ev;
    thread_local std::vector<CPointSlopes::Value> values;
    const auto r = WalkSteps(list.Program().steps, ev, CPointSlopes::Value{x, 1.0}, values);
    if (!r) return std::nullopt;
    return CSlope{r->v, r->d};
}

CSlopeInterval EvalSlopeInterval(CNodeList& list, double xlo, double xhi) {
    CSlopeInterval res;
    if (list.empty()) {
        res.bAllFail = res.bMayFail = true;
        return res;
    }
    CIntervalSlopes ev;
    thread_local std::vector<CIntervalSlopes::Value> values;
    const auto r =
        WalkSteps(list.Program().steps, ev,
                  CIntervalSlopes::Value{{xlo, xhi, false}, CInterval::Point(1.0)}, values);
    if (!r) {
        res.bAllFail = res.bMayFail = true;
        return res;
    }
    res.y = r->v;
    res.dy = r->d;
    res.bMayFail = ev.values.bMayFail;
    return res;
}
