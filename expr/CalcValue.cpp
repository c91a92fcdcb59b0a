#include "expr/CalcValue.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

inline double Fetch(const CNodeList& list, const COperand& o, double x) {
    switch (o.kind) {
    case EOperandKind::X:
        return x;
    case EOperandKind::Ref:
        return list.Result(o.ref);
    default:
        return o.value;
    }
}

} // namespace

double CalcValue(CNodeList& list, double x, bool& bEvalError) {
    const auto& steps = list.Steps();
    if (steps.empty()) {
        bEvalError = true;
        return 0.0;
    }
    const std::size_t n = steps.size();
    for (std::size_t i = 0; i < n; ++i) {
        const CStep& s = steps[i];
        if (s.left.kind == EOperandKind::Bad) {
            bEvalError = true;
            return 0.0;
        }
        const double L = Fetch(list, s.left, x);
        double r;
        switch (s.op) {
        case op::Copy: r = L; break;
        case op::Sin: r = std::sin(L); break;
        case op::Cos: r = std::cos(L); break;
        case op::Tan: r = std::tan(L); break;
        case op::Exp: r = std::exp(L); break;
        case op::Ln: r = std::log(L); break;
        case op::Cot: r = 1.0 / std::tan(L); break;
        case op::Sec: r = 1.0 / std::cos(L); break;
        case op::Csc: r = 1.0 / std::sin(L); break;
        case op::Keep: continue;
        default: {
            if (s.right.kind == EOperandKind::Bad) {
                bEvalError = true;
                return 0.0;
            }
            const double R = Fetch(list, s.right, x);
            switch (s.op) {
            case '+': r = L + R; break;
            case '-': r = L - R; break;
            case '*': r = L * R; break;
            case '/':
                if (R == 0.0 || std::isnan(R)) {
                    bEvalError = true;
                    return 0.0;
                }
                r = L / R;
                break;
            case '^':
                r = std::pow(L, R);
                list.SetResult(i, r);
                if ((r == 0.0 || std::isnan(r)) && !(L == 0.0 || std::isnan(L))) {
                    bEvalError = true;
                    return 0.0;
                }
                continue;
            default:
                continue; // unknown code: the result stays as it was
            }
        }
        }
        list.SetResult(i, r);
    }
    return list.Result(n - 1);
}

// ---------------------------------------------------------------------------------------------
// Batch evaluation: node by node over a chunk of x values. The chunk length is a compile-time
// constant so that the element loops vectorise at -O2; a short last chunk is padded.

namespace {

constexpr std::size_t kChunk = CNodeList::kBatchChunk;

struct CArr {
    const double* p;
    double operator[](std::size_t i) const { return p[i]; }
};
struct CConst {
    double v;
    double operator[](std::size_t) const { return v; }
};

template <class Fn, class A> inline void Unary(double* __restrict out, A a, Fn f) {
    for (std::size_t i = 0; i < kChunk; ++i) out[i] = f(a[i]);
}

template <class Fn, class A, class B>
inline void Binary(double* __restrict out, A a, B b, Fn f) {
    for (std::size_t i = 0; i < kChunk; ++i) out[i] = f(a[i], b[i]);
}

template <class A, class B>
inline void Divide(double* __restrict out, unsigned char* __restrict fail, A a, B b) {
    for (std::size_t i = 0; i < kChunk; ++i) {
        const double R = b[i];
        fail[i] |= static_cast<unsigned char>((R == 0.0) | (R != R));
        out[i] = a[i] / R;
    }
}

template <class A, class B>
inline void Power(double* __restrict out, unsigned char* __restrict fail, A a, B b) {
    for (std::size_t i = 0; i < kChunk; ++i) {
        const double L = a[i];
        const double r = std::pow(L, b[i]);
        const bool lost = (r == 0.0) | (r != r);
        const bool base = (L == 0.0) | (L != L);
        fail[i] |= static_cast<unsigned char>(lost & !base);
        out[i] = r;
    }
}

// Dispatches a binary kernel on the four combinations of array and constant operands.
template <class K>
inline void WithOperands(const double* la, double lc, const double* ra, double rc, K k) {
    if (la && ra) k(CArr{la}, CArr{ra});
    else if (la) k(CArr{la}, CConst{rc});
    else if (ra) k(CConst{lc}, CArr{ra});
    else k(CConst{lc}, CConst{rc});
}

template <class K> inline void WithOperand(const double* a, double c, K k) {
    if (a) k(CArr{a});
    else k(CConst{c});
}

struct CScratch {
    alignas(64) double x[kChunk];
    alignas(64) double tmp[kChunk];
    alignas(64) unsigned char fail[kChunk];
};

} // namespace

void CalcValues(CNodeList& list, const double* xs, double* ys, bool* errs, std::size_t n) {
    const auto& steps = list.BatchSteps();
    if (steps.empty()) {
        std::fill(ys, ys + n, 0.0);
        std::fill(errs, errs + n, true);
        return;
    }
    // One chunk per node name in use (at most 256 + 1), held by the list.
    double* slots = list.Scratch();
    CScratch sc;
    const bool canFail = list.CanFail();
    const std::size_t last = steps.size() - 1;

    for (std::size_t base = 0; base < n; base += kChunk) {
        const std::size_t m = std::min(kChunk, n - base);
        std::memcpy(sc.x, xs + base, m * sizeof(double));
        for (std::size_t i = m; i < kChunk; ++i) sc.x[i] = sc.x[m - 1];
        std::memset(sc.fail, 0, sizeof sc.fail);
        bool allBad = false;
        double* out = nullptr;

        for (std::size_t k = 0; k <= last; ++k) {
            const auto& b = steps[k];
            const CStep& s = b.step;
            auto src = [&](const COperand& o, std::int32_t slot) -> const double* {
                if (o.kind == EOperandKind::X) return sc.x;
                if (o.kind == EOperandKind::Ref) return slots + slot * kChunk;
                return nullptr;
            };
            const bool unary = op::IsUnary(s.op);
            if (s.left.kind == EOperandKind::Bad ||
                (!unary && s.right.kind == EOperandKind::Bad)) {
                // Every lane that reaches this node fails here.
                allBad = true;
                break;
            }
            const double* la = src(s.left, b.leftSlot);
            const double* ra = unary ? nullptr : src(s.right, b.rightSlot);
            double* dst = slots + b.outSlot * kChunk;
            // Never write a slot that is also read: route through tmp and copy back.
            const bool alias = dst == la || dst == ra;
            double* w = alias ? sc.tmp : dst;
            const double lc = s.left.value, rc = s.right.value;
            bool wrote = true;
            switch (s.op) {
            case op::Copy: WithOperand(la, lc, [&](auto a) { Unary(w, a, [](double v) { return v; }); }); break;
            case op::Sin: WithOperand(la, lc, [&](auto a) { Unary(w, a, [](double v) { return std::sin(v); }); }); break;
            case op::Cos: WithOperand(la, lc, [&](auto a) { Unary(w, a, [](double v) { return std::cos(v); }); }); break;
            case op::Tan: WithOperand(la, lc, [&](auto a) { Unary(w, a, [](double v) { return std::tan(v); }); }); break;
            case op::Exp: WithOperand(la, lc, [&](auto a) { Unary(w, a, [](double v) { return std::exp(v); }); }); break;
            case op::Ln: WithOperand(la, lc, [&](auto a) { Unary(w, a, [](double v) { return std::log(v); }); }); break;
            case op::Cot: WithOperand(la, lc, [&](auto a) { Unary(w, a, [](double v) { return 1.0 / std::tan(v); }); }); break;
            case op::Sec: WithOperand(la, lc, [&](auto a) { Unary(w, a, [](double v) { return 1.0 / std::cos(v); }); }); break;
            case op::Csc: WithOperand(la, lc, [&](auto a) { Unary(w, a, [](double v) { return 1.0 / std::sin(v); }); }); break;
            case '+': WithOperands(la, lc, ra, rc, [&](auto a, auto c) { Binary(w, a, c, [](double p, double q) { return p + q; }); }); break;
            case '-': WithOperands(la, lc, ra, rc, [&](auto a, auto c) { Binary(w, a, c, [](double p, double q) { return p - q; }); }); break;
            case '*': WithOperands(la, lc, ra, rc, [&](auto a, auto c) { Binary(w, a, c, [](double p, double q) { return p * q; }); }); break;
            case '/': WithOperands(la, lc, ra, rc, [&](auto a, auto c) { Divide(w, sc.fail, a, c); }); break;
            case '^': WithOperands(la, lc, ra, rc, [&](auto a, auto c) { Power(w, sc.fail, a, c); }); break;
            default: {
                // 'E' and unknown codes never assign: the node keeps the result it has.
                const double keep = list.Result(k);
                std::fill(dst, dst + kChunk, keep);
                wrote = false;
                break;
            }
            }
            if (wrote && alias) std::memcpy(dst, sc.tmp, sizeof sc.tmp);
            if (k == last) out = dst;
        }

        double* y = ys + base;
        bool* e = errs + base;
        if (allBad) {
            // Lanes that failed before the bad node fail as well; all return 0.0.
            std::fill(y, y + m, 0.0);
            std::fill(e, e + m, true);
        } else if (!canFail) {
            std::memcpy(y, out, m * sizeof(double));
            std::fill(e, e + m, false);
        } else {
            for (std::size_t i = 0; i < m; ++i) {
                const bool f = sc.fail[i] != 0;
                y[i] = f ? 0.0 : out[i];
                e[i] = f;
            }
        }
    }
}
