#pragma once
// The colour chooser: a drop-down list whose entries show a swatch and the colour's name.

#include "platform/Dc.h"

#include <QComboBox>
#include <QStyledItemDelegate>

class CColorCombo : public QComboBox {
    Q_OBJECT
  public:
    explicit CColorCombo(QWidget* pParent = nullptr);

    // Appends an entry (never sorted); returns its index.
    int AddColor(COLORREF clr, const QString& name);
    // 0 when nothing is selected.
    COLORREF GetSelectedColor() const;
    // Selects the last entry of that colour; with none, the selection stays as it was.
    void SelectColor(COLORREF clr);
    // 0 outside 0..count-1.
    COLORREF GetColorAt(int nIndex) const;

    // Paints one entry in rc; nIndex -1 paints the background only.
    static void PaintEntry(QPainter* pPainter, const QRect& rc, const QPalette& palette, int nIndex,
                           const QString& text, COLORREF clr, bool bSelected, bool bFocus,
                           bool bEnabled, QWidget* pWidget);

  protected:
    void paintEvent(QPaintEvent* pEvent) override;
};

class CColorComboDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* pPainter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

// COLORREF (0x00BBGGRR) to QColor and back.
QColor ToQColor(COLORREF clr);
