#include "expr/VecMath.h"

#include <cmath>
#include <emmintrin.h>

// The library's entries this level calls. Declared here rather than taken from sleef.h, which
// marks their results const: C++ keeps that in a function's type, and the scalar ones go into
// the table of plain double(double) functions as they are, without a wrapper to jump through.
extern "C" {
double Sleef_sind1_u10purec(double);
double Sleef_cosd1_u10purec(double);
double Sleef_tand1_u10purec(double);
double Sleef_expd1_u10purec(double);
__m128d Sleef_sind2_u10sse2(__m128d);
__m128d Sleef_cosd2_u10sse2(__m128d);
__m128d Sleef_tand2_u10sse2(__m128d);
__m128d Sleef_expd2_u10sse2(__m128d);
}

namespace vmath {

// The four-lane level, built for AVX2 in a file of its own (VecMathAvx2.cpp).
extern const CFns kAvx2Fns;

namespace {

// The two-lane level: the library's SSE2 functions for chunks, its plain C ones for a value,
// which compute the same operations in the same order.
double Tan1(double x) {
    return std::fabs(x) < kTanTiny ? x : Sleef_tand1_u10purec(x);
}
double Exp1(double x) {
    return x > kExpGlibc ? std::exp(x) : Sleef_expd1_u10purec(x);
}

bool LanesBelow(__m128d v, double limit) {
    const __m128d a = _mm_andnot_pd(_mm_set1_pd(-0.0), v);
    return _mm_movemask_pd(_mm_cmplt_pd(a, _mm_set1_pd(limit))) == 3;
}

template <auto V, auto S> void TrigN(const double* in, double* out, std::size_t n) {
    for (std::size_t i = 0; i < n; i += 2) {
        const __m128d v = _mm_loadu_pd(in + i);
        if (LanesBelow(v, kTrigLanes)) {
            _mm_storeu_pd(out + i, V(v));
        } else {
            const double a = S(in[i]), b = S(in[i + 1]);
            out[i] = a;
            out[i + 1] = b;
        }
    }
}

void TanN(const double* in, double* out, std::size_t n) {
    for (std::size_t i = 0; i < n; i += 2) {
        const __m128d v = _mm_loadu_pd(in + i);
        if (LanesBelow(v, kTrigLanes)) {
            const __m128d tiny =
                _mm_cmplt_pd(_mm_andnot_pd(_mm_set1_pd(-0.0), v), _mm_set1_pd(kTanTiny));
            const __m128d t = Sleef_tand2_u10sse2(v);
            _mm_storeu_pd(out + i, _mm_or_pd(_mm_and_pd(tiny, v), _mm_andnot_pd(tiny, t)));
        } else {
            const double a = Tan1(in[i]), b = Tan1(in[i + 1]);
            out[i] = a;
            out[i + 1] = b;
        }
    }
}

void ExpN(const double* in, double* out, std::size_t n) {
    for (std::size_t i = 0; i < n; i += 2) {
        const __m128d v = _mm_loadu_pd(in + i);
        if (_mm_movemask_pd(_mm_cmpngt_pd(v, _mm_set1_pd(kExpGlibc))) == 3) {
            _mm_storeu_pd(out + i, Sleef_expd2_u10sse2(v));
        } else {
            const double a = Exp1(in[i]), b = Exp1(in[i + 1]);
            out[i] = a;
            out[i + 1] = b;
        }
    }
}

const CFns kSse2Fns = {Sleef_sind1_u10purec,
                       Sleef_cosd1_u10purec,
                       Tan1,
                       Exp1,
                       LogOne,
                       TrigN<Sleef_sind2_u10sse2, Sleef_sind1_u10purec>,
                       TrigN<Sleef_cosd2_u10sse2, Sleef_cosd1_u10purec>,
                       TanN,
                       ExpN,
                       LogChunk};

} // namespace

// The library's vector log is no faster than glibc's on this kind of machine (2.9 ns per value
// either way) and its scalar one is nearly three times slower.
double LogOne(double x) {
    return std::log(x);
}
void LogChunk(const double* in, double* out, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        out[i] = std::log(in[i]);
}

bool Supported(ELevel level) {
    __builtin_cpu_init(); // a static initialiser may evaluate before libgcc's has run
    return level == ELevel::Sse2 ||
           (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"));
}

ELevel BestLevel() {
    return Supported(ELevel::Avx2) ? ELevel::Avx2 : ELevel::Sse2;
}

const CFns& FnsFor(ELevel level) {
    return level == ELevel::Avx2 ? kAvx2Fns : kSse2Fns;
}

} // namespace vmath
