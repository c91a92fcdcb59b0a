#pragma once
// The elementary functions of the evaluators: SLEEF's 1-ulp sin, cos, tan and exp, vectorised
// over a chunk for the batch and one value at a time for the per-point path and constant
// folding. Both forms give the same bits for every input, so the two paths of evaluation agree.
// ln stays glibc's log in both: SLEEF's is no faster over a chunk and slower for one value.
//
// A few inputs are ours to decide rather than the library's, the same way in both forms:
// tan of |x| < 2^-27 is x (the correctly rounded value; the library flushes the smallest
// subnormals to zero), and exp above 709.5 is glibc's (the library overflows to infinity a
// little before the largest finite result).

#include <cstddef>

namespace vmath {

using ScalarFn = double (*)(double);
// out[i] = the scalar function of in[i] for i < n; n a multiple of 4. in may equal out.
using ChunkFn = void (*)(const double* in, double* out, std::size_t n);

struct CFns {
    ScalarFn sin, cos, tan, exp, log;
    ChunkFn sinN, cosN, tanN, expN, logN;
};

// SSE2 (two lanes) runs on every x86-64; AVX2 with FMA (four lanes) where the CPU has both.
// The two levels may differ in the last bit (fused multiply-adds); one process uses one.
enum class ELevel { Sse2, Avx2 };
bool Supported(ELevel level);
const CFns& FnsFor(ELevel level);
ELevel BestLevel();

// The functions this process evaluates with: the best level the CPU supports.
inline const CFns& Fns() {
    static const CFns& fns = FnsFor(BestLevel());
    return fns;
}

inline double Sin(double x) {
    return Fns().sin(x);
}
inline double Cos(double x) {
    return Fns().cos(x);
}
inline double Tan(double x) {
    return Fns().tan(x);
}
inline double Exp(double x) {
    return Fns().exp(x);
}
inline double Log(double x) {
    return Fns().log(x);
}

// glibc's log, shared by both levels.
double LogOne(double x);
void LogChunk(const double* in, double* out, std::size_t n);

// Limits of the rules above, shared by both levels.
inline constexpr double kTanTiny = 0x1p-27;
inline constexpr double kExpGlibc = 709.5;
// Below this magnitude every lane of a trigonometric call gives what it gives alone; a chunk
// step whose lanes are not all below it (or not finite) computes its lanes one by one. The
// library reduces larger arguments in another way for all lanes of a call at once.
inline constexpr double kTrigLanes = 1e9;

} // namespace vmath
