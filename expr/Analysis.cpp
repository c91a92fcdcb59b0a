#include "expr/Analysis.h"

#include "expr/DerivEval.h"
#include "expr/IntervalEval.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <utility>

namespace {

// Below this width (relative, absolute below 1) a range the intervals cannot settle is a
// candidate point rather than split again: far finer than the 1e-12 the answers promise.
constexpr double kMinWidth = 1e-13;

struct CEnclosure {
    CInterval y, dy;
    bool bHasSlope = false;
    bool bMayFail = false;
    bool bAllFail = false;
};

using EnclosureFn = std::function<CEnclosure(double, double)>;
using PointFn = std::function<std::optional<double>(double)>; // nullopt where undefined

// Halfway, also where hi - lo overflows.
double Mid(double lo, double hi) {
    const double w = hi - lo;
    return std::isfinite(w) ? lo + w / 2 : lo / 2 + hi / 2;
}

int Sign(std::optional<double> v) {
    if (!v || std::isnan(*v)) return 0;
    return *v > 0 ? 1 : *v < 0 ? -1 : 0;
}

struct CFound {
    double x = 0.0, x2 = 0.0;
    bool bWhole = false;
    bool bCertified = true;
    int signLeft = 0, signRight = 0; // of the function just left and right of x
};

// The zeros of one function over a range, left to right.
class CZeroSearch {
  public:
    CZeroSearch(EnclosureFn enc, PointFn pt, const CAnalysisLimits& lim)
        : m_enc(std::move(enc)), m_pt(std::move(pt)), m_lim(lim) {}

    void Run(double a, double b) {
        std::vector<std::pair<double, double>> todo{{a, b}};
        while (!todo.empty()) {
            if (m_found.size() > m_lim.maxPoints) break;
            if (++m_work > m_lim.maxWork ||
                (m_lim.pCancel && m_lim.pCancel->load(std::memory_order_relaxed))) {
                m_bIncomplete = true;
                break;
            }
            const auto [lo, hi] = todo.back();
            todo.pop_back();
            const double mid = Mid(lo, hi);
            if (Settle(lo, hi, mid)) continue;
            todo.emplace_back(mid, hi);
            todo.emplace_back(lo, mid);
        }
        CloseCluster();
        if (m_found.size() > m_lim.maxPoints) {
            m_found.resize(m_lim.maxPoints);
            m_bTruncated = true;
        }
    }

    std::vector<CFound> m_found;
    bool m_bTruncated = false, m_bIncomplete = false;

  private:
    // True when [lo, hi] needs no further split.
    bool Settle(double lo, double hi, double mid) {
        const CEnclosure e = m_enc(lo, hi);
        if (e.bAllFail || !e.y.HasReals() || e.y.lo > 0 || e.y.hi < 0) { // no value is zero
            CloseCluster();
            return true;
        }
        const bool bounded = std::isfinite(e.y.lo) && std::isfinite(e.y.hi);
        if (!e.bMayFail && bounded && !e.y.nan) {
            // Exact zeros come back widened by the outward rounding to the smallest doubles.
            if (IsZero(e.y)) {
                Whole(lo, hi);
                return true;
            }
            const bool slope = e.bHasSlope && !e.dy.nan;
            if (slope && IsZero(e.dy)) { // constant on the range
                if (m_pt(mid) == 0.0)
                    Whole(lo, hi);
                else
                    CloseCluster();
                return true;
            }
            // Defined, bounded and monotone: one zero at most, where the ends differ in sign.
            if (slope && (e.dy.lo > 0 || e.dy.hi < 0)) {
                const int sl = SureSign(lo), sh = SureSign(hi);
                if (sl != 0 && sh != 0) {
                    CloseCluster();
                    if (sl != sh) Refine(lo, hi, true);
                } else { // a value too near zero to tell: settled with its neighbours
                    Candidate(lo, hi, false);
                }
                return true;
            }
        }
        const double scale = std::max({1.0, std::fabs(lo), std::fabs(hi)});
        if (hi - lo > kMinWidth * scale && mid > lo && mid < hi) return false;
        // Too narrow to split: a pole is no zero; anything else is a candidate.
        if (!bounded)
            CloseCluster();
        else
            Candidate(lo, hi, e.bMayFail || e.y.nan);
        return true;
    }

    static bool IsZero(const CInterval& v) {
        return !v.nan && std::fabs(v.lo) <= DBL_MIN && std::fabs(v.hi) <= DBL_MIN;
    }

    // The sign of the exact value at x where the enclosure proves it, else 0.
    int SureSign(double x) {
        const CEnclosure e = m_enc(x, x);
        if (e.bAllFail || e.bMayFail || e.y.nan || !e.y.HasReals()) return 0;
        return e.y.lo > 0 ? 1 : e.y.hi < 0 ? -1 : 0;
    }

    void Candidate(double lo, double hi, bool mayFail) {
        if (m_bCluster && m_clusterHi == lo) {
            m_clusterHi = hi;
        } else {
            CloseCluster();
            m_bCluster = true;
            m_clusterLo = lo;
            m_clusterHi = hi;
            m_bClusterMayFail = false;
        }
        m_bClusterMayFail = m_bClusterMayFail || mayFail;
    }

    // The zero between lo and hi, whose values differ in sign, by bisection to the last bit.
    // Where the range may fail, a sign change may be a jump across the failure (x/|x| at 0):
    // nullopt unless the values close in on zero.
    std::optional<double> Bisect(double lo, double hi, bool mayJump) {
        std::optional<double> vlo = m_pt(lo), vhi = m_pt(hi);
        const int sl = Sign(vlo);
        const double scale = std::max(std::fabs(vlo.value_or(0)), std::fabs(vhi.value_or(0)));
        for (int i = 0; i < 2200; ++i) { // a bracket around a tiny zero halves down to it
            const double m = Mid(lo, hi);
            if (m <= lo || m >= hi) break;
            const std::optional<double> vm = m_pt(m);
            const int sm = Sign(vm);
            if (sm == 0) {
                if (vm && *vm == 0.0) return m;
                break; // a failure inside
            }
            if (sm == sl)
                lo = m, vlo = vm;
            else
                hi = m, vhi = vm;
        }
        if (!vlo || !vhi) return std::nullopt;
        const double least = std::min(std::fabs(*vlo), std::fabs(*vhi));
        // A crossing ends within rounding of zero: sin near pi stops at 1e-16, not at 0.
        if (mayJump && !(least <= 1e-2 * scale)) return std::nullopt;
        return std::fabs(*vlo) <= std::fabs(*vhi) ? lo : hi;
    }

    void Refine(double lo, double hi, bool certified) {
        const int sl = Sign(m_pt(lo)), sh = Sign(m_pt(hi));
        if (const std::optional<double> x = Bisect(lo, hi, !certified))
            Add({*x, *x, false, certified, sl, sh});
    }

    // A run of narrow ranges that may hold a zero. A sign change across it is a zero (the
    // function is continuous there), certified unless some x in it may fail; with no sign
    // change, the point nearest zero is an uncertified zero.
    void CloseCluster() {
        if (!m_bCluster) return;
        m_bCluster = false;
        const double lo = m_clusterLo, hi = m_clusterHi;
        const std::optional<double> vlo = m_pt(lo), vhi = m_pt(hi);
        const int sl = Sign(vlo), sh = Sign(vhi);
        if (sl != 0 && sh != 0 && sl != sh) return Refine(lo, hi, !m_bClusterMayFail);
        double best = Mid(lo, hi);
        std::optional<double> vbest = m_pt(best);
        std::vector<std::pair<double, std::optional<double>>> samples{{lo, vlo}, {hi, vhi}};
        if (lo < 0 && hi > 0) samples.emplace_back(0.0, m_pt(0.0));
        for (auto [x, v] : samples)
            if (v && (!vbest || std::fabs(*v) < std::fabs(*vbest))) best = x, vbest = v;
        if (!vbest) return;
        // Rounding leaves a plateau of equally small values: the shortest number on it, as
        // the touching zero of (x^2-1)^2 is 1, not 1 - 4e-9.
        for (int digits = 1; digits <= 17 && *vbest != 0.0; ++digits) {
            char text[40];
            std::snprintf(text, sizeof text, "%.*g", digits, best);
            const double r = std::strtod(text, nullptr);
            if (r < lo || r > hi) continue;
            const std::optional<double> v = m_pt(r);
            if (v && std::fabs(*v) <= std::fabs(*vbest)) {
                best = r, vbest = v;
                break;
            }
        }
        Add({best, best, false, false, sl, sh});
    }

    void Whole(double lo, double hi) {
        CloseCluster();
        if (!m_found.empty() && m_found.back().bWhole && m_found.back().x2 >= lo) {
            m_found.back().x2 = hi;
            return;
        }
        while (!m_found.empty() && m_found.back().x >= lo) // its end found on its own
            m_found.pop_back();
        m_found.push_back({lo, hi, true, true, 0, 0});
    }

    void Add(const CFound& f) {
        if (!m_found.empty()) {
            const CFound& last = m_found.back();
            const double tol = 1e-12 * std::max(1.0, std::fabs(f.x));
            if (f.x <= last.x2 + tol) return; // the end of the previous range, found again
        }
        m_found.push_back(f);
    }

    EnclosureFn m_enc;
    PointFn m_pt;
    CAnalysisLimits m_lim;
    std::size_t m_work = 0;
    bool m_bCluster = false, m_bClusterMayFail = false;
    double m_clusterLo = 0.0, m_clusterHi = 0.0;
};

CAnalysisResult Collect(const CZeroSearch& s, EPointKind kind, const PointFn& value) {
    CAnalysisResult r;
    r.bTruncated = s.m_bTruncated;
    r.bIncomplete = s.m_bIncomplete;
    for (const CFound& f : s.m_found) {
        CPointOfInterest p{kind, f.x, f.x2, 0.0, f.bCertified};
        if (value) p.y = value(f.x).value_or(std::nan(""));
        r.points.push_back(p);
    }
    return r;
}

std::optional<double> ValueAt(CNodeList& f, double x) {
    const std::optional<CSlope> s = EvalSlope(f, x);
    if (!s) return std::nullopt;
    return s->y;
}

} // namespace

CAnalysisResult FindZeros(CNodeList& f, double a, double b, const CAnalysisLimits& lim) {
    CZeroSearch s(
        [&f](double lo, double hi) {
            const CSlopeInterval r = EvalSlopeInterval(f, lo, hi);
            return CEnclosure{r.y, r.dy, true, r.bMayFail, r.bAllFail};
        },
        [&f](double x) { return ValueAt(f, x); }, lim);
    s.Run(a, b);
    return Collect(s, EPointKind::Zero, nullptr);
}

CAnalysisResult FindExtrema(CNodeList& f, double a, double b, const CAnalysisLimits& lim) {
    // The zeros of the slope, where it changes sign. The maxPoints limit applies to the
    // extrema, so the slope's zeros are not cut short.
    CAnalysisLimits slopeLim = lim;
    slopeLim.maxPoints = lim.maxPoints * 2 + 2;
    CZeroSearch s(
        [&f](double lo, double hi) {
            const CSlopeInterval r = EvalSlopeInterval(f, lo, hi);
            return CEnclosure{r.dy, {}, false, r.bMayFail, r.bAllFail};
        },
        [&f](double x) -> std::optional<double> {
            const std::optional<CSlope> s = EvalSlope(f, x);
            if (!s || !std::isfinite(s->dy)) return std::nullopt;
            return s->dy;
        },
        slopeLim);
    s.Run(a, b);
    CAnalysisResult r;
    r.bIncomplete = s.m_bIncomplete;
    r.bTruncated = s.m_bTruncated;
    for (const CFound& z : s.m_found) {
        if (z.bWhole || z.signLeft == z.signRight || z.signLeft == 0 || z.signRight == 0) continue;
        const std::optional<double> y = ValueAt(f, z.x);
        if (!y || !std::isfinite(*y)) continue;
        if (r.points.size() == lim.maxPoints) {
            r.bTruncated = true;
            break;
        }
        const EPointKind kind = z.signLeft < 0 ? EPointKind::Min : EPointKind::Max;
        r.points.push_back({kind, z.x, z.x, *y, z.bCertified});
    }
    return r;
}

CAnalysisResult FindIntersections(CNodeList& f, CNodeList& g, double a, double b,
                                  const CAnalysisLimits& lim) {
    CZeroSearch s(
        [&f, &g](double lo, double hi) {
            const CSlopeInterval rf = EvalSlopeInterval(f, lo, hi);
            const CSlopeInterval rg = EvalSlopeInterval(g, lo, hi);
            CEnclosure e;
            e.bAllFail = rf.bAllFail || rg.bAllFail;
            if (e.bAllFail) return e;
            e.y = ival::Add(rf.y, ival::Neg(rg.y));
            e.dy = ival::Add(rf.dy, ival::Neg(rg.dy));
            e.bHasSlope = true;
            e.bMayFail = rf.bMayFail || rg.bMayFail;
            return e;
        },
        [&f, &g](double x) -> std::optional<double> {
            const std::optional<double> fy = ValueAt(f, x), gy = ValueAt(g, x);
            if (!fy || !gy) return std::nullopt;
            return *fy - *gy;
        },
        lim);
    s.Run(a, b);
    return Collect(s, EPointKind::Intersection, [&f](double x) { return ValueAt(f, x); });
}
