#pragma once
// The application with mouse helpers for its plot window: QTest presses and releases, moves
// sent as the window system sends them, and the wheel.

#include "AppFixture.h"

#include "EditView.h"
#include "view/CurvistView.h"

#include <QLabel>
#include <QMouseEvent>
#include <QWheelEvent>

class PlotFixture : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        QApplication::processEvents();
    }

    CPlotWindow* Plot() const { return Frame()->PlotWindow(); }
    CCurvistView* View() const { return m_app->m_pPlotView; }
    QPoint Global(QPoint p) const { return Plot()->mapToGlobal(p); }

    void Press(Qt::MouseButton b, QPoint p) {
        QTest::mousePress(Plot(), b, Qt::NoModifier, p);
        m_buttons |= b;
    }
    void Release(Qt::MouseButton b, QPoint p) {
        m_buttons &= ~Qt::MouseButtons(b);
        QTest::mouseRelease(Plot(), b, Qt::NoModifier, p);
    }
    // Queues a move as a burst of window-system events would; Flush() lets it be handled.
    void MoveTo(QPoint p) {
        QMouseEvent ev(QEvent::MouseMove, QPointF(p), QPointF(Global(p)), Qt::NoButton, m_buttons,
                       Qt::NoModifier);
        QApplication::sendEvent(Plot(), &ev);
    }
    void Flush() { QApplication::processEvents(); }
    void Move(QPoint p) {
        MoveTo(p);
        Flush();
    }
    void Wheel(QPoint p, QPoint angle) {
        QWheelEvent ev(QPointF(p), QPointF(Global(p)), QPoint(), angle, Qt::NoButton,
                       Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Plot(), &ev);
    }
    // The default plane of the read-out example: origin (320, 260), 50-pixel cells, 1 unit.
    void PlaceOrigin(int x = 320, int y = 260) {
        EditPlane(*View(), [&](CPlane& p) {
            p.m_nOriginX = x;
            p.m_nOriginY = y;
        });
        Plot()->FullRepaint();
    }
    QString PaneX() const { return Frame()->PaneX()->text(); }
    QString PaneY() const { return Frame()->PaneY()->text(); }
    QString PaneScale() const { return Frame()->PaneScale()->text(); }

    Qt::MouseButtons m_buttons;
};
