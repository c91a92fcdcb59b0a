// Evaluation speed: our node lists (per point and batch) beside native C++ and muparser.
//
//   ./build/bin/bench_eval [--benchmark_repetitions=5]
//
// After the usual table it prints each engine's time as a ratio to native code, per
// expression and as a geometric mean, all from the same run.

#include "expr/CalcValue.h"
#include "expr/FunCompiler.h"

#include <benchmark/benchmark.h>
#include <muParser.h>
#include <omp.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kPoints = 4000;

std::string Chain26() {
    // 13 products joined by 12 alternating sums, then +1: 26 operations.
    std::string s = "x*x";
    for (int i = 1; i < 13; ++i)
        s += (i % 2 ? "+" : "-") + std::string("x*x");
    return s + "+1";
}

inline double NativeChain(double x) {
    return x * x + x * x - x * x + x * x - x * x + x * x - x * x + x * x - x * x + x * x - x * x +
           x * x - x * x + 1;
}

struct CExpr {
    std::string name;
    std::string ours;
    std::string muparser;
    void (*native)(benchmark::State&); // the same function as a lambda the compiler inlines
};

std::vector<double> Xs();

template <class F> void NativeLoop(benchmark::State& st, F f) {
    const auto xs = Xs();
    std::vector<double> ys(kPoints);
    for (auto _ : st) {
        for (int i = 0; i < kPoints; ++i)
            ys[i] = f(xs[i]);
        benchmark::DoNotOptimize(ys.data());
        benchmark::ClobberMemory();
    }
}

const std::vector<CExpr>& Exprs() {
    static const std::vector<CExpr> v = {
        {"x", "x", "x", [](benchmark::State& st) { NativeLoop(st, [](double x) { return x; }); }},
        {"sin(x)+1", "sin(x)+1", "sin(x)+1",
         [](benchmark::State& st) { NativeLoop(st, [](double x) { return std::sin(x) + 1; }); }},
        {"sin(x)+2*x^2", "sin(x)+2*x^2", "sin(x)+2*x^2",
         [](benchmark::State& st) {
             NativeLoop(st, [](double x) { return std::sin(x) + 2 * std::pow(x, 2.0); });
         }},
        {"1/x", "1/x", "1/x",
         [](benchmark::State& st) { NativeLoop(st, [](double x) { return 1 / x; }); }},
        {"lnx*cosx/(1+x^2)", "lnx*cosx/(1+x^2)", "ln(x)*cos(x)/(1+x^2)",
         [](benchmark::State& st) {
             NativeLoop(
                 st, [](double x) { return std::log(x) * std::cos(x) / (1 + std::pow(x, 2.0)); });
         }},
        {"chain26", Chain26(), Chain26(),
         [](benchmark::State& st) { NativeLoop(st, NativeChain); }},
    };
    return v;
}

std::vector<double> Xs() {
    std::vector<double> xs(kPoints);
    for (int i = 0; i < kPoints; ++i)
        xs[i] = -10.0 + 20.0 * i / (kPoints - 1);
    return xs;
}

void Native(benchmark::State& st, const CExpr* e) {
    e->native(st);
}

void OursPerPoint(benchmark::State& st, const CExpr* e) {
    const auto xs = Xs();
    std::vector<double> ys(kPoints);
    CFunCheck c = CheckFunText(e->ours);
    for (auto _ : st) {
        for (int i = 0; i < kPoints; ++i) {
            bool err = false;
            ys[i] = CalcValue(*c.pNodes, xs[i], err);
            benchmark::DoNotOptimize(err);
        }
        benchmark::DoNotOptimize(ys.data());
        benchmark::ClobberMemory();
    }
}

void OursBatch(benchmark::State& st, const CExpr* e) {
    const auto xs = Xs();
    std::vector<double> ys(kPoints);
    std::unique_ptr<bool[]> errs(new bool[kPoints]);
    CFunCheck c = CheckFunText(e->ours);
    for (auto _ : st) {
        CalcValues(*c.pNodes, xs.data(), ys.data(), errs.get(), kPoints);
        benchmark::DoNotOptimize(ys.data());
        benchmark::ClobberMemory();
    }
}

void MuPerPoint(benchmark::State& st, const CExpr* e) {
    const auto xs = Xs();
    std::vector<double> ys(kPoints);
    double x = 0;
    mu::Parser p;
    p.DefineVar("x", &x);
    p.SetExpr(e->muparser);
    p.Eval();
    for (auto _ : st) {
        for (int i = 0; i < kPoints; ++i) {
            x = xs[i];
            ys[i] = p.Eval();
        }
        benchmark::DoNotOptimize(ys.data());
        benchmark::ClobberMemory();
    }
}

void MuBulk(benchmark::State& st, const CExpr* e) {
    auto xs = Xs();
    std::vector<double> ys(kPoints);
    mu::Parser p;
    p.DefineVar("x", xs.data());
    p.SetExpr(e->muparser);
    p.Eval(ys.data(), kPoints);
    for (auto _ : st) {
        p.Eval(ys.data(), kPoints);
        benchmark::DoNotOptimize(ys.data());
        benchmark::ClobberMemory();
    }
}

// Collects the per-iteration CPU times (a busy machine stretches the wall-clock ones by its
// other work) so the ratios can be printed after the table. With
// --benchmark_repetitions each benchmark keeps its fastest repetition: on a shared machine the
// slower ones measure the neighbours.
class CRatioReporter : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, double> times;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& r : runs) {
            if (r.run_type == Run::RT_Aggregate) continue;
            const std::string name = r.run_name.str();
            const double t = r.GetAdjustedCPUTime();
            const auto it = times.find(name);
            if (it == times.end() || t < it->second) times[name] = t;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv) {
    omp_set_num_threads(1); // compare single-threaded engines
    const char* engines[] = {"native", "ours_point", "ours_batch", "muparser_point",
                             "muparser_bulk"};
    void (*fns[])(benchmark::State&, const CExpr*) = {Native, OursPerPoint, OursBatch, MuPerPoint,
                                                      MuBulk};
    for (const auto& e : Exprs())
        for (int k = 0; k < 5; ++k)
            benchmark::RegisterBenchmark((std::string(engines[k]) + "/" + e.name).c_str(), fns[k],
                                         &e);
    benchmark::Initialize(&argc, argv);
    CRatioReporter rep;
    benchmark::RunSpecifiedBenchmarks(&rep);

    std::printf("\nRatios (time / native time), %d points over [-10, 10]:\n", kPoints);
    std::printf("%-18s %11s %11s %11s %11s   %s\n", "expression", "ours_point", "ours_batch",
                "mu_point", "mu_bulk", "ns/point native");
    double logSum[5] = {};
    double muOverPoint = 0, muOverBatch = 0;
    int n = 0;
    for (const auto& e : Exprs()) {
        double t[5];
        bool all = true;
        for (int k = 0; k < 5; ++k) {
            auto it = rep.times.find(std::string(engines[k]) + "/" + e.name);
            if (it == rep.times.end())
                all = false;
            else
                t[k] = it->second;
        }
        if (!all) continue;
        std::printf("%-18s %11.2f %11.2f %11.2f %11.2f   %.2f\n", e.name.c_str(), t[1] / t[0],
                    t[2] / t[0], t[3] / t[0], t[4] / t[0], t[0] / kPoints);
        for (int k = 0; k < 5; ++k)
            logSum[k] += std::log(t[k] / t[0]);
        muOverPoint += std::log(t[3] / t[1]);
        muOverBatch += std::log(t[4] / t[2]);
        ++n;
    }
    if (n > 0) {
        std::printf("%-18s %11.2f %11.2f %11.2f %11.2f\n", "geometric mean",
                    std::exp(logSum[1] / n), std::exp(logSum[2] / n), std::exp(logSum[3] / n),
                    std::exp(logSum[4] / n));
        std::printf("muparser per-point / ours per-point (geo mean): %.2fx\n",
                    std::exp(muOverPoint / n));
        std::printf("muparser bulk / ours batch (geo mean):          %.2fx\n",
                    std::exp(muOverBatch / n));
    }
    return 0;
}
