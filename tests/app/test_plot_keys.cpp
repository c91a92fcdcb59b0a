// The keyboard on the plane: arrows, zoom keys and Home drawn in place, the panel's keys left
// alone, and F11 / Escape for full-screen display.

#include "PlotFixture.h"

#include <QFile>

namespace {

class PlotKeysTest : public PlotFixture {
  protected:
    // The picture in the back buffer equals what a full repaint of the same state draws.
    void ExpectFreshPicture(const char* name) {
        const QImage inPlace = Plot()->BackBuffer().copy();
        Plot()->FullRepaint();
        EXPECT_TRUE(inPlace == Plot()->BackBuffer()) << name;
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(Plot(), key, mods);
    }
};

TEST_F(PlotKeysTest, KeysPanAndZoomInPlace) {
    const struct {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int ox, oy, scale;
    } cases[] = {
        {"right", Qt::Key_Right, Qt::NoModifier, 330, 260, 100},
        {"left", Qt::Key_Left, Qt::NoModifier, 310, 260, 100},
        {"up", Qt::Key_Up, Qt::NoModifier, 320, 250, 100},
        {"down", Qt::Key_Down, Qt::NoModifier, 320, 270, 100},
        {"shift+left: a cell", Qt::Key_Left, Qt::ShiftModifier, 270, 260, 100},
        {"shift+down: a cell", Qt::Key_Down, Qt::ShiftModifier, 320, 310, 100},
        {"keypad arrow", Qt::Key_Right, Qt::KeypadModifier, 330, 260, 100},
        {"+ (shifted)", Qt::Key_Plus, Qt::ShiftModifier, 320, 260, 110},
        {"keypad +", Qt::Key_Plus, Qt::KeypadModifier, 320, 260, 110},
        {"= (+ unshifted)", Qt::Key_Equal, Qt::NoModifier, 320, 260, 110},
        {"-", Qt::Key_Minus, Qt::NoModifier, 320, 260, 95},
        {"keypad -", Qt::Key_Minus, Qt::KeypadModifier, 320, 260, 95},
        {"ctrl+right is not the plane's", Qt::Key_Right, Qt::ControlModifier, 320, 260, 100},
        {"alt+- is not the plane's", Qt::Key_Minus, Qt::AltModifier, 320, 260, 100},
    };
    AddFunction("sinx");
    AddFunction("x^2/4");
    for (const auto& c : cases) {
        EditPlane(*View(), [](CPlane& p) { p.SetScale(100); });
        PlaceOrigin();
        Frame()->PaneScale()->setText(QStringLiteral("unchanged"));
        Key(c.key, c.mods);
        EXPECT_EQ(View()->Plane().m_nOriginX, c.ox) << c.name;
        EXPECT_EQ(View()->Plane().m_nOriginY, c.oy) << c.name;
        EXPECT_EQ(View()->GetScale(), c.scale) << c.name;
        EXPECT_EQ(PaneScale(), c.scale == 100 ? QStringLiteral("unchanged")
                                              : QString::asprintf("    比例：  %d%%    ", c.scale))
            << c.name;
        ExpectFreshPicture(c.name);
    }
}

// The read-out shows the world under the pointer after the plane moved under it, and stays as
// it is once the pointer has left.
TEST_F(PlotKeysTest, ReadOutFollowsThePointerOverThePlane) {
    PlaceOrigin();
    Move({370, 210});
    Key(Qt::Key_Right);
    EXPECT_EQ(PaneX(), QStringLiteral("  X = 0.80"));
    EXPECT_EQ(PaneY(), QStringLiteral("  Y = 1.00"));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(Plot(), &leave);
    Key(Qt::Key_Up);
    EXPECT_EQ(PaneY(), QStringLiteral("  Y = 1.00"));
}

// Home after moves and zooms: 100 % and the origin where "VisParam.ini" puts it for a new
// document (code 2: top right), as after a start.
TEST_F(PlotKeysTest, HomeResetsZoomAndOriginPreset) {
    QFile ini(Path("VisParam.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Coor]\nnOriginPlace=2\n");
    ini.close();
    Start();
    QApplication::processEvents();
    AddFunction("sinx");
    ASSERT_EQ(View()->Plane().m_nOriginX, Plot()->width());
    Key(Qt::Key_Left);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_Plus);
    Key(Qt::Key_Plus);
    ASSERT_EQ(View()->GetScale(), 120);
    Key(Qt::Key_Home);
    EXPECT_EQ(View()->Plane().m_nOriginX, Plot()->width());
    EXPECT_EQ(View()->Plane().m_nOriginY, 0);
    EXPECT_EQ(View()->GetScale(), 100);
    EXPECT_EQ(View()->Plane().m_nCellW, 50);
    EXPECT_EQ(PaneScale(), QStringLiteral("    比例：  100%    "));
    ExpectFreshPicture("home");
}

// Keys in the panel stay the panel's: the arrows move the list's selection, and neither they
// nor the zoom keys reach the plane.
TEST_F(PlotKeysTest, PanelKeysLeaveThePlaneAlone) {
    AddFunction("x");
    AddFunction("sinx");
    PlaceOrigin();
    CColorListBox* pList = m_app->m_pControlView->ListFun();
    pList->setCurrentRow(0);
    pList->setFocus(); // keys go where the focus is
    const CPlane before = View()->Plane();
    QTest::keyClick(pList, Qt::Key_Down);
    EXPECT_EQ(pList->currentRow(), 1);
    for (Qt::Key key : {Qt::Key_Plus, Qt::Key_Minus, Qt::Key_Home, Qt::Key_Left})
        QTest::keyClick(pList, key);
    EXPECT_TRUE(View()->Plane() == before);
}

// F11 switches full-screen display on and off, Escape leaves it, from the plane or the panel;
// out of full screen Escape does nothing.
TEST_F(PlotKeysTest, F11AndEscapeSwitchFullScreen) {
    Frame()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Frame()));
    QWidget* pList = m_app->m_pControlView->ListFun();
    const struct {
        const char* name;
        QWidget* pTarget;
        Qt::Key key;
        bool bFull;
    } steps[] = {
        {"Escape in a window", Plot(), Qt::Key_Escape, false},
        {"F11 on the plane enters", Plot(), Qt::Key_F11, true},
        {"F11 leaves", Plot(), Qt::Key_F11, false},
        {"F11 on the panel enters", pList, Qt::Key_F11, true},
        {"Escape leaves", Plot(), Qt::Key_Escape, false},
    };
    for (const auto& s : steps) {
        s.pTarget->setFocus();
        QTest::keyClick(s.pTarget, s.key);
        QApplication::processEvents();
        EXPECT_EQ(Frame()->isFullScreen(), s.bFull) << s.name;
        EXPECT_EQ(Plot()->IsFullScreen(), s.bFull) << s.name;
        EXPECT_EQ(Frame()->LeftPane()->isVisible(), !s.bFull) << s.name;
    }
}

} // namespace
