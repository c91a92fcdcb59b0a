#include "expr/CalcValue.h"

#include "expr/Ops.h"
#include "expr/VecMath.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

using ops::Power;
using ops::PowerFails;

namespace {

// RunRegSteps for callers off the per-point path: false on a failure, the step in failAt.
bool RunSteps(const CRegStep* s, const CRegStep* const end, double* reg, double x, double& result,
              std::size_t& failAt) {
    const CStepsResult r = RunRegSteps(s, end, reg, x);
    result = r.y;
    failAt = r.failAt;
    return r.failAt == CStepsResult::kNone;
}

} // namespace

// Lists that fail at every x, and the empty list, kept off the common path.
double CalcValueAllFail(CNodeList& list, double x, bool& bEvalError) {
    if (list.empty()) {
        bEvalError = true;
        return 0.0;
    }
    CProgram& prog = list.Program();
    double y;
    std::size_t at;
    // The steps before the node that always fails can fail first.
    if (!prog.pointSteps.empty() &&
        !RunSteps(prog.pointSteps.data(), prog.pointSteps.data() + prog.pointSteps.size(),
                  prog.pointRegs.data(), x, y, at))
        prog.NoteFailure(x, prog.pointNode[at]);
    else
        prog.NoteFailure(x, prog.vecFailNode);
    bEvalError = true;
    return 0.0;
}

double CalcValueNodeByNode(CNodeList& list, double x, bool& bEvalError) {
    if (list.empty()) {
        bEvalError = true;
        return 0.0;
    }
    CProgram& prog = list.Program();
    if (prog.history.bDirty) prog.Settle();
    double y;
    std::size_t at;
    if (!RunSteps(prog.regSteps.data(), prog.regSteps.data() + prog.regSteps.size(),
                  prog.regs.data(), x, y, at)) {
        prog.NoteFailure(x, static_cast<std::uint32_t>(at));
        prog.history.bDirty = false; // the registers hold this call already
        bEvalError = true;
        return 0.0;
    }
    prog.NoteComplete(x);
    prog.history.bDirty = false;
    return y;
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
    for (std::size_t i = 0; i < kChunk; ++i)
        out[i] = f(a[i]);
}

template <class Fn, class A, class B> inline void Binary(double* __restrict out, A a, B b, Fn f) {
    for (std::size_t i = 0; i < kChunk; ++i)
        out[i] = f(a[i], b[i]);
}

template <class A, class B>
inline void Divide(double* __restrict out, std::uint64_t* __restrict fail, A a, B b) {
    for (std::size_t i = 0; i < kChunk; ++i) {
        const double R = b[i];
        fail[i] |= static_cast<std::uint64_t>((R == 0.0) | (R != R));
        out[i] = a[i] / R;
    }
}

template <class A, class B>
inline void PowerAll(double* __restrict out, std::uint64_t* __restrict fail, A a, B b) {
    for (std::size_t i = 0; i < kChunk; ++i) {
        const double L = a[i];
        const double r = Power(L, b[i]);
        fail[i] |= static_cast<std::uint64_t>(PowerFails(L, r));
        out[i] = r;
    }
}

// A division that gives the result of a program that fails nowhere else: the output and its
// flags in the same pass.
template <class A, class B>
inline void DivideOut(double* __restrict y, bool* __restrict e, A a, B b) {
    for (std::size_t i = 0; i < kChunk; ++i) {
        const double R = b[i];
        const bool f = ops::DivisionFails(R);
        const double q = a[i] / R;
        y[i] = f ? 0.0 : q;
        e[i] = f;
    }
}

// The square on its own, so that the loop has no call in it and vectorises.
template <class A> inline void Square(double* __restrict out, std::uint64_t* __restrict fail, A a) {
    for (std::size_t i = 0; i < kChunk; ++i) {
        const double L = a[i];
        const double r = L * L;
        fail[i] |= static_cast<std::uint64_t>(PowerFails(L, r));
        out[i] = r;
    }
}

// Fused arithmetic: a run of + - * / and squares goes over the chunk a few lanes at a time,
// every step of the run before the next lanes, so a value read only by the next step stays in
// registers. Each operation is the one the per-point evaluator does, lane by lane.
constexpr std::size_t kLanes = 16;
constexpr std::size_t kMaxFused = 32; // steps per fused piece; a longer run takes several
typedef double V2 __attribute__((vector_size(16))); // two lanes: one SSE2 register
typedef std::int64_t M2 __attribute__((vector_size(16)));

struct CFused {
    const double* l; // operand lanes: l + (offset & lMask); a constant has mask 0
    const double* r;
    std::size_t lMask, rMask;
    double* w; // where the value goes; null when only the next step reads it
    // The operation (+ - * / square: 0..4) times 4 plus the operands' form: bit 0 the left
    // operand is the previous step's value, bit 1 the right one.
    std::uint8_t kind;
};

constexpr std::uint8_t FusedKind(char op, bool lAcc, bool rAcc) {
    const int o = op == '+' ? 0 : op == '-' ? 1 : op == '*' ? 2 : op == '/' ? 3 : 4;
    return static_cast<std::uint8_t>(o * 4 + (lAcc ? 1 : 0) + (rAcc ? 2 : 0));
}

inline V2 Ld(const double* p) {
    V2 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Runs the fused steps over the chunk 16 lanes at a time. The value in flight is eight SSE2
// registers named one by one (an array would live on the stack): enough independent work to
// hide each operation's latency, few enough to leave registers for the operands.
void RunFused(const CFused* f, std::size_t n, std::uint64_t* __restrict fail) {
#define CURVIST_EACH(F) F(0) F(1) F(2) F(3) F(4) F(5) F(6) F(7)
#define CURVIST_L(j) Ld(pl + 2 * j)
#define CURVIST_R(j) Ld(pr + 2 * j)
#define CURVIST_A(j) acc##j
#define CURVIST_FAIL(j, mask)                                                                      \
    {                                                                                              \
        M2 v;                                                                                      \
        std::memcpy(&v, fail + o + 2 * j, sizeof v);                                               \
        v |= (mask);                                                                               \
        std::memcpy(fail + o + 2 * j, &v, sizeof v);                                               \
    }
#define CURVIST_DECL(j) V2 acc##j = {};
#define CURVIST_ST(j) std::memcpy(s->w + o + 2 * j, &acc##j, sizeof(V2));
    for (std::size_t o = 0; o < kChunk; o += kLanes) {
        CURVIST_EACH(CURVIST_DECL)
        for (const CFused* s = f; s != f + n; ++s) {
            const double* const pl = s->l + (o & s->lMask);
            const double* const pr = s->r + (o & s->rMask);
            switch (s->kind) {
            case 0:
#define CURVIST_S(j) acc##j = CURVIST_L(j) + CURVIST_R(j);
                CURVIST_EACH(CURVIST_S)
#undef CURVIST_S
                break;
            case 1:
#define CURVIST_S(j) acc##j = CURVIST_A(j) + CURVIST_R(j);
                CURVIST_EACH(CURVIST_S)
#undef CURVIST_S
                break;
            case 2:
#define CURVIST_S(j) acc##j = CURVIST_L(j) + CURVIST_A(j);
                CURVIST_EACH(CURVIST_S)
#undef CURVIST_S
                break;
            case 3:
#define CURVIST_S(j) acc##j = CURVIST_A(j) + CURVIST_A(j);
                CURVIST_EACH(CURVIST_S)
#undef CURVIST_S
                break;
            case 4:
#define CURVIST_S(j) acc##j = CURVIST_L(j) - CURVIST_R(j);
                CURVIST_EACH(CURVIST_S)
#undef CURVIST_S
                break;
            case 5:
#define CURVIST_S(j) acc##j = CURVIST_A(j) - CURVIST_R(j);
                CURVIST_EACH(CURVIST_S)
#undef CURVIST_S
                break;
            case 6:
#define CURVIST_S(j) acc##j = CURVIST_L(j) - CURVIST_A(j);
                CURVIST_EACH(CURVIST_S)
#undef CURVIST_S
                break;
            case 7:
#define CURVIST_S(j) acc##j = CURVIST_A(j) - CURVIST_A(j);
                CURVIST_EACH(CURVIST_S)
#undef CURVIST_S
                break;
            case 8:
#define CURVIST_S(j) acc##j = CURVIST_L(j) * CURVIST_R(j);
                CURVIST_EACH(CURVIST_S)
#undef CURVIST_S
                break;
            case 9:
#define CURVIST_S(j) acc##j = CURVIST_A(j) * CURVIST_R(j);
                CURVIST_EACH(CURVIST_S)
#undef CURVIST_S
                break;
            case 10:
#define CURVIST_S(j) acc##j = CURVIST_L(j) * CURVIST_A(j);
                CURVIST_EACH(CURVIST_S)
#undef CURVIST_S
                break;
            case 11:
#define CURVIST_S(j) acc##j = CURVIST_A(j) * CURVIST_A(j);
                CURVIST_EACH(CURVIST_S)
#undef CURVIST_S
                break;
            case 12:
#define CURVIST_S(j)                                                                               \
    {                                                                                              \
        const V2 r = CURVIST_R(j);                                                                 \
        CURVIST_FAIL(j, (r == 0.0) | (r != r));                                                    \
        acc##j = CURVIST_L(j) / r;                                                                 \
    }
                CURVIST_EACH(CURVIST_S)
#undef CURVIST_S
                break;
            case 13:
#define CURVIST_S(j)                                                                               \
    {                                                                                              \
        const V2 r = CURVIST_R(j);                                                                 \
        CURVIST_FAIL(j, (r == 0.0) | (r != r));                                                    \
        acc##j = CURVIST_A(j) / r;                                                                 \
    }
                CURVIST_EACH(CURVIST_S)
#undef CURVIST_S
                break;
            case 14:
#define CURVIST_S(j)                                                                               \
    {                                                                                              \
        const V2 r = CURVIST_A(j);                                                                 \
        CURVIST_FAIL(j, (r == 0.0) | (r != r));                                                    \
        acc##j = CURVIST_L(j) / r;                                                                 \
    }
                CURVIST_EACH(CURVIST_S)
#undef CURVIST_S
                break;
            case 15:
#define CURVIST_S(j)                                                                               \
    {                                                                                              \
        const V2 r = CURVIST_A(j);                                                                 \
        CURVIST_FAIL(j, (r == 0.0) | (r != r));                                                    \
        acc##j = CURVIST_A(j) / r;                                                                 \
    }
                CURVIST_EACH(CURVIST_S)
#undef CURVIST_S
                break;
            case 16:
#define CURVIST_S(j)                                                                               \
    {                                                                                              \
        const V2 a = CURVIST_L(j);                                                                 \
        acc##j = a * a;                                                                            \
        CURVIST_FAIL(j, ((acc##j == 0.0) | (acc##j != acc##j)) & ~((a == 0.0) | (a != a)));        \
    }
                CURVIST_EACH(CURVIST_S)
#undef CURVIST_S
                break;
            case 17:
#define CURVIST_S(j)                                                                               \
    {                                                                                              \
        const V2 a = CURVIST_A(j);                                                                 \
        acc##j = a * a;                                                                            \
        CURVIST_FAIL(j, ((acc##j == 0.0) | (acc##j != acc##j)) & ~((a == 0.0) | (a != a)));        \
    }
                CURVIST_EACH(CURVIST_S)
#undef CURVIST_S
                break;
            default:
                __builtin_unreachable(); // FusedKind gives nothing else
            }
            if (s->w) {
                CURVIST_EACH(CURVIST_ST)
            }
        }
    }
#undef CURVIST_ST
#undef CURVIST_DECL
#undef CURVIST_FAIL
#undef CURVIST_A
#undef CURVIST_R
#undef CURVIST_L
#undef CURVIST_EACH
}

// Dispatches a binary kernel on the four combinations of array and constant operands.
template <class K>
inline void WithOperands(const double* la, double lc, const double* ra, double rc, K k) {
    if (la && ra)
        k(CArr{la}, CArr{ra});
    else if (la)
        k(CArr{la}, CConst{rc});
    else if (ra)
        k(CConst{lc}, CArr{ra});
    else
        k(CConst{lc}, CConst{rc});
}

// A function over a chunk: the vector form on an array, the scalar form once on a constant.
inline void Elementary(double* __restrict w, const double* a, double c, vmath::ChunkFn chunk,
                       vmath::ScalarFn one) {
    if (a)
        chunk(a, w, kChunk);
    else
        std::fill(w, w + kChunk, one(c));
}

inline void Reciprocal(double* w) {
    for (std::size_t i = 0; i < kChunk; ++i)
        w[i] = 1.0 / w[i];
}

template <class K> inline void WithOperand(const double* a, double c, K k) {
    if (a)
        k(CArr{a});
    else
        k(CConst{c});
}

} // namespace

void CalcValues(CNodeList& list, const double* xs, double* ys, bool* errs, std::size_t n) {
    CProgram& prog = list.Program();
    if (prog.bVecAllFail) {
        std::fill(ys, ys + n, 0.0);
        std::fill(errs, errs + n, true);
        prog.NoteBatch(xs, errs, n);
        return;
    }
    // Slot storage made once per thread and grown to the longest program seen, so a list costs
    // no scratch memory of its own and evaluation allocates only on its first long program.
    thread_local std::vector<double> slotStore;
    if (slotStore.size() < prog.vecSlots * kChunk) slotStore.resize(prog.vecSlots * kChunk);
    double* const slots = slotStore.data();
    alignas(64) double xPad[kChunk];
    alignas(64) std::uint64_t fail[kChunk]; // lane failed: nonzero
    const bool canFail = prog.bCanFail;
    const auto& code = prog.vec;
    const CProgram::COperandRef result = prog.vecResult;

    for (std::size_t base = 0; base < n; base += kChunk) {
        const std::size_t m = std::min(kChunk, n - base);
        double* const y = ys + base;
        bool* const e = errs + base;
        // Full chunks read x where it lies; a short last one is padded with its last value.
        const double* x = xs + base;
        if (m < kChunk) {
            std::memcpy(xPad, x, m * sizeof(double));
            for (std::size_t i = m; i < kChunk; ++i)
                xPad[i] = xPad[m - 1];
            x = xPad;
        }
        if (canFail && !(prog.bDivideLast && m == kChunk)) std::memset(fail, 0, sizeof fail);
        auto src = [&](const CProgram::COperandRef& r) -> const double* {
            if (r.slot == CProgram::COperandRef::kX) return x;
            if (r.slot >= 0) return slots + static_cast<std::size_t>(r.slot) * kChunk;
            return nullptr;
        };
        const double* out = src(result);
        // A full chunk of a program whose one failing step is its last, a division.
        const bool divideOut = prog.bDivideLast && m == kChunk;
        for (std::size_t k = 0; k < code.size(); ++k) {
            const auto& c = code[k];
            if (c.fused) {
                alignas(64) double consts[2 * kMaxFused][kLanes];
                CFused f[kMaxFused];
                std::size_t nf = 0, nc = 0;
                auto operand = [&](const CProgram::COperandRef& r, const double*& p,
                                   std::size_t& mask) {
                    p = src(r);
                    mask = ~std::size_t{0};
                    if (!p) {
                        std::fill(consts[nc], consts[nc] + kLanes, r.value);
                        p = consts[nc++];
                        mask = 0;
                    }
                };
                for (; k < code.size() && code[k].fused && nf < kMaxFused; ++k, ++nf) {
                    const auto& d = code[k];
                    CFused& g = f[nf];
                    const bool lAcc = nf > 0 && d.leftIsPrev;
                    const bool rAcc = nf > 0 && d.rightIsPrev;
                    g.kind = FusedKind(d.op, lAcc, rAcc);
                    g.l = g.r = consts[0];
                    g.lMask = g.rMask = 0;
                    if (!lAcc) operand(d.left, g.l, g.lMask);
                    if (!rAcc && d.op != '^') operand(d.right, g.r, g.rMask);
                    const bool toY = !canFail && m == kChunk && d.out == result.slot;
                    if (toY) out = y;
                    // The last step of a piece stores its value for the next piece to read.
                    const bool last = nf + 1 == kMaxFused;
                    g.w = toY               ? y
                          : d.store || last ? slots + static_cast<std::size_t>(d.out) * kChunk
                                            : nullptr;
                }
                --k;
                RunFused(f, nf, fail);
                continue;
            }
            const double* la = src(c.left);
            const double* ra = src(c.right);
            const double lc = c.left.value, rc = c.right.value;
            // The step that gives the result of a program that cannot fail writes the output.
            const bool toY = !canFail && m == kChunk && c.out == result.slot;
            double* w = toY ? y : slots + static_cast<std::size_t>(c.out) * kChunk;
            if (toY) out = y;
            switch (c.op) {
            case op::Copy:
                WithOperand(la, lc, [&](auto a) { Unary(w, a, [](double v) { return v; }); });
                break;
            case op::Sin:
                Elementary(w, la, lc, vmath::Fns().sinN, vmath::Fns().sin);
                break;
            case op::Cos:
                Elementary(w, la, lc, vmath::Fns().cosN, vmath::Fns().cos);
                break;
            case op::Tan:
                Elementary(w, la, lc, vmath::Fns().tanN, vmath::Fns().tan);
                break;
            case op::Exp:
                Elementary(w, la, lc, vmath::Fns().expN, vmath::Fns().exp);
                break;
            case op::Ln:
                Elementary(w, la, lc, vmath::Fns().logN, vmath::Fns().log);
                break;
            case op::Cot:
                Elementary(w, la, lc, vmath::Fns().tanN, vmath::Fns().tan);
                Reciprocal(w);
                break;
            case op::Sec:
                Elementary(w, la, lc, vmath::Fns().cosN, vmath::Fns().cos);
                Reciprocal(w);
                break;
            case op::Csc:
                Elementary(w, la, lc, vmath::Fns().sinN, vmath::Fns().sin);
                Reciprocal(w);
                break;
            case '+':
                WithOperands(la, lc, ra, rc, [&](auto a, auto b) {
                    Binary(w, a, b, [](double p, double q) { return p + q; });
                });
                break;
            case '-':
                WithOperands(la, lc, ra, rc, [&](auto a, auto b) {
                    Binary(w, a, b, [](double p, double q) { return p - q; });
                });
                break;
            case '*':
                WithOperands(la, lc, ra, rc, [&](auto a, auto b) {
                    Binary(w, a, b, [](double p, double q) { return p * q; });
                });
                break;
            case '/':
                if (divideOut && &c == &code.back())
                    WithOperands(la, lc, ra, rc, [&](auto a, auto b) { DivideOut(y, e, a, b); });
                else
                    WithOperands(la, lc, ra, rc, [&](auto a, auto b) { Divide(w, fail, a, b); });
                break;
            case '^':
                if (!ra && rc == 2.0)
                    WithOperand(la, lc, [&](auto a) { Square(w, fail, a); });
                else
                    WithOperands(la, lc, ra, rc, [&](auto a, auto b) { PowerAll(w, fail, a, b); });
                break;
            default:
                break; // the derived program holds computing codes only
            }
        }

        if (divideOut) continue;
        if (!canFail) {
            if (!out)
                std::fill(y, y + m, result.value);
            else if (out != y)
                std::memcpy(y, out, m * sizeof(double));
            std::memset(e, 0, m * sizeof(bool));
        } else if (out) {
            for (std::size_t i = 0; i < m; ++i) {
                y[i] = fail[i] ? 0.0 : out[i];
                e[i] = fail[i] != 0;
            }
        } else {
            for (std::size_t i = 0; i < m; ++i) {
                y[i] = fail[i] ? 0.0 : result.value;
                e[i] = fail[i] != 0;
            }
        }
    }
    prog.NoteBatch(xs, errs, n);
}

double CalcValueAfterNoted(CNodeList& list, double x, bool& bEvalError, std::size_t after) {
    CProgram* prog = list.BuiltProgram();
    if (!prog || !prog->history.bBatch) return CalcValue(list, x, bEvalError);
    double y = 0.0;
    bool failed = false;
    std::uint32_t node = 0;
    switch (prog->pointMode) {
    case CProgram::kPointSteps: {
        const CStepsResult r =
            RunRegSteps(prog->pointSteps.data(), prog->pointSteps.data() + prog->pointSteps.size(),
                        prog->pointRegs.data(), x);
        failed = r.failAt != CStepsResult::kNone;
        if (failed)
            node = prog->pointNode[r.failAt];
        else
            y = prog->bPointResultIsLast ? r.y : prog->pointRegs[prog->pointResult];
        break;
    }
    case CProgram::kPointX:
        y = x;
        break;
    case CProgram::kPointConst:
        y = prog->pointConst;
        break;
    default:
        failed = true;
        node = prog->FailNodeAt(x);
        break;
    }
    prog->NoteSampleAfter(after, x, failed, node);
    if (failed) {
        bEvalError = true;
        return 0.0;
    }
    return y;
}
