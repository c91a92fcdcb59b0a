// Mouse navigation of the plot: modes, drags, cursors, the zoom drag, the pan, the read-out and
// the wheel.

#include "PlotFixture.h"

#include "app/PlotCursors.h"
#include "app/PlotSplitter.h"

#include <QToolTip>

namespace {

const char* Name(ECursor c) {
    return c == ECursor::Arrow ? "arrow" : c == ECursor::Move ? "move" : "zoom";
}

} // namespace

using MouseNavigationTest = PlotFixture;

// A script of mode toggles and button events, with the drags and the cursor after each step.
TEST_F(MouseNavigationTest, StateTableOfModesDragsAndCursor) {
    struct CStep {
        const char* what; // "M" / "Z": toolbar toggles; "L+", "L-", "M+", "M-": buttons
        bool bDragMove, bDragZoom;
        ECursor cursor;
    };
    const struct {
        const char* name;
        std::vector<CStep> steps;
    } cases[] = {
        {"idle left button does nothing",
         {{"L+", false, false, ECursor::Arrow}, {"L-", false, false, ECursor::Arrow}}},
        {"move mode drag",
         {{"M", false, false, ECursor::Move},
          {"L+", true, false, ECursor::Move},
          {"L-", false, false, ECursor::Move},
          {"M", false, false, ECursor::Arrow}}},
        {"zoom mode drag",
         {{"Z", false, false, ECursor::Zoom},
          {"L+", false, true, ECursor::Zoom},
          {"L-", false, false, ECursor::Zoom}}},
        {"modes exclude each other",
         {{"Z", false, false, ECursor::Zoom},
          {"M", false, false, ECursor::Move},
          {"Z", false, false, ECursor::Zoom},
          {"Z", false, false, ECursor::Arrow}}},
        {"middle drag with no mode",
         {{"M+", true, false, ECursor::Move}, {"M-", false, false, ECursor::Arrow}}},
        {"middle drag in zoom mode",
         {{"Z", false, false, ECursor::Zoom},
          {"M+", true, false, ECursor::Zoom},
          {"M-", false, false, ECursor::Zoom}}},
        {"both drags, left up ends both",
         {{"Z", false, false, ECursor::Zoom},
          {"L+", false, true, ECursor::Zoom},
          {"M+", true, true, ECursor::Zoom},
          {"L-", false, false, ECursor::Zoom}}},
        {"both drags, middle up ends the move",
         {{"Z", false, false, ECursor::Zoom},
          {"L+", false, true, ECursor::Zoom},
          {"M+", true, true, ECursor::Zoom},
          {"M-", false, true, ECursor::Zoom}}},
        {"middle up ends a left move drag",
         {{"M", false, false, ECursor::Move},
          {"L+", true, false, ECursor::Move},
          {"M+", true, false, ECursor::Move},
          {"M-", false, false, ECursor::Move}}},
    };
    const QPoint p(100, 100);
    for (const auto& c : cases) {
        Start();
        QApplication::processEvents();
        m_buttons = {};
        for (const CStep& s : c.steps) {
            const QString w = QString::fromLatin1(s.what);
            if (w == "M")
                Trigger(ID_REAL_MOVE);
            else if (w == "Z")
                Trigger(ID_REAL_ZOOM);
            else {
                const Qt::MouseButton b = w[0] == u'L' ? Qt::LeftButton : Qt::MiddleButton;
                if (w[1] == u'+')
                    Press(b, p);
                else
                    Release(b, p);
            }
            const std::string where = std::string(c.name) + " after " + s.what;
            EXPECT_EQ(Plot()->Mouse().IsDragMove(), s.bDragMove) << where;
            EXPECT_EQ(Plot()->Mouse().IsDragZoom(), s.bDragZoom) << where;
            EXPECT_STREQ(Name(Plot()->CurrentCursor()), Name(s.cursor)) << where;
            EXPECT_EQ(Plot()->cursor().shape(),
                      s.cursor == ECursor::Arrow ? Qt::ArrowCursor : Qt::BitmapCursor)
                << where;
        }
        EXPECT_EQ(Frame()->Action(ID_REAL_MOVE)->isChecked(), Frame()->m_bRealMove) << c.name;
        EXPECT_EQ(Frame()->Action(ID_REAL_ZOOM)->isChecked(), Frame()->m_bRealZoom) << c.name;
    }
}

TEST_F(MouseNavigationTest, CursorsAreDrawnArrowsWithTheirSigns) {
    for (const QStringList& art : {MoveCursorArt(), ZoomCursorArt()}) {
        ASSERT_EQ(art.size(), 32);
        for (const QString& row : art)
            EXPECT_EQ(row.size(), 32);
        EXPECT_EQ(art[0][0], u'X'); // the tip is the hot spot
        const QCursor cur = MakeCursor(art);
        EXPECT_EQ(cur.hotSpot(), QPoint(0, 0));
        EXPECT_EQ(cur.bitmap().size(), QSize(32, 32));
    }
    // The move cross at the lower right, the plus at the upper right, the minus lower down.
    EXPECT_EQ(MoveCursorArt()[22][22], u'X');
    EXPECT_EQ(ZoomCursorArt()[4][18], u'X');
    EXPECT_EQ(ZoomCursorArt()[15][26], u'X');
    EXPECT_EQ(ZoomCursorArt()[10][26], u' ');
}

// Vertical moves of a zoom drag from y = 300, with the scale, cells and scale pane after.
TEST_F(MouseNavigationTest, ZoomDragStepsEveryFivePixels) {
    const struct {
        const char* name;
        int base; // base cell size
        int startScale;
        std::vector<int> ys; // pointer rows after the press at 300
        int scale, cell;
        bool bRepainted; // picture and scale pane changed
    } cases[] = {
        {"5 px up", 50, 100, {295}, 105, 52, true},
        {"4 px up", 50, 100, {296}, 100, 50, false},
        {"4 then 1 more", 50, 100, {296, 295}, 105, 52, true},
        {"12 px drops 2", 50, 100, {288, 285}, 110, 55, true},
        {"5 px down", 50, 100, {305}, 95, 47, true},
        {"floor at 10", 50, 20, {400}, 10, 5, true},
        {"below the floor", 50, 10, {400}, 10, 5, false},
        {"width unchanged", 10, 100, {295}, 105, 10, false},
    };
    for (const auto& c : cases) {
        Start();
        QApplication::processEvents();
        m_buttons = {};
        EditPlane(*View(), [&](CPlane& p) {
            p.m_nBaseCellW = p.m_nBaseCellH = c.base;
            p.m_nScale = c.startScale;
            p.m_nCellW = p.m_nCellH = CCurvistView::ZoomedCell(c.base, c.startScale);
        });
        PlaceOrigin();
        Trigger(ID_REAL_ZOOM);
        Press(Qt::LeftButton, {200, 300});
        Frame()->PaneScale()->setText(QStringLiteral("unchanged"));
        Frame()->PaneX()->setText(QStringLiteral("unchanged"));
        const QImage before = Plot()->BackBuffer().copy();
        for (int y : c.ys)
            Move({200, y});
        EXPECT_EQ(View()->Plane().m_nScale, c.scale) << c.name;
        EXPECT_EQ(View()->Plane().m_nCellW, c.cell) << c.name;
        EXPECT_EQ(View()->Plane().m_nCellH, c.cell) << c.name;
        EXPECT_EQ(Plot()->BackBuffer() != before, c.bRepainted) << c.name;
        EXPECT_EQ(PaneScale() != "unchanged", c.bRepainted) << c.name;
        if (c.bRepainted) {
            EXPECT_EQ(PaneScale(), QString::asprintf("    比例：  %d%%    ", c.scale)) << c.name;
            // A zoom step that repainted goes on to the read-out.
            EXPECT_NE(PaneX(), "unchanged") << c.name;
        } else {
            EXPECT_EQ(PaneX(), "unchanged") << c.name; // the handler ended at once
        }
        Release(Qt::LeftButton, {200, c.ys.back()});
    }
}

TEST_F(MouseNavigationTest, PanFollowsThePointerPixelForPixel) {
    const struct {
        const char* name;
        bool bMoveMode;
        Qt::MouseButton button;
    } cases[] = {
        {"left in move mode", true, Qt::LeftButton},
        {"middle with no mode", false, Qt::MiddleButton},
    };
    for (const auto& c : cases) {
        Start();
        QApplication::processEvents();
        m_buttons = {};
        PlaceOrigin();
        if (c.bMoveMode) Trigger(ID_REAL_MOVE);
        Press(c.button, {200, 200});
        Frame()->PaneX()->setText(QStringLiteral("unchanged"));
        // A burst of moves is drawn once, at its last position.
        MoveTo({205, 199});
        MoveTo({217, 190});
        MoveTo({230, 180});
        EXPECT_EQ(View()->Plane().m_nOriginX, 320) << c.name;
        Flush();
        EXPECT_EQ(View()->Plane().m_nOriginX, 350) << c.name;
        EXPECT_EQ(View()->Plane().m_nOriginY, 240) << c.name;
        EXPECT_EQ(PaneX(), "unchanged") << c.name; // no read-out while dragging
        // The axes stand at the new origin and nothing is left at the old one.
        const QImage& img = Plot()->BackBuffer();
        EXPECT_EQ(img.pixel(350, 100) & 0xffffff, 0xffffffu) << c.name;
        EXPECT_EQ(img.pixel(320, 100) & 0xffffff, 0u) << c.name;
        // The release applies a move that has not been drawn yet.
        MoveTo({231, 181});
        Release(c.button, {231, 181});
        EXPECT_EQ(View()->Plane().m_nOriginX, 351) << c.name;
        EXPECT_EQ(View()->Plane().m_nOriginY, 241) << c.name;
        EXPECT_FALSE(Plot()->Mouse().IsDragMove()) << c.name;
        Move({232, 182});
        EXPECT_EQ(View()->Plane().m_nOriginX, 351) << c.name;
    }
}

// A drag ends with its button even when the release never reaches the plane: the context menu
// opened during the drag takes it, or it happens over another window, or the window loses the
// focus. The moves that follow only read out the coordinates.
TEST_F(MouseNavigationTest, ADragEndsWhenItsReleaseGoesElsewhere) {
    enum EWay { Menu, MoveWithoutButton, FocusOut };
    const struct {
        const char* name;
        bool bMoveMode;
        Qt::MouseButton button;
        EWay way;
    } cases[] = {
        {"middle drag, release taken by the menu", false, Qt::MiddleButton, Menu},
        {"move-mode drag, release taken by the menu", true, Qt::LeftButton, Menu},
        {"middle drag, released over another window", false, Qt::MiddleButton, MoveWithoutButton},
        {"move-mode drag, released over another window", true, Qt::LeftButton, MoveWithoutButton},
        {"middle drag, focus lost", false, Qt::MiddleButton, FocusOut},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Start();
        QApplication::processEvents();
        m_buttons = {};
        PlaceOrigin();
        if (c.bMoveMode) Trigger(ID_REAL_MOVE);
        Press(c.button, {200, 200});
        Move({210, 205});
        ASSERT_EQ(View()->Plane().m_nOriginX, 330);
        bool bDragInMenu = true;
        switch (c.way) {
        case Menu:
            SetPopupHook([&](QMenu&, const QPoint&) -> QAction* {
                bDragInMenu = Plot()->Mouse().IsDragMove();
                m_buttons &= ~Qt::MouseButtons(c.button); // the menu takes the release
                return nullptr;
            });
            Press(Qt::RightButton, {210, 205});
            Release(Qt::RightButton, {210, 205});
            EXPECT_FALSE(bDragInMenu);
            break;
        case MoveWithoutButton:
            m_buttons &= ~Qt::MouseButtons(c.button);
            break;
        case FocusOut: {
            QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
            QApplication::sendEvent(Plot(), &out);
            break;
        }
        }
        Move({240, 230});
        EXPECT_FALSE(Plot()->Mouse().IsDragMove());
        EXPECT_EQ(View()->Plane().m_nOriginX, 330);
        EXPECT_EQ(View()->Plane().m_nOriginY, 265);
        EXPECT_EQ(Plot()->CurrentCursor(), c.bMoveMode ? ECursor::Move : ECursor::Arrow);
        EXPECT_EQ(PaneX(), QStringLiteral("  X = -1.80"));
    }
}

TEST_F(MouseNavigationTest, ReadOutShowsWorldCoordinatesUnderThePointer) {
    PlaceOrigin();
    const struct {
        QPoint p;
        const char *x, *y;
    } cases[] = {
        {{370, 210}, "  X = 1.00", "  Y = 1.00"},
        {{320, 260}, "  X = 0.00", "  Y = 0.00"},
        {{245, 285}, "  X = -1.50", "  Y = -0.50"},
        {{321, 261}, "  X = 0.02", "  Y = -0.02"},
    };
    for (const auto& c : cases) {
        Move(c.p);
        EXPECT_EQ(PaneX(), QString::fromLatin1(c.x));
        EXPECT_EQ(PaneY(), QString::fromLatin1(c.y));
    }
}

// Wheel turns at (370, 210): vertical deltas by the notch, gathered from a touchpad.
TEST_F(MouseNavigationTest, WheelZoomsOneStepPerNotch) {
    const struct {
        const char* name;
        std::vector<QPoint> deltas;
        int scale;
    } cases[] = {
        {"one notch up", {{0, 120}}, 110},
        {"one notch down", {{0, -120}}, 95},
        {"two notches at once", {{0, 240}}, 120},
        {"touchpad adds up", {{0, 30}, {0, 30}, {0, 30}, {0, 30}}, 110},
        {"half a notch", {{0, 60}}, 100},
        {"turning back starts afresh", {{0, 60}, {0, -120}}, 95},
        {"horizontal ignored", {{120, 0}}, 100},
    };
    for (const auto& c : cases) {
        Start();
        QApplication::processEvents();
        PlaceOrigin();
        Frame()->PaneX()->setText(QStringLiteral("unchanged"));
        for (QPoint d : c.deltas)
            Wheel({370, 210}, d);
        EXPECT_EQ(View()->Plane().m_nScale, c.scale) << c.name;
        if (c.scale == 100) {
            EXPECT_EQ(PaneX(), "unchanged") << c.name;
            continue;
        }
        const double cell = View()->Plane().m_nCellW;
        EXPECT_EQ(PaneScale(), QString::asprintf("    比例：  %d%%    ", c.scale)) << c.name;
        EXPECT_EQ(PaneX(), QString::asprintf("  X = %.2f", 50 / cell)) << c.name;
        EXPECT_EQ(PaneY(), QString::asprintf("  Y = %.2f", 50 / cell)) << c.name;
    }
}

// A pointer resting near a curve names it in a tip: at 100-pixel cells column 477 is
// x = 1.57, where sin x = 1.00 lies on row 160. The read-out panes keep their own values.
TEST_F(MouseNavigationTest, RestingNearACurveShowsItsTip) {
    AddFunction("sinx");
    EditPlane(*View(),
              [](CPlane& p) { p.m_nBaseCellW = p.m_nBaseCellH = p.m_nCellW = p.m_nCellH = 100; });
    PlaceOrigin();
    const QString tip = QStringLiteral("Y=sinx  x = 1.57  y = 1.00");
    EXPECT_EQ(Plot()->CurveTipAt({477, 162}), tip);
    EXPECT_EQ(Plot()->CurveTipAt({477, 156}), QString());
    // A bounded domain joins the tip, with bounds of ±π read as π.
    m_app->Doc().Editor().SetDomain(0, 0, "-3.141592653589793");
    m_app->Doc().Editor().SetDomain(0, 1, "+2");
    EXPECT_EQ(Plot()->CurveTipAt({477, 162}), tip + QString::fromUtf8("  定义域 -π 到 +2"));
    m_app->Doc().Editor().SetDomain(0, 0, "-\xA1\xDE");
    m_app->Doc().Editor().SetDomain(0, 1, "+\xA1\xDE");

    // The tip event of Qt's timer: no tip far off or while a drag moves the plane, then one.
    const struct {
        const char* name;
        QPoint p;
        bool bDragging;
        QString text; // empty: no tip
    } cases[] = {
        {"far", {477, 120}, false, {}},
        {"near while dragging", {477, 162}, true, {}},
        {"near", {477, 162}, false, tip},
    };
    for (const auto& c : cases) {
        if (c.bDragging) Press(Qt::MiddleButton, c.p);
        Move(c.p);
        QHelpEvent help(QEvent::ToolTip, c.p, Global(c.p));
        QApplication::sendEvent(Plot(), &help);
        EXPECT_EQ(help.isAccepted(), !c.text.isEmpty()) << c.name;
        EXPECT_EQ(QToolTip::isVisible(), !c.text.isEmpty()) << c.name;
        if (!c.text.isEmpty()) {
            EXPECT_EQ(QToolTip::text(), c.text) << c.name;
        }
        if (c.bDragging) {
            Release(Qt::MiddleButton, c.p);
        } else {
            EXPECT_EQ(PaneX(), QStringLiteral("  X = 1.57")) << c.name;
        }
    }
    QToolTip::hideText();
}
