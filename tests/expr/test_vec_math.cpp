#include "expr/CalcValue.h"
#include "expr/FunCompiler.h"
#include "expr/VecMath.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

using vmath::CFns;
using vmath::ELevel;

std::uint64_t Bits(double d) {
    std::uint64_t u;
    std::memcpy(&u, &d, sizeof u);
    return u;
}

// Distance in representable doubles, across zero too.
std::int64_t Ulps(double a, double b) {
    auto ord = [](double d) {
        const auto i = static_cast<std::int64_t>(Bits(d));
        return i < 0 ? INT64_MIN - i : i;
    };
    const std::int64_t d = ord(a) - ord(b);
    return d < 0 ? -d : d;
}

struct CFn {
    const char* name;
    vmath::ScalarFn CFns::*one;
    vmath::ChunkFn CFns::*chunk;
    double (*glibc)(double);
    long double (*exact)(long double); // long double: 11 more bits than the result
};

const CFn kFns[] = {
    {"sin", &CFns::sin, &CFns::sinN, ::sin, ::sinl},
    {"cos", &CFns::cos, &CFns::cosN, ::cos, ::cosl},
    {"tan", &CFns::tan, &CFns::tanN, ::tan, ::tanl},
    {"exp", &CFns::exp, &CFns::expN, ::exp, ::expl},
    {"log", &CFns::log, &CFns::logN, ::log, ::logl},
};

std::vector<ELevel> Levels() {
    std::vector<ELevel> v;
    for (ELevel l : {ELevel::Sse2, ELevel::Avx2})
        if (vmath::Supported(l)) v.push_back(l);
    return v;
}

const char* Name(ELevel l) {
    return l == ELevel::Avx2 ? "avx2" : "sse2";
}

// Values where the functions or our rules change course: signed zeros, subnormals, the limits
// of the rules, the library's reduction ranges, poles and overflow.
std::vector<double> Edges() {
    std::vector<double> v = {0.0,
                             -0.0,
                             DBL_TRUE_MIN,
                             -DBL_TRUE_MIN,
                             3 * DBL_TRUE_MIN,
                             DBL_MIN,
                             -DBL_MIN,
                             0x1p-1022 * 1.5,
                             1e-300,
                             1.0,
                             -1.0,
                             M_PI_2,
                             -M_PI_2,
                             M_PI,
                             15.0,
                             1e9,
                             1e14,
                             -1e14,
                             1e22,
                             1e300,
                             DBL_MAX,
                             -DBL_MAX,
                             709.0,
                             709.78,
                             709.782712893384,
                             710.0,
                             -708.4,
                             -745.1,
                             -746.0,
                             INFINITY,
                             -INFINITY,
                             NAN,
                             -NAN};
    for (double limit : {vmath::kTanTiny, vmath::kExpGlibc, vmath::kTrigLanes}) {
        v.push_back(limit);
        v.push_back(std::nextafter(limit, 0.0));
        v.push_back(std::nextafter(limit, INFINITY));
        v.push_back(-limit);
    }
    return v;
}

// Random values over every binade and over the ranges plots use.
std::vector<double> Sweep(std::size_t n, std::uint64_t seed) {
    std::mt19937_64 g(seed);
    std::uniform_real_distribution<double> unit(1.0, 2.0);
    std::vector<double> v(n);
    for (std::size_t i = 0; i < n; ++i) {
        double x;
        switch (i % 4) {
        case 0:
            x = std::uniform_real_distribution<double>(-20.0, 20.0)(g);
            break;
        case 1:
            x = std::uniform_real_distribution<double>(-1e4, 1e4)(g);
            break;
        case 2:
            x = std::ldexp(unit(g), std::uniform_int_distribution<int>(-1075, 1023)(g));
            break;
        default:
            x = std::uniform_real_distribution<double>(-746.0, 746.0)(g);
            break;
        }
        v[i] = (g() & 1) ? -x : x;
    }
    return v;
}

// Every chunk entry gives, lane by lane, the bits of its scalar entry: whatever shares a vector
// with a value, a huge or not finite neighbour included, must not change its result.
TEST(VecMath, ChunksGiveTheScalarBitsWhateverTheNeighbours) {
    std::vector<double> xs = Edges();
    // 709.7827128: exp is finite there, but the library's vector overflows before glibc does.
    const std::vector<double> partners = {0.5, 14.9, 15.1,   1e5,      1e9,
                                          2e9, 1e14, 1e300,  710,      INFINITY,
                                          NAN, -0.0, 1e-320, -DBL_MAX, 709.7827128};
    // Each swept value shares its vector of four with a partner (and of two with another
    // swept value or the partner).
    const std::vector<double> sweep = Sweep(60000, 1);
    for (std::size_t i = 0; i < sweep.size(); i += 3) {
        xs.push_back(sweep[i]);
        xs.push_back(sweep[i + 1]);
        xs.push_back(sweep[i + 2]);
        xs.push_back(partners[(i / 3) % partners.size()]);
    }
    xs.resize(xs.size() / 4 * 4);
    std::vector<double> ys(xs.size());
    for (ELevel level : Levels()) {
        const CFns& fns = vmath::FnsFor(level);
        for (const CFn& f : kFns) {
            (fns.*f.chunk)(xs.data(), ys.data(), xs.size());
            for (std::size_t i = 0; i < xs.size(); ++i) {
                const double one = (fns.*f.one)(xs[i]);
                ASSERT_EQ(Bits(ys[i]), Bits(one)) << Name(level) << " " << f.name << "(" << xs[i]
                                                  << "): chunk " << ys[i] << ", alone " << one;
            }
            // In place, as the batch may call them.
            std::vector<double> io = xs;
            (fns.*f.chunk)(io.data(), io.data(), io.size());
            ASSERT_EQ(std::memcmp(io.data(), ys.data(), ys.size() * sizeof(double)), 0)
                << Name(level) << " " << f.name << " in place";
        }
    }
}

// Within one ulp of the correctly rounded value, which long double gives here but for a
// double rounding that can only move it to the other neighbour of the exact value.
TEST(VecMath, WithinOneUlpOfTheCorrectlyRoundedValue) {
    std::vector<double> xs = Sweep(100000, 2);
    for (double x : Edges())
        if (std::isfinite(x)) xs.push_back(x);
    for (ELevel level : Levels()) {
        const CFns& fns = vmath::FnsFor(level);
        for (const CFn& f : kFns) {
            for (double x : xs) {
                const double exact = static_cast<double>(f.exact(x));
                const double y = (fns.*f.one)(x);
                if (std::isnan(exact)) {
                    ASSERT_TRUE(std::isnan(y)) << Name(level) << " " << f.name << "(" << x << ")";
                    continue;
                }
                ASSERT_LE(Ulps(y, exact), 1) << Name(level) << " " << f.name << "(" << x
                                             << "): " << y << ", correctly rounded " << exact;
            }
        }
    }
}

// Where a result is NaN, infinite or zero, and with which sign, decides what fails and what is
// drawn: the same as glibc's for every special input.
TEST(VecMath, SpecialResultsAsGlibcGivesThem) {
    auto kind = [](double d) {
        if (std::isnan(d)) return std::string("nan");
        const std::string sign = std::signbit(d) ? "-" : "+";
        if (std::isinf(d)) return sign + "inf";
        if (d == 0.0) return sign + "0";
        return sign + "finite";
    };
    for (ELevel level : Levels()) {
        const CFns& fns = vmath::FnsFor(level);
        for (const CFn& f : kFns)
            for (double x : Edges())
                EXPECT_EQ(kind((fns.*f.one)(x)), kind(f.glibc(x)))
                    << Name(level) << " " << f.name << "(" << x << ")";
    }
}

// The evaluators' failures are ours to decide and did not move with the library: a division
// by a function's exact zero fails, by its smallest non-zero value does not.
TEST(VecMath, FailuresOfTheEvaluatorsStayAsTheyWere) {
    struct CCase {
        const char* text;
        double x;
        bool error;
    };
    const CCase cases[] = {
        {"1/lnx", 1.0, true},
        {"1/lnx", 0.0, false}, // 1/-inf
        {"1/sinx", 0.0, true},
        {"1/sinx", -0.0, true},
        {"1/tanx", DBL_TRUE_MIN, false},
        {"1/tanx", -DBL_TRUE_MIN, false},
        {"1/e(x)", -800.0, true},
        {"1/e(x)", 709.7827, false},
        {"1/(1/e(x))", 709.7827128, false}, // e(x) finite, its reciprocal not zero
        {"1/lnx", -1.0, true},
        {"1/cosx", INFINITY, true},
    };
    for (const auto& c : cases) {
        CFunCheck r = CheckFunText(c.text);
        ASSERT_EQ(r.status, EFunCheck::Ok) << c.text;
        bool err = false;
        CalcValue(*r.pNodes, c.x, err);
        EXPECT_EQ(err, c.error) << c.text << " at " << c.x;
        double xs[4] = {c.x, c.x, 2.0, 2e300}, ys[4];
        bool errs[4];
        CalcValues(*r.pNodes, xs, ys, errs, 4);
        EXPECT_EQ(errs[0], c.error) << c.text << " at " << c.x << ", batch";
    }
}

} // namespace
