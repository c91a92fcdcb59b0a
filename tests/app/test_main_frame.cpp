// The main window: menus, toolbar, read-out panes, modes, fixed panel, display settings, print.

#include "AppFixture.h"

#include "app/PlotSplitter.h"
#include "view/CurvistView.h"

#include "settings/VisParamDlg.h"
#include <QAbstractButton>
#include <QButtonGroup>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QStatusBar>
#include <QToolBar>

namespace {

// Item texts of a menu; "-" for a separator, ">" + title for a submenu followed by its items
// and "<".
QStringList MenuLayout(QMenu* pMenu) {
    QStringList out;
    for (QAction* a : pMenu->actions()) {
        if (!a->isVisible()) continue;
        if (a->isSeparator())
            out << QStringLiteral("-");
        else if (a->menu())
            out << QStringLiteral(">") + a->text() << MenuLayout(a->menu()) << "<";
        else
            out << a->text();
    }
    return out;
}

QStringList Split(const char* sz) {
    return QString::fromUtf8(sz).split(u'|');
}

} // namespace

using MainFrameTest = AppFixture;

TEST_F(MainFrameTest, MenusHoldEveryItemInOrder) {
    // The added commands (the edit menu, export and the print commands) sit among the others,
    // which keep their order.
    const struct {
        const char* title;
        const char* items;
    } expected[] = {
        {"文件(&F)", "新建(&N)\tCtrl+N|打开(&O)...\tCtrl+O|保存(&S)\tCtrl+S|另存为(&A)...|-|"
                     "导出图像(&E)...|-|打印(&P)...\tCtrl+P|打印预览(&V)|打印设置(&R)...|-|"
                     "最近文件|-|退出(&X)"},
        {"编辑(&E)", "撤销(&U)\tCtrl+Z|重做(&R)\tCtrl+Y|-|复制图像(&C)"},
        {"操作(&W)", "添加函数...|修改函数...|删除函数|-|放大|缩小|复位|-|>原点位置|居中|-|左侧|"
                     "右侧|顶部|底部|-|左上角|左下角|右上角|右下角|<"},
        {"选项(&T)", "显示参数设置...|-|工具栏(&T)|状态栏(&S)"},
        {"帮助(&H)", "帮助主题(&H)|-|关于 函数作图器(&A)..."},
    };
    const QList<QAction*> menus = Frame()->menuBar()->actions();
    ASSERT_EQ(menus.size(), int(std::size(expected)));
    for (int i = 0; i < menus.size(); ++i) {
        EXPECT_EQ(menus[i]->text(), QString::fromUtf8(expected[i].title));
        EXPECT_EQ(MenuLayout(menus[i]->menu()), Split(expected[i].items)) << i;
    }
    EXPECT_FALSE(Frame()->Action(ID_FILE_MRU_FILE1)->isEnabled());
    const struct {
        int nId;
        const char* keys;
    } keys[] = {{ID_FILE_SAVE, "Ctrl+S"},
                {ID_FILE_PRINT, "Ctrl+P"},
                {ID_EDIT_UNDO, "Ctrl+Z"},
                {ID_EDIT_REDO, "Ctrl+Y, Ctrl+Shift+Z"}};
    for (const auto& k : keys) {
        QStringList got;
        for (const QKeySequence& seq : Frame()->Action(k.nId)->shortcuts())
            got << seq.toString();
        EXPECT_EQ(got.join(QStringLiteral(", ")), QString::fromUtf8(k.keys)) << k.nId;
    }
}

TEST_F(MainFrameTest, ToolbarButtonsInOrderWithPrompts) {
    QList<int> ids;
    for (QAction* a : Frame()->ToolBar()->actions())
        ids << (a->isSeparator() ? 0 : a->data().toInt());
    const QList<int> expected = {57600, 57601, 57603, 0,     32772, 32774, 32773, 0, 32792,
                                 32793, 0,     32776, 32777, 32778, 0,     32771, 0, 32805};
    EXPECT_EQ(ids, expected);
    for (QAction* a : Frame()->ToolBar()->actions()) {
        if (!a->isSeparator()) {
            EXPECT_EQ(a->icon().actualSize(QSize(16, 15)), QSize(16, 15));
        }
    }
    QAction* pReset = Frame()->Action(ID_ZOOM_RESET);
    EXPECT_EQ(pReset->statusTip(), QString::fromUtf8("恢复正常大小"));
    EXPECT_EQ(pReset->toolTip(), QString::fromUtf8("恢复正常大小"));
    EXPECT_EQ(Frame()->Action(ID_VIEW_TOOLBAR)->toolTip(), QString::fromUtf8("显隐工具栏"));
    EXPECT_EQ(Frame()->Action(ID_VIEW_TOOLBAR)->statusTip(), QString::fromUtf8("显示或隐藏工具栏"));

    Trigger(ID_VIEW_TOOLBAR);
    EXPECT_FALSE(Frame()->ToolBar()->isVisible());
    Trigger(ID_VIEW_STATUS_BAR);
    EXPECT_FALSE(Frame()->statusBar()->isVisible());
    Trigger(ID_VIEW_TOOLBAR);
    EXPECT_TRUE(Frame()->ToolBar()->isVisible());
    EXPECT_TRUE(Frame()->Action(ID_VIEW_TOOLBAR)->isChecked());
}

TEST_F(MainFrameTest, PanesShowScaleCoordinatesAndClock) {
    EXPECT_EQ(Frame()->IdleText()->text(), QString::fromUtf8("就绪"));
    QLabel probe;
    probe.setText(QString::fromUtf8("  X = 00000.00  "));
    EXPECT_EQ(Frame()->PaneX()->width(), probe.sizeHint().width());

    Trigger(ID_ZOOM_IN);
    EXPECT_EQ(Frame()->PaneScale()->text(), QString::fromUtf8("    比例：  110%    "));
    EXPECT_EQ(m_app->m_pPlotView->Plane().m_nCellW, 55);
    Trigger(ID_ZOOM_RESET);
    EXPECT_EQ(Frame()->PaneScale()->text(), QString::fromUtf8("    比例：  100%    "));

    Frame()->ShowXY(3.14159, -2.5);
    EXPECT_EQ(Frame()->PaneX()->text(), QStringLiteral("  X = 3.14"));
    EXPECT_EQ(Frame()->PaneY()->text(), QStringLiteral("  Y = -2.50"));

    const QRegularExpression clock(
        QStringLiteral(R"(^    \d{4}-\d{2}-\d{2}  [0-2]\d:[0-5]\d:[0-5]\d    $)"));
    EXPECT_TRUE(clock.match(Frame()->PaneClock()->text()).hasMatch())
        << Frame()->PaneClock()->text().toStdString();
}

TEST_F(MainFrameTest, RealTimeModesExcludeEachOther) {
    QAction* pMove = Frame()->Action(ID_REAL_MOVE);
    QAction* pZoom = Frame()->Action(ID_REAL_ZOOM);
    const struct {
        QAction* press;
        bool move, zoom;
    } steps[] = {{pZoom, false, true}, {pMove, true, false}, {pMove, false, false},
                 {pMove, true, false}, {pZoom, false, true}, {pZoom, false, false}};
    for (const auto& s : steps) {
        s.press->trigger();
        EXPECT_EQ(Frame()->m_bRealMove, s.move);
        EXPECT_EQ(Frame()->m_bRealZoom, s.zoom);
        EXPECT_EQ(pMove->isChecked(), s.move);
        EXPECT_EQ(pZoom->isChecked(), s.zoom);
    }
}

TEST_F(MainFrameTest, PanelKeepsItsWidthWhenTheBarIsDragged) {
    CPlotSplitter* pSplitter = Frame()->Splitter();
    EXPECT_EQ(Frame()->LeftPane()->width(), kPanelWidth);
    const int plotWidth = Frame()->PlotWindow()->width();
    QWidget* pHandle = pSplitter->handle(1);
    EXPECT_EQ(pHandle->x(), kPanelWidth); // no gap after the panel
    QTest::mousePress(pHandle, Qt::LeftButton, {}, QPoint(1, 50));
    QTest::mouseMove(pHandle, QPoint(120, 50));
    QTest::mouseRelease(pHandle, Qt::LeftButton, {}, QPoint(120, 50));
    EXPECT_EQ(Frame()->LeftPane()->width(), kPanelWidth);
    EXPECT_EQ(Frame()->PlotWindow()->width(), plotWidth);

    Frame()->resize(900, 600);
    QApplication::processEvents();
    EXPECT_EQ(Frame()->LeftPane()->width(), kPanelWidth);
    EXPECT_EQ(pHandle->x(), kPanelWidth);
}

TEST_F(MainFrameTest, DisplaySettingsApplyEvenWhenTheFileCannotBeWritten) {
    // A directory that does not exist: the write fails whoever runs the test.
    const std::string ini = Path("missing/VisParam.ini").toStdString();
    m_app->m_pPlotView->SetIniPath(ini);
    OnDialog<CVisParamDlg>([](CVisParamDlg& dlg) {
        dlg.show();
        dlg.SideX().m_pStep->setText(QStringLiteral("2.5"));
        dlg.accept();
        return dlg.result() == QDialog::Accepted;
    });
    Trigger(ID_DISPLAY_SETTINGS);
    EXPECT_DOUBLE_EQ(m_app->m_pPlotView->Plane().m_dUnitX, 2.5);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_TRUE(m_messages[0].contains(QString::fromStdString(ini))) << m_messages[0].toStdString();
}

TEST_F(MainFrameTest, TheDialogsOriginPresetWaitsForTheNextNewAndAWrittenFile) {
    for (const bool bWritable : {true, false}) {
        QFile::remove(Path("VisParam.ini")); // the preset of the start is the centre
        Start();
        QApplication::processEvents();
        if (!bWritable) m_app->m_pPlotView->SetIniPath(Path("missing/VisParam.ini").toStdString());
        OnDialog<CVisParamDlg>([](CVisParamDlg& dlg) {
            dlg.show();
            dlg.OriginGroup()->button(0)->click(); // top left
            dlg.accept();
            return dlg.result() == QDialog::Accepted;
        });
        const QSize size = Frame()->PlotWindow()->size();
        Trigger(ID_DISPLAY_SETTINGS);
        EXPECT_EQ(m_app->m_pPlotView->Plane().m_nOriginY, size.height() / 2) << bWritable;
        Trigger(ID_FILE_NEW);
        QApplication::processEvents();
        const CPlane after = m_app->m_pPlotView->Plane();
        EXPECT_EQ(after.m_nOriginX, bWritable ? 0 : size.width() / 2) << bWritable;
        EXPECT_EQ(after.m_nOriginY, bWritable ? 0 : size.height() / 2) << bWritable;
    }
}

TEST_F(MainFrameTest, PrintsThePlaneWithoutTakingTheScreensRepaintFlags) {
    AddFunction("x^2");
    const QString pdf = Path("plane.pdf");
    OnDialog<QPrintDialog>([&](QPrintDialog& dlg) {
        dlg.printer()->setOutputFormat(QPrinter::PdfFormat);
        dlg.printer()->setOutputFileName(pdf);
        return true;
    });
    m_app->Doc().m_bResetOrigin = true;
    m_app->Doc().m_bRefillList = true;
    const int originX = m_app->m_pPlotView->Plane().m_nOriginX;
    EXPECT_EQ(Frame()->Action(ID_FILE_PRINT)->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
    Trigger(ID_FILE_PRINT);
    EXPECT_GT(QFile(pdf).size(), 1000);
    EXPECT_TRUE(m_app->Doc().m_bResetOrigin);
    EXPECT_TRUE(m_app->Doc().m_bRefillList);
    EXPECT_EQ(m_app->m_pPlotView->Plane().m_nOriginX, originX);
    EXPECT_EQ(Rows(), 1);
}

TEST_F(MainFrameTest, F6MovesTheFocusBetweenThePanes) {
    Frame()->activateWindow();
    Frame()->PlotWindow()->setFocus();
    QApplication::processEvents();
    Frame()->OnNextPane(false);
    EXPECT_TRUE(Frame()->LeftPane()->isAncestorOf(QApplication::focusWidget()));
    Frame()->OnNextPane(true);
    EXPECT_EQ(QApplication::focusWidget(), Frame()->PlotWindow());
}

namespace {

// The window shows the same icon the desktop shows for the launcher, at every size it ships.
TEST_F(MainFrameTest, WindowIconIsTheInstalledIcon) {
    const QIcon icon = Frame()->windowIcon();
    for (int n : {16, 32, 48, 256}) {
        const QImage expected(QStringLiteral(CURVIST_RES_DIR "/icons/curvist-%1.png").arg(n));
        ASSERT_FALSE(expected.isNull()) << n;
        EXPECT_EQ(icon.pixmap(n, n).toImage().convertToFormat(QImage::Format_ARGB32),
                  expected.convertToFormat(QImage::Format_ARGB32))
            << n;
    }
}

} // namespace
