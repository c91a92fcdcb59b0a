#pragma once
// The arithmetic of the operator codes, shared by the evaluators and by constant folding, so
// that a value computed ahead of time has the bits an evaluation would give it.

#include "expr/VecMath.h"

#include <cmath>

namespace ops {

// pow with its most common exponent done as one product: x*x is the correctly rounded square,
// which glibc's pow is not in every case.
inline double Power(double L, double R) {
    return R == 2.0 ? L * L : std::pow(L, R);
}

// A power fails when it loses a non-zero, non-NaN base to zero or NaN.
inline bool PowerFails(double L, double r) {
    return ((r == 0.0) | (r != r)) & !((L == 0.0) | (L != L)); // branch-free for the batch
}

inline bool DivisionFails(double R) {
    return (R == 0.0) | (R != R);
}

// The codes that compute a value; every other code keeps the node's stored result.
inline bool Computes(char op) {
    return (op >= 'A' && op <= 'J' && op != 'E') || op == '+' || op == '-' || op == '*' ||
           op == '/' || op == '^';
}

// The value of a computing code; failures are the caller's to check.
inline double Apply(char op, double L, double R) {
    switch (op) {
    case 'A':
        return L;
    case 'B':
        return vmath::Sin(L);
    case 'C':
        return vmath::Cos(L);
    case 'D':
        return vmath::Tan(L);
    case 'F':
        return vmath::Exp(L);
    case 'G':
        return vmath::Log(L);
    case 'H':
        return 1.0 / vmath::Tan(L);
    case 'I':
        return 1.0 / vmath::Cos(L);
    case 'J':
        return 1.0 / vmath::Sin(L);
    case '+':
        return L + R;
    case '-':
        return L - R;
    case '*':
        return L * R;
    case '/':
        return L / R;
    case '^':
        return Power(L, R);
    default:
        return 0.0;
    }
}

} // namespace ops
