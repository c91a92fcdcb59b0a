#pragma once
// The function list: one row per function, a swatch in the function's colour (white when the
// function is hidden) and the row text wrapped over as many lines as it needs.

#include "platform/Dc.h"

#include <QListWidget>
#include <QStyledItemDelegate>

struct CFunItem {
    bool m_bShow = true;
    COLORREF m_clr = 0;
};

class CColorListBox : public QListWidget {
    Q_OBJECT
  public:
    explicit CColorListBox(QWidget* pParent = nullptr);

    // Inserts a row at nIndex (-1 = at the end). The caller passes the full row text, which
    // for the function panel is "Y=" followed by the expression.
    void AddItem(const QString& text, bool bShow, COLORREF clr, int nIndex = -1);
    // Out-of-range indices do nothing.
    void DeleteItem(int nIndex);
    // Both select the row they change and repaint; out-of-range indices do nothing.
    void SetItemShow(int nIndex, bool bShow);
    void SetItemColor(int nIndex, COLORREF clr);
    CFunItem GetFunItem(int nIndex) const;

  signals:
    // The wheel does not scroll the list: each turn goes to whoever connects here (the panel
    // zooms the plane). nDelta is the vertical angle delta, one step per 120.
    void wheelTurned(int nDelta);

  protected:
    // A single-selection list box keeps its selection: a click below the rows or a Ctrl+click
    // on the selected row leaves it as it is.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* pEvent) const override;
    void wheelEvent(QWheelEvent* pEvent) override;
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
};

class CColorListDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    explicit CColorListDelegate(CColorListBox* pList);
    void paint(QPainter* pPainter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The text's left edge, and the swatch's right edge (both in list coordinates).
    static constexpr int kTextLeft = 28;
    static constexpr int kSwatchRight = 20;

  private:
    CColorListBox* m_pList;
};
