// Plot repaint and pan frame on the raster Dc: the view with node lists, side by side with a
// lower bound that runs the same passes with native C++ functions in place of node lists.
//
//   Repaint: background fill, then OnDraw.
//   Pan:     RedrawAll(false), origin moved 7 px, RedrawAll(true).
// "nodes" replays a curve's polyline when its inputs are unchanged (a repaint of an unchanged
// plane, the erase pass of a pan); "nodes_nocache" evaluates every pass.

#include "expr/FunCompiler.h"
#include "platform/RasterDc.h"
#include "view/CurvistView.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace {

using NativeFn = double (*)(double);

enum EMode { kNodes, kNodesNoCache, kNodesOneThread, kNodesSerial, kNative };

// Trigonometric, rational, logarithmic and polynomial; curve i adds 0.25 * (i / 9).
const struct {
    const char* text;
    NativeFn fn;
} kBase[] = {
    {"sin(x)", [](double x) { return std::sin(x); }},
    {"cos(2*x)+0.5", [](double x) { return std::cos(2 * x) + 0.5; }},
    {"tan(x)", [](double x) { return std::tan(x); }},
    {"1/(x^2+1)", [](double x) { return 1 / (x * x + 1); }},
    {"(x^2-1)/(x-2)", [](double x) { return (x * x - 1) / (x - 2); }},
    {"ln(x^2+1)", [](double x) { return std::log(x * x + 1); }},
    {"ln(x)", [](double x) { return std::log(x); }},
    {"x^3-3*x", [](double x) { return x * x * x - 3 * x; }},
    {"0.1*x^4-x^2+2", [](double x) { return 0.1 * (x * x * x * x) - x * x + 2; }},
};

struct CNative {
    NativeFn fn;
    double add;
    COLORREF clr;
};

struct CBenchScene {
    std::vector<std::uint32_t> bits;
    RasterDc dc;
    CCurvistDoc doc;
    CSurfaceHost host;
    CCurvistView view;
    std::vector<CNative> native;

    CBenchScene(int nCurves, int w, int h, EMode mode)
        : bits(static_cast<std::size_t>(w) * static_cast<std::size_t>(h)),
          dc(bits.data(), w, h, w, nullptr), view("/nonexistent/VisParam.ini") {
        host.dc = &dc;
        host.size = {w, h};
        view.SetDocument(&doc);
        view.SetHost(&host);
        view.OnSize(0, w, h);
        view.Renderer().EnableCurveCache(mode != kNodesNoCache);
        if (mode == kNodesOneThread) view.Renderer().SetDrawThreads(1);
        if (mode == kNodesSerial) view.Renderer().SetDrawThreads(0);
        for (int i = 0; i < nCurves; ++i) {
            const auto& b = kBase[i % 9];
            const double add = 0.25 * (i / 9);
            const std::string text = std::string(b.text) + "+" + std::to_string(add);
            CFunCheck c = CheckFunText(text);
            auto f = std::make_unique<CDataFun>();
            f->SetFunction(text, std::move(c.pNodes));
            const COLORREF clr = RGB(i * 5, 255 - i * 5, 128);
            f->m_clrFun = clr;
            doc.AppendFunction(std::move(f));
            native.push_back({b.fn, add, clr});
        }
        view.FullRepaint(dc); // places the origin at the centre
    }

    // The curve pass with a native function: the same columns, rules and Dc calls.
    void NativeCurve(const CNative& n, bool bDraw) {
        const COLORREF old = dc.SelectPen(bDraw ? n.clr : view.Style().m_clrBack);
        const int W = host.size.cx, H = host.size.cy;
        auto f = [&](double x) { return n.fn(x) + n.add; };
        int row = 10;
        std::int64_t prev = 0;
        bool hasPrev = false, penUp = true, first = true;
        for (int x = -2; x < W; ++x) {
            const double wx = view.ColToWorldX(x);
            const double y = f(wx);
            if (y > 1e9) {
                dc.MoveTo(x, 0), penUp = true, prev = -2000000000, hasPrev = true;
                continue;
            }
            if (!(y >= -1e9)) {
                dc.MoveTo(x, H), penUp = true, prev = 2000000000, hasPrev = true;
                continue;
            }
            const double r = view.WorldYToRow(y);
            if (!(r <= 2e9)) {
                dc.MoveTo(x, H), penUp = true, prev = 2000000000, hasPrev = true;
                continue;
            }
            if (r < -2e9) {
                dc.MoveTo(x, 0), penUp = true, prev = -2000000000, hasPrev = true;
                continue;
            }
            row = CSceneRenderer::RoundRow(r);
            if (hasPrev && ((row < 0 && prev > H) || (row > H && prev < 0))) {
                dc.MoveTo(x, row), prev = row;
                continue;
            }
            if (first) {
                first = false;
            } else if (const std::int64_t d = row - prev; d > 50 || d < -50) {
                const double y2 = f(view.ColToWorldX(x - 0.5));
                const double row2 = std::trunc(
                    view.Plane().m_nOriginY - (view.Plane().m_nCellH * y2) / view.Plane().m_dUnitY);
                if (!(row2 >= std::min<std::int64_t>(row, prev) &&
                      row2 <= std::max<std::int64_t>(row, prev))) {
                    if (!penUp) dc.LineTo(x - 1, row < prev ? H : 0);
                    dc.MoveTo(x, row < prev ? 0 : H);
                    prev = row, hasPrev = true;
                    continue;
                }
            }
            if (penUp)
                dc.MoveTo(x, row), penUp = false;
            else
                dc.LineTo(x, std::min(row, 10000));
            prev = row, hasPrev = true;
        }
        dc.SelectPen(old);
    }

    void NativeScene(bool bDraw) {
        const ::CScene scene = view.Scene();
        CSceneRenderer::DrawGrid(dc, scene, bDraw ? scene.style.m_clrGrid : scene.style.m_clrBack);
        CSceneRenderer::DrawAxes(dc, scene, bDraw ? scene.style.m_clrAxis : scene.style.m_clrBack);
        for (const CNative& n : native)
            NativeCurve(n, bDraw);
        CSceneRenderer::DrawScale(dc, scene,
                                  bDraw ? scene.style.m_clrScale : scene.style.m_clrBack);
    }
};

void Repaint(benchmark::State& st, EMode mode) {
    CBenchScene s(static_cast<int>(st.range(0)), static_cast<int>(st.range(1)),
                  static_cast<int>(st.range(2)), mode);
    for (auto _ : st) {
        s.view.OnEraseBkgnd(s.dc);
        if (mode == kNative)
            s.NativeScene(true);
        else
            s.view.OnDraw(s.dc);
        benchmark::DoNotOptimize(s.bits.data());
    }
}

void Pan(benchmark::State& st, EMode mode) {
    CBenchScene s(static_cast<int>(st.range(0)), static_cast<int>(st.range(1)),
                  static_cast<int>(st.range(2)), mode);
    int step = 7;
    for (auto _ : st) {
        if (mode == kNative) {
            s.NativeScene(false);
            CPlane plane = s.view.Plane();
            plane.MoveOrigin(step, 0);
            s.view.SetPlane(plane);
            s.NativeScene(true);
        } else {
            s.view.MoveOrigin(step, 0);
        }
        step = -step; // back and forth, so the plane stays put
        benchmark::DoNotOptimize(s.bits.data());
    }
}

void Args(benchmark::internal::Benchmark* b) {
    b->ArgNames({"curves", "w", "h"})->Unit(benchmark::kMillisecond);
    for (int n : {9, 50})
        for (auto [w, h] : {std::pair{1920, 1080}, std::pair{3840, 2160}})
            b->Args({n, w, h});
}

BENCHMARK_CAPTURE(Repaint, nodes, kNodes)->Apply(Args);
BENCHMARK_CAPTURE(Repaint, nodes_nocache, kNodesNoCache)->Apply(Args);
BENCHMARK_CAPTURE(Repaint, native, kNative)->Apply(Args);
BENCHMARK_CAPTURE(Pan, nodes, kNodes)->Apply(Args);
BENCHMARK_CAPTURE(Pan, nodes_nocache, kNodesNoCache)->Apply(Args);
BENCHMARK_CAPTURE(Pan, nodes_1thread, kNodesOneThread)->Apply(Args);
BENCHMARK_CAPTURE(Pan, nodes_serial, kNodesSerial)->Apply(Args);
BENCHMARK_CAPTURE(Pan, native, kNative)->Apply(Args);

} // namespace

BENCHMARK_MAIN();
