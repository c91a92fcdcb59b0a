// A pan frame as the plot window does it: the in-place redraw into the window's back buffer
// (erase the scene, move the origin, draw it anew) and presenting the buffer (the window's
// paint event, a QPainter blit of the QImage into the window's backing store). Offscreen, at
// 1920x1080 and 3840x2160, with the view's shared painter and with the plain serial order.
//
//   QT_QPA_PLATFORM=offscreen ./build/bin/bench_window

#include "app/PlotWindow.h"
#include "expr/FunCompiler.h"
#include "view/CurvistView.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

// The curves of bench_plot: trigonometric, rational, logarithmic and polynomial.
const char* const kBase[] = {"sin(x)",    "cos(2*x)+0.5",  "tan(x)",
                             "1/(x^2+1)", "(x^2-1)/(x-2)", "ln(x^2+1)",
                             "ln(x)",     "x^3-3*x",       "0.1*x^4-x^2+2"};

enum EWhat { kShared, kSerial, kPresentOnly };

void PanFrame(benchmark::State& st, EWhat what) {
    const bool serial = what == kSerial;
    const int nCurves = static_cast<int>(st.range(0)), w = static_cast<int>(st.range(1)),
              h = static_cast<int>(st.range(2));
    CCurvistDoc doc;
    CCurvistView view("/nonexistent/VisParam.ini");
    view.SetDocument(&doc);
    if (serial) view.Renderer().SetDrawThreads(0);
    for (int i = 0; i < nCurves; ++i) {
        const std::string text = std::string(kBase[i % 9]) + "+" + std::to_string(0.25 * (i / 9));
        auto f = std::make_unique<CDataFun>();
        f->SetFunction(text, std::move(CheckFunText(text).pNodes));
        f->m_clrFun = RGB(i * 5, 255 - i * 5, 128);
        doc.AppendFunction(std::move(f));
    }
    CPlotWindow plot(&doc, &view);
    plot.resize(w, h);
    plot.show();
    QApplication::processEvents();
    if (plot.size() != QSize(w, h)) {
        st.SkipWithError("the window did not take the size asked for");
        return;
    }
    plot.FullRepaint();
    view.SetOriginPlace(0); // at the centre of the final size, as bench_plot's scenes have it
    plot.repaint();
    int step = 7;
    for (auto _ : st) {
        if (what != kPresentOnly) {
            view.MoveOrigin(step, 0);
        }
        plot.repaint(); // the paint event now, not at the next turn of the event loop
        step = -step;
    }
}

void Args(benchmark::internal::Benchmark* b) {
    b->ArgNames({"curves", "w", "h"})->Unit(benchmark::kMillisecond)->UseRealTime();
    for (int n : {9, 50})
        for (auto [w, h] : {std::pair{1920, 1080}, std::pair{3840, 2160}})
            b->Args({n, w, h});
}

BENCHMARK_CAPTURE(PanFrame, shared, kShared)->Apply(Args);
BENCHMARK_CAPTURE(PanFrame, serial, kSerial)->Apply(Args);
BENCHMARK_CAPTURE(PanFrame, present_only, kPresentOnly)->Apply(Args);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
