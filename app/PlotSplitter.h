#pragma once
// The client area's two columns: the function panel, 200 pixels wide for the whole run, and the
// plot window, which takes the rest. The bar between them never moves.

#include <QMouseEvent>
#include <QSplitter>
#include <QSplitterHandle>

inline constexpr int kPanelWidth = 200;

class CPlotSplitter : public QSplitter {
  public:
    explicit CPlotSplitter(QWidget* pParent = nullptr) : QSplitter(Qt::Horizontal, pParent) {
        setChildrenCollapsible(false);
    }

  protected:
    QSplitterHandle* createHandle() override { return new CFixedHandle(orientation(), this); }

  private:
    // A drag on the bar ends where it starts.
    class CFixedHandle : public QSplitterHandle {
      public:
        CFixedHandle(Qt::Orientation o, QSplitter* pParent) : QSplitterHandle(o, pParent) {
            setCursor(Qt::ArrowCursor);
        }

      protected:
        void mousePressEvent(QMouseEvent* pEvent) override { pEvent->accept(); }
        void mouseMoveEvent(QMouseEvent* pEvent) override { pEvent->accept(); }
        void mouseReleaseEvent(QMouseEvent* pEvent) override { pEvent->accept(); }
    };
};
