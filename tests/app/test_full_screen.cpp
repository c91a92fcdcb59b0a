// Full-screen display: the plot alone over the screen, and back to the window as it was.

#include "PlotFixture.h"

#include "app/ContextMenu.h"
#include "app/PlotSplitter.h"

#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

using FullScreenTest = PlotFixture;

// The window starts maximized, and no size limit keeps it from filling a screen larger than
// the one here: the window manager gives it the screen's size, before and after full screen.
TEST_F(FullScreenTest, MaximizedWindowFillsAnyScreen) {
    m_app.reset();
    m_app = std::make_unique<CCurvistApp>(Path("VisParam.ini").toStdString());
    ASSERT_TRUE(m_app->InitInstance({}, true));
    QApplication::processEvents();
    EXPECT_TRUE(Frame()->isMaximized());
    EXPECT_EQ(Frame()->frameGeometry(), Frame()->screen()->availableGeometry());

    for (const QSize& screen : {QSize(2560, 1600), QSize(3840, 2160)}) {
        Frame()->setGeometry(QRect(QPoint(0, 0), screen));
        EXPECT_EQ(Frame()->geometry().size(), screen);
        Trigger(ID_FULL_SCREEN);
        Trigger(ID_NORMAL_SCREEN);
        QApplication::processEvents();
        Frame()->setGeometry(QRect(QPoint(0, 0), screen));
        EXPECT_EQ(Frame()->geometry().size(), screen);
    }
}

TEST_F(FullScreenTest, PlotAloneAndBackAsTheUserLeftIt) {
    const struct {
        const char* name;
        bool bMaximized, bToolBar, bStatusBar;
    } cases[] = {
        {"normal window with both bars", false, true, true},
        {"maximized without toolbar", true, false, true},
        {"normal without status bar", false, true, false},
    };
    for (const auto& c : cases) {
        Start();
        QApplication::processEvents();
        if (c.bMaximized) {
            Frame()->showMaximized();
        } else {
            Frame()->setGeometry(40, 50, 700, 500);
        }
        if (!c.bToolBar) Trigger(ID_VIEW_TOOLBAR);
        if (!c.bStatusBar) Trigger(ID_VIEW_STATUS_BAR);
        QApplication::processEvents();
        const QRect rcBefore = Frame()->geometry();

        Trigger(ID_FULL_SCREEN);
        QApplication::processEvents();
        EXPECT_TRUE(Frame()->isFullScreen()) << c.name;
        EXPECT_TRUE(Plot()->IsFullScreen()) << c.name;
        EXPECT_FALSE(Frame()->menuBar()->isVisible()) << c.name;
        EXPECT_FALSE(Frame()->ToolBar()->isVisible()) << c.name;
        EXPECT_FALSE(Frame()->statusBar()->isVisible()) << c.name;
        EXPECT_FALSE(Frame()->LeftPane()->isVisible()) << c.name;
        const QRect screen = Frame()->screen()->geometry();
        EXPECT_EQ(Plot()->size(), screen.size()) << c.name;
        EXPECT_EQ(Plot()->mapToGlobal(QPoint(0, 0)), screen.topLeft()) << c.name;
        // The plane is drawn at the new size.
        EXPECT_EQ(Plot()->BackBuffer().size(), screen.size()) << c.name;

        Trigger(ID_NORMAL_SCREEN);
        QApplication::processEvents();
        EXPECT_FALSE(Frame()->isFullScreen()) << c.name;
        EXPECT_FALSE(Plot()->IsFullScreen()) << c.name;
        EXPECT_EQ(Frame()->isMaximized(), c.bMaximized) << c.name;
        EXPECT_EQ(Frame()->geometry(), rcBefore) << c.name;
        EXPECT_TRUE(Frame()->menuBar()->isVisible()) << c.name;
        EXPECT_TRUE(Frame()->LeftPane()->isVisible()) << c.name;
        EXPECT_EQ(Frame()->LeftPane()->width(), kPanelWidth) << c.name;
        EXPECT_EQ(Frame()->ToolBar()->isVisible(), c.bToolBar) << c.name;
        EXPECT_EQ(Frame()->statusBar()->isVisible(), c.bStatusBar) << c.name;
        EXPECT_EQ(Frame()->Action(ID_VIEW_TOOLBAR)->isChecked(), c.bToolBar) << c.name;
        EXPECT_EQ(Plot()->BackBuffer().size(), Plot()->size()) << c.name;
    }
}

TEST_F(FullScreenTest, ShortcutsWorkWithoutTheMenuBar) {
    Trigger(ID_FULL_SCREEN);
    Frame()->activateWindow();
    Plot()->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Frame()));
    ASSERT_FALSE(Frame()->menuBar()->isVisible());
    QTest::keyClick(Plot(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(m_dialogs.size(), 1u); // the open dialog ran
    EXPECT_TRUE(Frame()->isFullScreen());
}
