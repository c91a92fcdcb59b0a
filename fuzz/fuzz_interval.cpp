// The interval and slope evaluators enclose what the per-point evaluator gives: an input is
// "LO HI EXPR"; every sampled x of [LO, HI] either fails where the range says it may, or gives
// a value (and a slope) inside the range's intervals.
#include "expr/CalcValue.h"
#include "expr/DerivEval.h"
#include "expr/FunCompiler.h"
#include "expr/IntervalEval.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) return 0;
    const std::string in(reinterpret_cast<const char*>(data), size);
    const char* p = in.c_str();
    char* end = nullptr;
    double lo = std::strtod(p, &end);
    if (end == p) return 0;
    p = end;
    double hi = std::strtod(p, &end);
    if (end == p || std::isnan(lo) || std::isnan(hi)) return 0;
    while (*end == ' ')
        ++end;
    if (lo > hi) std::swap(lo, hi);
    CFunCheck r = CheckFunText(std::string(end));
    if (r.status != EFunCheck::Ok || !r.pNodes) return 0;
    CNodeList& list = *r.pNodes;
    const CIntervalResult iv = EvalInterval(list, lo, hi);
    const CSlopeInterval sv = EvalSlopeInterval(list, lo, hi);
    constexpr int kSamples = 33;
    for (int k = 0; k <= kSamples + 1; ++k) {
        double x = k == kSamples       ? std::nextafter(lo, hi)
                   : k == kSamples + 1 ? std::nextafter(hi, lo)
                                       : lo + (hi - lo) / (kSamples - 1) * k;
        if (!(x >= lo && x <= hi)) x = k % 2 ? hi : lo; // an overflowing width
        bool err = false;
        const double y = CalcValue(list, x, err);
        const auto s = EvalSlope(list, x);
        Check(err == !s);
        if (err) {
            Check(iv.bMayFail && sv.bMayFail);
            continue;
        }
        Check(!iv.bAllFail && !sv.bAllFail);
        Check(iv.y.Contains(y) && sv.y.Contains(y));
        Check(sv.dy.Contains(s->dy));
    }
    return 0;
}
