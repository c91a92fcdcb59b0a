// A pan frame through the plot window's own mouse path: QTest presses, window-system style
// moves and the zero-timer that handles them, measured with the whole application around it.
//
//   QT_QPA_PLATFORM=offscreen ./build/bin/bench_pan_frame

#include "PlotFixture.h"

#include "app/PlotSplitter.h"

#include <QElapsedTimer>

#include <cstdio>

class PanFrame : public PlotFixture {};

// Not a check: prints the time of one pan frame with 50 curves on a 1920 x 1080 plane, through
// the window's own mouse path, for gentle curves and for steep ones (long vertical runs in
// every column).
TEST_F(PanFrame, Time) {
    const struct {
        const char* name;
        const char* format; // %1: 1..50
    } sets[] = {
        {"gentle", "sin(x/%1+%1)*%1/10+x/%1"},
        {"steep", "sin(x*%1)*5+x/%1"},
    };
    for (const auto& set : sets) {
        Start();
        Frame()->resize(1920 + kPanelWidth, 1200);
        QApplication::processEvents();
        Plot()->resize(1920, 1080);
        QApplication::processEvents();
        ASSERT_EQ(Plot()->size(), QSize(1920, 1080));
        for (int i = 1; i <= 50; ++i)
            AddFunction(QString::fromLatin1(set.format).arg(i).toUtf8().constData());
        ASSERT_EQ(Rows(), 50);
        PlaceOrigin(960, 540);
        Trigger(ID_REAL_MOVE);
        Press(Qt::LeftButton, {960, 540});
        const int nFrames = 200;
        QElapsedTimer timer;
        timer.start();
        for (int i = 1; i <= nFrames; ++i)
            Move({960 + i % 40, 540 + i % 30});
        const double ms = timer.nsecsElapsed() / 1e6 / nFrames;
        Release(Qt::LeftButton, {960, 540});
        std::printf("pan frame, 50 %s curves, 1920x1080: %.2f ms\n", set.name, ms);
    }
}
