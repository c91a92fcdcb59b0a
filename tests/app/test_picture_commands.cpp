// The picture leaving the window: export to PNG, SVG and PDF through the renderer of
// curvist-plot, and copy to the clipboard (the menu command and Ctrl+C on the plane).

#include "PlotFixture.h"
#include "SmallTmpfs.h"

#include "app/PictureCommands.h"

#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QSvgRenderer>

namespace {

QString U8(const char* sz) {
    return QString::fromUtf8(sz);
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class PictureTest : public PlotFixture {
  protected:
    // Answers the export dialog: a name in the test folder (empty: cancel) and the type chosen
    // in it, one pair per run.
    void AnswerExport(std::vector<std::pair<QString, int>> answers) {
        m_exportAnswers = std::move(answers);
        m_onDialog = [this](QDialog& dlg) -> int {
            if (dlg.windowTitle() != QStringLiteral("导出图像")) return Answer(dlg);
            ++m_exportRuns;
            if (m_exportAnswers.empty()) return QDialog::Rejected;
            const auto [name, type] = m_exportAnswers.front();
            m_exportAnswers.erase(m_exportAnswers.begin());
            auto& file = static_cast<QFileDialog&>(dlg);
            file.selectNameFilter(file.nameFilters().at(type));
            if (name.isEmpty()) return QDialog::Rejected;
            SelectTyped(file, Path(name.toUtf8().constData()));
            return QDialog::Accepted;
        };
    }
    QImage Shown() const { return Plot()->BackBuffer().convertToFormat(QImage::Format_RGB32); }

    std::vector<std::pair<QString, int>> m_exportAnswers;
    int m_exportRuns = 0;
};

enum { kPng, kSvg, kPdf }; // the dialog's types, in its order

// The window and curvist-plot draw the same document with the same display parameters at the
// same size: the exported PNG is the command line's picture and what the window shows.
TEST_F(PictureTest, ExportedPngIsTheCommandLinePictureAndTheWindows) {
    QFile ini(Path("VisParam.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Coor]\nnOriginPlace=6\n[Pane]\nnWidth=37\nnHeight=29\n"
              "[Scale]\nnSpeed_X=50\nnPlace_X=0\nnPlace_Y=3\n");
    ini.close();
    Start(); // takes the file
    QApplication::processEvents();
    AddFunction("sinx");
    AddFunction("x^2/3");
    m_names.push_back(Path("doc.cvx"));
    Trigger(ID_FILE_SAVE_AS);

    AnswerExport({{"window", kPng}}); // no extension: the chosen type's
    Trigger(ID_FILE_EXPORT);
    const QImage exported(Path("window.png"));
    ASSERT_FALSE(exported.isNull());
    EXPECT_EQ(exported.convertToFormat(QImage::Format_RGB32), Shown());

    const QString size = QStringLiteral("%1x%2").arg(Plot()->width()).arg(Plot()->height());
    QProcess cli;
    cli.start(QStringLiteral(CURVIST_PLOT),
              {"--file", Path("doc.cvx"), "--ini", Path("VisParam.ini"), "--size", size, "-o",
               Path("cli.png")});
    ASSERT_TRUE(cli.waitForFinished());
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    EXPECT_EQ(exported, QImage(Path("cli.png")));
    EXPECT_TRUE(m_messages.empty());
}

// Export draws the plane as it is now, after zooming and moving, not as the file opened.
TEST_F(PictureTest, ExportFollowsThePlaneOnScreen) {
    AddFunction("sinx");
    Trigger(ID_ZOOM_IN);
    View()->MoveOrigin(-37, 21);
    ASSERT_TRUE(Frame()->Picture().ExportTo(Path("now.png")));
    EXPECT_EQ(QImage(Path("now.png")).convertToFormat(QImage::Format_RGB32), Shown());
}

// The real dialog with a type chosen and a bare name typed: the file takes the type's suffix.
TEST_F(PictureTest, ABareNameTakesTheChosenTypesSuffix) {
    const auto pDlg = CreateExportDialog(nullptr, QStringLiteral("plot"));
    pDlg->setDirectory(m_dir.path());
    for (int type : {kSvg, kPdf, kPng}) {
        const QString filter = pDlg->nameFilters().at(type);
        pDlg->selectNameFilter(filter);
        const QString chosen = pDlg->selectedFiles().value(0);
        const QString expected = Path("plot.") + filter.section(u'.', -1).chopped(1);
        EXPECT_EQ(ConfirmExportPath(nullptr, *pDlg, chosen).toStdString(), expected.toStdString());
    }
}

TEST_F(PictureTest, VectorTypesByTheirExtensionOrTheChosenType) {
    AddFunction("sinx");
    const struct {
        const char* typed;
        int type;
        const char* written;
    } cases[] = {
        {"v", kSvg, "v.svg"},
        {"d", kPdf, "d.pdf"},
        {"typed.svg", kPng, "typed.svg"}, // a typed extension wins over the chosen type
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        AnswerExport({{U8(c.typed), c.type}});
        Trigger(ID_FILE_EXPORT);
        const QByteArray bytes = ReadAll(Path(c.written));
        if (QString::fromUtf8(c.written).endsWith(QStringLiteral(".svg"))) {
            QSvgRenderer svg(bytes);
            ASSERT_TRUE(svg.isValid());
            EXPECT_EQ(svg.viewBox(), Plot()->rect());
        } else {
            EXPECT_TRUE(bytes.startsWith("%PDF-"));
            EXPECT_TRUE(bytes.trimmed().endsWith("%%EOF"));
            EXPECT_GT(bytes.size(), 1000);
        }
    }
    EXPECT_TRUE(m_messages.empty());
}

// The question comes from the same place as Save As's: a name the extension completed that is
// already taken is replaced only on Yes; No asks for another name.
TEST_F(PictureTest, ExportNeverReplacesAFileWithoutAsking) {
    AddFunction("sinx");
    QFile old(Path("old.png"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("precious");
    old.close();

    AnswerExport({{"old", kPng}, {"", kPng}});
    m_answers = {QMessageBox::No};
    Trigger(ID_FILE_EXPORT);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_TRUE(m_messages[0].startsWith(U8("“old.png”已存在。"))) << m_messages[0].toStdString();
    EXPECT_EQ(m_exportRuns, 2);
    EXPECT_EQ(ReadAll(Path("old.png")), "precious");

    AnswerExport({{"old", kPng}});
    m_answers = {QMessageBox::Yes};
    Trigger(ID_FILE_EXPORT);
    EXPECT_EQ(QImage(Path("old.png")).size(), Plot()->size());
}

TEST_F(PictureTest, AFailedExportSaysWhyAndWritesNothing) {
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("folder.png")));
    const struct {
        const char* name;
        const char* reason;
    } cases[] = {
        {"missing/p.png", "”：文件夹不存在。"},
        {"folder.png", "”：这是一个文件夹。"},
        {"notes.txt", "”：请用 .png、.svg、.pdf 等图像扩展名。"},
    };
    for (const auto& c : cases) {
        m_messages.clear();
        EXPECT_FALSE(Frame()->Picture().ExportTo(Path(c.name))) << c.name;
        ASSERT_EQ(m_messages.size(), 1u) << c.name;
        EXPECT_EQ(m_messages[0], U8("无法导出图像文件“") + Path(c.name) + U8(c.reason));
    }
    EXPECT_FALSE(QFile::exists(Path("notes.txt")));
}

// A full disk is named as such, although the failed write has made room again by the time the
// message is written.
TEST_F(PictureTest, AFullDiskIsNamed) {
    AddFunction("sinx");
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("small")));
    const CSmallTmpfs fs(Path("small").toStdString(), 64 * 1024);
    if (!fs.Mounted()) GTEST_SKIP() << fs.Why();
    fs.Fill("filler");
    // One page free: the picture's first bytes fit, the rest do not.
    QFile filler(Path("small/filler"));
    ASSERT_TRUE(filler.resize(filler.size() - 4096));
    const QString path = Path("small/p.png");
    EXPECT_FALSE(Frame()->Picture().ExportTo(path));
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], U8("无法导出图像文件“") + path + U8("”：磁盘已满。"));
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(PictureTest, CopyPutsTheImageAndItsSvgOnTheClipboard) {
    AddFunction("sinx");
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    EXPECT_TRUE(Frame()->Action(ID_EDIT_COPY)->shortcut().isEmpty()); // Ctrl+C stays the fields'
    Trigger(ID_EDIT_COPY);
    const QMimeData* pData = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(pData && pData->hasImage());
    EXPECT_EQ(qvariant_cast<QImage>(pData->imageData()).convertToFormat(QImage::Format_RGB32),
              Shown());
    QSvgRenderer svg(pData->data(QStringLiteral("image/svg+xml")));
    ASSERT_TRUE(svg.isValid());
    EXPECT_EQ(svg.viewBox(), Plot()->rect());
}

// Ctrl+C copies the picture only while the plane has the focus; in a domain field it copies
// the field's text as always.
TEST_F(PictureTest, CtrlCCopiesThePictureOnlyFromThePlane) {
    AddFunction("sinx");
    CControlView* pPanel = m_app->m_pControlView;
    pPanel->ListFun()->setCurrentRow(0);
    QLineEdit* pField = pPanel->ComboMin()->lineEdit(); // the combo box holds its focus
    ASSERT_TRUE(pField && pField->isEnabled());
    Frame()->activateWindow();
    QClipboard* pClip = QGuiApplication::clipboard();

    pClip->setText(QStringLiteral("before"));
    pPanel->ComboMin()->setFocus();
    pField->setText(QStringLiteral("-2.5"));
    pField->selectAll();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), pPanel->ComboMin());
    QTest::keyClick(pPanel->ComboMin(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_FALSE(pClip->mimeData()->hasImage());
    EXPECT_EQ(pClip->text(), QStringLiteral("-2.5"));

    Plot()->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), Plot());
    QTest::keyClick(Plot(), Qt::Key_C, Qt::ControlModifier);
    ASSERT_TRUE(pClip->mimeData()->hasImage());
    EXPECT_EQ(qvariant_cast<QImage>(pClip->mimeData()->imageData()).size(), Plot()->size());
}

} // namespace
