#include "panel/ColorListBox.h"

#include "panel/ColorCombo.h"

#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>
#include <QWheelEvent>
#include <QtMath>
#include <algorithm>

namespace {
constexpr int kShowRole = Qt::UserRole;
constexpr int kColorRole = Qt::UserRole + 1;

// Expressions hold no spaces, so a row breaks at word boundaries where there are any and
// anywhere else otherwise; measuring and painting share this layout. Returns the height.
int LayoutRowText(QTextLayout& layout, int nWidth) {
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(1, nWidth));
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
    return qCeil(y);
}
} // namespace

CColorListBox::CColorListBox(QWidget* pParent) : QListWidget(pParent) {
    setItemDelegate(new CColorListDelegate(this));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(false);
    setResizeMode(QListView::Adjust);
    setFocusPolicy(Qt::StrongFocus);
    // The scroll bar would scroll on the wheel by itself.
    verticalScrollBar()->installEventFilter(this);
}

void CColorListBox::AddItem(const QString& text, bool bShow, COLORREF clr, int nIndex) {
    auto* pItem = new QListWidgetItem(text);
    pItem->setData(kShowRole, bShow);
    pItem->setData(kColorRole, QVariant::fromValue<uint>(clr));
    if (nIndex < 0 || nIndex > count()) nIndex = count();
    insertItem(nIndex, pItem);
}

void CColorListBox::DeleteItem(int nIndex) {
    if (nIndex < 0 || nIndex >= count()) return;
    delete takeItem(nIndex);
}

void CColorListBox::SetItemShow(int nIndex, bool bShow) {
    QListWidgetItem* pItem = item(nIndex);
    if (!pItem) return;
    pItem->setData(kShowRole, bShow);
    const QSignalBlocker blocker(this);
    setCurrentRow(nIndex);
    viewport()->update();
}

void CColorListBox::SetItemColor(int nIndex, COLORREF clr) {
    QListWidgetItem* pItem = item(nIndex);
    if (!pItem) return;
    pItem->setData(kColorRole, QVariant::fromValue<uint>(clr));
    const QSignalBlocker blocker(this);
    setCurrentRow(nIndex);
    viewport()->update();
}

CFunItem CColorListBox::GetFunItem(int nIndex) const {
    CFunItem fun;
    if (const QListWidgetItem* pItem = item(nIndex)) {
        fun.m_bShow = pItem->data(kShowRole).toBool();
        fun.m_clr = pItem->data(kColorRole).toUInt();
    }
    return fun;
}

QItemSelectionModel::SelectionFlags CColorListBox::selectionCommand(const QModelIndex& index,
                                                                    const QEvent* pEvent) const {
    const QItemSelectionModel::SelectionFlags flags = QListWidget::selectionCommand(index, pEvent);
    if (!index.isValid() || (flags & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle)))
        return QItemSelectionModel::NoUpdate;
    return flags;
}

void CColorListBox::wheelEvent(QWheelEvent* pEvent) {
    const int nDelta = pEvent->angleDelta().y();
    if (nDelta != 0) emit wheelTurned(nDelta);
    pEvent->accept();
}

bool CColorListBox::eventFilter(QObject* pWatched, QEvent* pEvent) {
    if (pWatched == verticalScrollBar() && pEvent->type() == QEvent::Wheel) {
        wheelEvent(static_cast<QWheelEvent*>(pEvent));
        return true;
    }
    return QListWidget::eventFilter(pWatched, pEvent);
}

void CColorListBox::resizeEvent(QResizeEvent* pEvent) {
    QListWidget::resizeEvent(pEvent);
    // Wrapped rows change height with the width.
    doItemsLayout();
}

CColorListDelegate::CColorListDelegate(CColorListBox* pList)
    : QStyledItemDelegate(pList), m_pList(pList) {}

QSize CColorListDelegate::sizeHint(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    // Measured in the rectangle the text is drawn in, so that no wrapped line is cut off.
    QTextLayout layout(index.data().toString(), option.font);
    const int nHeight = LayoutRowText(layout, m_pList->viewport()->width() - kTextLeft);
    return QSize(m_pList->viewport()->width(), nHeight + 2);
}

void CColorListDelegate::paint(QPainter* pPainter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    if (!index.isValid()) return;
    const QRect& rc = option.rect;
    const int right = rc.left() + rc.width(), bottom = rc.top() + rc.height(); // exclusive
    pPainter->save();
    if (option.state & QStyle::State_Selected) {
        pPainter->fillRect(rc, option.palette.color(QPalette::Highlight));
        pPainter->setPen(option.palette.color(QPalette::HighlightedText));
    } else {
        pPainter->fillRect(rc, Qt::white); // white, not the palette's base colour
        pPainter->setPen(option.palette.color(QPalette::Text));
    }
    QTextLayout layout(index.data().toString(), option.font);
    LayoutRowText(layout, right - kTextLeft);
    pPainter->setClipRect(rc);
    layout.draw(pPainter, QPointF(kTextLeft, rc.top() + 2));

    const QRect swatch(QPoint(rc.left() + 2, rc.top() + 2), QPoint(kSwatchRight - 1, bottom - 3));
    if (swatch.isValid()) {
        const bool bShow = index.data(kShowRole).toBool();
        pPainter->fillRect(swatch, bShow ? ToQColor(index.data(kColorRole).toUInt()) : Qt::white);
        pPainter->setPen(Qt::black);
        pPainter->setBrush(Qt::NoBrush);
        pPainter->drawRect(swatch.adjusted(0, 0, -1, -1));
    }
    pPainter->restore();
    // No focus rectangle: the selection colour marks the current row.
}
