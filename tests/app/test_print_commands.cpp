// Print preview and page setup: the preview paints the page through the printing path, and the
// layout chosen in page setup holds for printing and the preview for the rest of the session.

#include "AppFixture.h"

#include <QFile>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRegularExpression>

namespace {

class PrintTest : public AppFixture {
  protected:
    CPrintCommands& Printing() const { return Frame()->Printing(); }
};

// The page of a one-page PDF: its width and height in points.
QSizeF PdfPageSize(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    static const QRegularExpression box(QStringLiteral(R"(/MediaBox \[0 0 ([\d.]+) ([\d.]+)\])"));
    const auto m = box.match(QString::fromLatin1(f.readAll()));
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

TEST_F(PrintTest, PreviewOpensAndPaintsThePlane) {
    AddFunction("sinx");
    int nPaints = 0;
    QImage shown;
    OnDialog<QPrintPreviewDialog>([&](QPrintPreviewDialog& dlg) {
        QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested, [&] { ++nPaints; });
        dlg.resize(600, 700);
        dlg.show();
        QApplication::processEvents();
        auto* pPreview = dlg.findChild<QPrintPreviewWidget*>();
        ASSERT_TRUE(pPreview);
        EXPECT_EQ(pPreview->pageCount(), 1);
        shown = pPreview->grab().toImage();
        dlg.close();
    });
    Trigger(ID_FILE_PRINT_PREVIEW);
    EXPECT_GE(nPaints, 1);
    // The page is white; the plane's black background fills its middle.
    ASSERT_FALSE(shown.isNull());
    const QPoint middle(shown.width() / 2, shown.height() / 2);
    EXPECT_EQ(shown.pixelColor(middle), QColor(Qt::black));
}

TEST_F(PrintTest, PageSetupHoldsForPrintAndPreview) {
    EXPECT_FALSE(Printing().PageLayout());
    // A cancelled setup keeps the layout before it.
    auto setup = [&](bool bOk) {
        OnDialog<QPageSetupDialog>([bOk](QPageSetupDialog& dlg) {
            dlg.printer()->setPageSize(QPageSize(QPageSize::A5));
            dlg.printer()->setPageOrientation(bOk ? QPageLayout::Landscape : QPageLayout::Portrait);
            return bOk;
        });
        Trigger(ID_FILE_PRINT_SETUP);
    };
    setup(true);
    setup(false);
    ASSERT_TRUE(Printing().PageLayout());
    EXPECT_EQ(Printing().PageLayout()->orientation(), QPageLayout::Landscape);

    QPageLayout previewed;
    OnDialog<QPrintPreviewDialog>(
        [&](QPrintPreviewDialog& dlg) { previewed = dlg.printer()->pageLayout(); });
    Trigger(ID_FILE_PRINT_PREVIEW);
    EXPECT_EQ(previewed.orientation(), QPageLayout::Landscape);
    EXPECT_EQ(previewed.pageSize().id(), QPageSize::A5);
    // Turning the page in the preview chooses too.
    OnDialog<QPrintPreviewDialog>([&](QPrintPreviewDialog& dlg) {
        dlg.printer()->setPageOrientation(QPageLayout::Portrait);
    });
    Trigger(ID_FILE_PRINT_PREVIEW);
    EXPECT_EQ(Printing().PageLayout()->orientation(), QPageLayout::Portrait);

    const QString pdf = Path("landscape.pdf");
    OnDialog<QPrintDialog>([&](QPrintDialog& dlg) {
        dlg.printer()->setOutputFormat(QPrinter::PdfFormat);
        dlg.printer()->setOutputFileName(pdf);
        return true;
    });
    Trigger(ID_FILE_PRINT);
    const QSizeF page = PdfPageSize(pdf); // A5 upright: 420 x 595 points
    EXPECT_NEAR(page.width(), 420, 1);
    EXPECT_NEAR(page.height(), 595, 1);
}

} // namespace
