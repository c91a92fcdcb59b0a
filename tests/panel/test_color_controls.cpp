#include "document/ColorTable.h"
#include "panel/ColorCombo.h"
#include "panel/ColorListBox.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

COLORREF Pixel(const QImage& image, int x, int y) {
    const QRgb rgb = image.pixel(x, y);
    return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

void FillTable(CColorCombo& combo) {
    for (const CColorEntry& e : kColorTable)
        combo.AddColor(e.m_clr, QString::fromUtf8(e.m_szName));
}

TEST(ColorCombo, SelectAndLookUpColours) {
    CColorCombo combo;
    FillTable(combo);
    EXPECT_EQ(combo.AddColor(RGB(0, 0, 255), QStringLiteral("again")), 9); // a second blue
    EXPECT_EQ(combo.GetColorAt(-1), 0u);
    EXPECT_EQ(combo.GetColorAt(10), 0u);
    EXPECT_EQ(combo.GetColorAt(3), RGB(0, 128, 0));

    combo.setCurrentIndex(-1);
    EXPECT_EQ(combo.GetSelectedColor(), 0u);
    combo.SelectColor(RGB(0, 0, 255));
    EXPECT_EQ(combo.currentIndex(), 9); // the last equal entry
    combo.SelectColor(RGB(1, 2, 3));
    EXPECT_EQ(combo.currentIndex(), 9); // no match: unchanged
    combo.SelectColor(RGB(255, 255, 0));
    EXPECT_EQ(combo.GetSelectedColor(), RGB(255, 255, 0));
}

TEST(ColorCombo, OutOfTableIndexIsZero) {
    CColorCombo combo;
    FillTable(combo);
    EXPECT_EQ(combo.GetColorAt(9), 0u);
    EXPECT_EQ(combo.GetColorAt(8), RGB(0, 255, 255));
}

// Entry 100 pixels wide: the swatch spans x 2..24 (right edge W/4 = 25), y 2..17.
TEST(ColorCombo, EntryLayout) {
    const struct {
        int index;
        bool selected, enabled;
        bool swatchDrawn;
    } cases[] = {
        {0, false, true, true},
        {0, true, true, true},
        {0, false, false, true},
        {-1, false, true, false},
    };
    CColorCombo combo;
    const QPalette pal = combo.palette();
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.index << c.selected << c.enabled);
        QImage image(100, 20, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        {
            QPainter painter(&image);
            CColorCombo::PaintEntry(&painter, image.rect(), pal, c.index, QStringLiteral("x"),
                                    RGB(0, 0, 255), c.selected, false, c.enabled, nullptr);
        }
        const QColor back = c.selected ? pal.color(QPalette::Active, QPalette::Highlight)
                                       : pal.color(QPalette::Active, QPalette::Base);
        const COLORREF clrBack = RGB(back.red(), back.green(), back.blue());
        EXPECT_EQ(Pixel(image, 1, 10), clrBack);
        EXPECT_EQ(Pixel(image, 26, 10), clrBack);
        if (!c.swatchDrawn) {
            EXPECT_EQ(Pixel(image, 10, 10), clrBack);
            continue;
        }
        const QColor grey = pal.color(QPalette::Disabled, QPalette::Text);
        const COLORREF clrSwatch =
            c.enabled ? RGB(0, 0, 255) : RGB(grey.red(), grey.green(), grey.blue());
        EXPECT_EQ(Pixel(image, 10, 10), clrSwatch);
        EXPECT_EQ(Pixel(image, 2, 10), 0u);  // frame, left
        EXPECT_EQ(Pixel(image, 24, 10), 0u); // frame, right: x = W/4 - 1
        EXPECT_EQ(Pixel(image, 10, 17), 0u); // frame, bottom: y = bottom - 3
        EXPECT_EQ(Pixel(image, 25, 10), clrBack);
        EXPECT_EQ(Pixel(image, 10, 18), clrBack);
    }
}

class ColorListBoxTest : public ::testing::Test {
  protected:
    ColorListBoxTest() {
        m_list.resize(200, 150);
        m_list.show();
    }
    QImage Grab() {
        QApplication::processEvents(); // the list lays its rows out late
        return m_list.viewport()->grab().toImage();
    }
    // Centre of the swatch of row i, in viewport coordinates.
    QPoint SwatchCentre(int i) {
        const QRect rc = m_list.visualItemRect(m_list.item(i));
        return QPoint(10, rc.top() + rc.height() / 2);
    }
    CColorListBox m_list;
};

TEST_F(ColorListBoxTest, RowsKeepTheirRecordsThroughInsertAndDelete) {
    m_list.AddItem(QStringLiteral("Y=x"), true, RGB(255, 0, 0));
    m_list.AddItem(QStringLiteral("Y=x^2"), false, RGB(0, 0, 255));
    m_list.AddItem(QStringLiteral("Y=sinx"), true, RGB(0, 128, 0), 0);
    ASSERT_EQ(m_list.count(), 3);
    EXPECT_EQ(m_list.item(0)->text(), "Y=sinx");
    EXPECT_EQ(m_list.GetFunItem(2).m_clr, RGB(0, 0, 255));
    EXPECT_FALSE(m_list.GetFunItem(2).m_bShow);

    for (int bad : {-1, 3})
        m_list.DeleteItem(bad);
    m_list.SetItemShow(3, false);
    m_list.SetItemColor(-1, 0);
    EXPECT_EQ(m_list.count(), 3);
    m_list.DeleteItem(0);
    EXPECT_EQ(m_list.item(0)->text(), "Y=x");
    EXPECT_EQ(m_list.GetFunItem(0).m_clr, RGB(255, 0, 0));
}

TEST_F(ColorListBoxTest, SwatchShowsTheColourOrWhiteWhenHidden) {
    m_list.AddItem(QStringLiteral("Y=x"), true, RGB(255, 0, 0));
    m_list.AddItem(QStringLiteral("Y=cosx"), false, RGB(0, 0, 255));
    QSignalSpy selection(&m_list, &QListWidget::itemSelectionChanged);
    QImage image = Grab();
    EXPECT_EQ(Pixel(image, SwatchCentre(0).x(), SwatchCentre(0).y()), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(image, SwatchCentre(1).x(), SwatchCentre(1).y()), RGB(255, 255, 255));
    EXPECT_EQ(Pixel(image, 2, SwatchCentre(0).y()), 0u); // black frame
    EXPECT_EQ(Pixel(image, 19, SwatchCentre(0).y()), 0u);
    EXPECT_EQ(Pixel(image, 100, SwatchCentre(1).y() + 3), RGB(255, 255, 255)); // white row

    m_list.SetItemShow(0, false);
    m_list.SetItemShow(1, true);
    m_list.SetItemColor(1, RGB(255, 0, 255));
    image = Grab();
    EXPECT_EQ(Pixel(image, SwatchCentre(0).x(), SwatchCentre(0).y()), RGB(255, 255, 255));
    EXPECT_EQ(Pixel(image, SwatchCentre(1).x(), SwatchCentre(1).y()), RGB(255, 0, 255));
    EXPECT_EQ(m_list.currentRow(), 1); // the changed row is selected
    EXPECT_EQ(selection.count(), 0);   // programmatic: no user notification
}

TEST_F(ColorListBoxTest, LongTextWrapsIntoATallerRow) {
    m_list.AddItem(QStringLiteral("Y=x"), true, RGB(255, 0, 0));
    m_list.AddItem(QStringLiteral("Y=sinx+cosx+tanx+cotx+secx+cscx+lnx+ex+sinx+cosx+tanx"), true,
                   RGB(255, 0, 0));
    QApplication::processEvents();
    const int nShort = m_list.visualItemRect(m_list.item(0)).height();
    const int nLong = m_list.visualItemRect(m_list.item(1)).height();
    EXPECT_GE(nShort, m_list.fontMetrics().height());
    EXPECT_GE(nLong, 2 * m_list.fontMetrics().height());
    EXPECT_EQ(m_list.horizontalScrollBar()->maximum(), 0);
}

TEST_F(ColorListBoxTest, WheelIsForwardedAndDoesNotScroll) {
    for (int i = 0; i < 40; ++i)
        m_list.AddItem(QStringLiteral("Y=x"), true, RGB(255, 0, 0));
    QApplication::processEvents();
    ASSERT_GT(m_list.verticalScrollBar()->maximum(), 0);
    QSignalSpy turned(&m_list, &CColorListBox::wheelTurned);
    for (int delta : {-120, 120, -240}) {
        QWheelEvent wheel(QPointF(50, 50), m_list.viewport()->mapToGlobal(QPointF(50, 50)),
                          QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(m_list.viewport(), &wheel);
    }
    EXPECT_EQ(m_list.verticalScrollBar()->value(), 0);
    ASSERT_EQ(turned.count(), 3);
    EXPECT_EQ(turned[0][0].toInt(), -120);
    EXPECT_EQ(turned[2][0].toInt(), -240);
}

} // namespace
