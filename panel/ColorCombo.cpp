#include "panel/ColorCombo.h"

#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <algorithm>

namespace {
constexpr int kColorRole = Qt::UserRole;
}

QColor ToQColor(COLORREF clr) {
    return QColor(GetRValue(clr), GetGValue(clr), GetBValue(clr));
}

CColorCombo::CColorCombo(QWidget* pParent) : QComboBox(pParent) {
    setItemDelegate(new CColorComboDelegate(this));
}

int CColorCombo::AddColor(COLORREF clr, const QString& name) {
    addItem(name, QVariant::fromValue<uint>(clr));
    return count() - 1;
}

COLORREF CColorCombo::GetSelectedColor() const {
    return GetColorAt(currentIndex());
}

void CColorCombo::SelectColor(COLORREF clr) {
    int nFound = -1;
    for (int i = 0; i < count(); ++i)
        if (GetColorAt(i) == clr) nFound = i;
    if (nFound >= 0) {
        const QSignalBlocker blocker(this);
        setCurrentIndex(nFound);
    }
}

COLORREF CColorCombo::GetColorAt(int nIndex) const {
    if (nIndex < 0 || nIndex >= count()) return 0;
    return itemData(nIndex, kColorRole).toUInt();
}

void CColorCombo::PaintEntry(QPainter* pPainter, const QRect& rc, const QPalette& palette,
                             int nIndex, const QString& text, COLORREF clr, bool bSelected,
                             bool bFocus, bool bEnabled, QWidget* pWidget) {
    const int left = rc.left(), top = rc.top();
    const int right = rc.left() + rc.width(), bottom = rc.top() + rc.height(); // exclusive
    const int w = right - left;
    QColor textColor = palette.color(QPalette::Active, QPalette::Text);
    if (bSelected) {
        // The window-text colour with all 24 colour bits inverted, on the highlight colour.
        textColor = QColor(~textColor.rgb() & 0xFFFFFFu);
        pPainter->fillRect(rc, palette.color(QPalette::Active, QPalette::Highlight));
    } else {
        pPainter->fillRect(rc, palette.color(QPalette::Active, QPalette::Base));
    }
    if (bFocus && pWidget) {
        QStyleOptionFocusRect focus;
        focus.initFrom(pWidget);
        focus.rect = rc;
        pWidget->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, pPainter, pWidget);
    }
    if (nIndex == -1) return;

    // The swatch's right edge is w / 4 itself, not left + w / 4.
    const QRect swatch(QPoint(left + 2, top + 2), QPoint(w / 4 - 1, bottom - 2 - 1));
    QColor swatchColor = ToQColor(clr);
    if (!bEnabled) {
        swatchColor = palette.color(QPalette::Disabled, QPalette::Text);
        textColor = swatchColor;
    }
    pPainter->save();
    pPainter->setPen(textColor);
    const int textLeft = left + w / 4 + 2;
    pPainter->drawText(QRect(textLeft, top + 2, std::max(1, right - textLeft), bottom - top),
                       Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, text);
    if (swatch.isValid()) {
        pPainter->fillRect(swatch, swatchColor);
        pPainter->setPen(Qt::black);
        pPainter->setBrush(Qt::NoBrush);
        pPainter->drawRect(swatch.adjusted(0, 0, -1, -1)); // one-pixel frame inside the swatch
    }
    pPainter->restore();
}

void CColorCombo::paintEvent(QPaintEvent*) {
    // The closed combo shows its current entry drawn like the list's entries.
    QStylePainter painter(this);
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    opt.currentText.clear();
    opt.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, opt);
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
    const int nIndex = currentIndex();
    PaintEntry(&painter, field, palette(), nIndex, nIndex >= 0 ? itemText(nIndex) : QString(),
               GetColorAt(nIndex), hasFocus(), hasFocus(), isEnabled(), this);
}

void CColorComboDelegate::paint(QPainter* pPainter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    const bool bEnabled = option.state & QStyle::State_Enabled;
    CColorCombo::PaintEntry(pPainter, option.rect, option.palette,
                            index.isValid() ? index.row() : -1, index.data().toString(),
                            index.data(kColorRole).toUInt(), option.state & QStyle::State_Selected,
                            option.state & QStyle::State_HasFocus, bEnabled,
                            const_cast<QWidget*>(option.widget));
}
