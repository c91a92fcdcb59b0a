// The four-lane level of VecMath.cpp, built with AVX2 and FMA: run only where the CPU has them.
// Nothing here may be an inline function another file also uses, or the linker could keep
// this file's AVX2 copy of it for everyone.

#include "expr/VecMath.h"

#include <immintrin.h>
#include <math.h>

// The library's entries this level calls. Declared here rather than taken from sleef.h, which
// marks their results const: C++ keeps that in a function's type, and the scalar ones go into
// the table of plain double(double) functions as they are, without a wrapper to jump through.
extern "C" {
double Sleef_sind1_u10purecfma(double);
double Sleef_cosd1_u10purecfma(double);
double Sleef_tand1_u10purecfma(double);
double Sleef_expd1_u10purecfma(double);
__m256d Sleef_sind4_u10avx2(__m256d);
__m256d Sleef_cosd4_u10avx2(__m256d);
__m256d Sleef_tand4_u10avx2(__m256d);
__m256d Sleef_expd4_u10avx2(__m256d);
}

namespace vmath {
namespace {

// The library's AVX2 functions for chunks, its C ones built with FMA for a value: the same
// operations in the same order.
double Tan1(double x) {
    return fabs(x) < kTanTiny ? x : Sleef_tand1_u10purecfma(x);
}
double Exp1(double x) {
    return x > kExpGlibc ? exp(x) : Sleef_expd1_u10purecfma(x);
}

bool LanesBelow(__m256d v, double limit) {
    const __m256d a = _mm256_andnot_pd(_mm256_set1_pd(-0.0), v);
    return _mm256_movemask_pd(_mm256_cmp_pd(a, _mm256_set1_pd(limit), _CMP_LT_OQ)) == 15;
}

template <auto V, auto S> void TrigN(const double* in, double* out, std::size_t n) {
    for (std::size_t i = 0; i < n; i += 4) {
        const __m256d v = _mm256_loadu_pd(in + i);
        if (LanesBelow(v, kTrigLanes)) {
            _mm256_storeu_pd(out + i, V(v));
        } else {
            double r[4];
            for (int j = 0; j < 4; ++j)
                r[j] = S(in[i + j]);
            for (int j = 0; j < 4; ++j)
                out[i + j] = r[j];
        }
    }
}

void TanN(const double* in, double* out, std::size_t n) {
    for (std::size_t i = 0; i < n; i += 4) {
        const __m256d v = _mm256_loadu_pd(in + i);
        if (LanesBelow(v, kTrigLanes)) {
            const __m256d tiny = _mm256_cmp_pd(_mm256_andnot_pd(_mm256_set1_pd(-0.0), v),
                                               _mm256_set1_pd(kTanTiny), _CMP_LT_OQ);
            _mm256_storeu_pd(out + i, _mm256_blendv_pd(Sleef_tand4_u10avx2(v), v, tiny));
        } else {
            double r[4];
            for (int j = 0; j < 4; ++j)
                r[j] = Tan1(in[i + j]);
            for (int j = 0; j < 4; ++j)
                out[i + j] = r[j];
        }
    }
}

void ExpN(const double* in, double* out, std::size_t n) {
    for (std::size_t i = 0; i < n; i += 4) {
        const __m256d v = _mm256_loadu_pd(in + i);
        const __m256d ok = _mm256_cmp_pd(v, _mm256_set1_pd(kExpGlibc), _CMP_NGT_UQ);
        if (_mm256_movemask_pd(ok) == 15) {
            _mm256_storeu_pd(out + i, Sleef_expd4_u10avx2(v));
        } else {
            double r[4];
            for (int j = 0; j < 4; ++j)
                r[j] = Exp1(in[i + j]);
            for (int j = 0; j < 4; ++j)
                out[i + j] = r[j];
        }
    }
}

} // namespace

extern const CFns kAvx2Fns;
const CFns kAvx2Fns = {Sleef_sind1_u10purecfma,
                       Sleef_cosd1_u10purecfma,
                       Tan1,
                       Exp1,
                       LogOne,
                       TrigN<Sleef_sind4_u10avx2, Sleef_sind1_u10purecfma>,
                       TrigN<Sleef_cosd4_u10avx2, Sleef_cosd1_u10purecfma>,
                       TanN,
                       ExpN,
                       LogChunk};

} // namespace vmath
