// The plot's right-button menu: its layout and check marks, and where each entry leads.

#include "PlotFixture.h"

#include "app/ContextMenu.h"
#include "settings/VisParamDlg.h"

#include <QMenu>

namespace {

// Entry texts, "-" for a separator, "[x]" after a checked entry, ">" + title, the sub-menu's
// entries and "<" for the sub-menu.
QStringList Layout(QMenu& menu) {
    QStringList out;
    for (QAction* a : menu.actions()) {
        if (a->isSeparator())
            out << QStringLiteral("-");
        else if (a->menu())
            out << QStringLiteral(">") + a->text() << Layout(*a->menu()) << "<";
        else
            out << a->text() + (a->isChecked() ? QStringLiteral("[x]") : QString());
        if (!a->isEnabled()) out << QStringLiteral("(disabled)");
    }
    return out;
}

QAction* Find(QMenu& menu, const QString& text) {
    for (QAction* a : menu.actions()) {
        if (a->text() == text) return a;
        if (a->menu())
            if (QAction* sub = Find(*a->menu(), text)) return sub;
    }
    return nullptr;
}

} // namespace

class ContextMenuTest : public PlotFixture {
  protected:
    // A right click at p; the menu is recorded and `pick` chosen (none when empty).
    QStringList RightClick(QPoint p, const char* pick = "") {
        QStringList layout;
        SetPopupHook([&](QMenu& menu, const QPoint& at) {
            layout = Layout(menu);
            m_at = at;
            return *pick ? Find(menu, QString::fromUtf8(pick)) : nullptr;
        });
        QTest::mousePress(Plot(), Qt::RightButton, Qt::NoModifier, p);
        EXPECT_TRUE(layout.isEmpty()); // not on the press
        QTest::mouseRelease(Plot(), Qt::RightButton, Qt::NoModifier, p);
        return layout;
    }
    QPoint m_at;
};

TEST_F(ContextMenuTest, LayoutAndCheckMarksFollowTheFlags) {
    const char* tail =
        "|-|添加函数...|修改函数...|删除函数|-|实时移动%1|实时缩放%2|-|放大|缩小|复位|-|"
        ">原点位置|居中|-|左侧|右侧|顶部|底部|-|左上角|左下角|右上角|右下角|<|-|"
        "显示参数设置...";
    const struct {
        bool bMove, bZoom, bFull;
        const char* first;
    } cases[] = {
        {false, false, false, "全屏显示(&F)"},
        {true, false, false, "全屏显示(&F)"},
        {false, true, true, "正常显示(&F)"},
    };
    for (const auto& c : cases) {
        Frame()->m_bRealMove = c.bMove;
        Frame()->m_bRealZoom = c.bZoom;
        Plot()->SetFullScreen(c.bFull);
        const QString expected =
            QString::fromUtf8(c.first) +
            QString::fromUtf8(tail).arg(c.bMove ? "[x]" : "").arg(c.bZoom ? "[x]" : "");
        EXPECT_EQ(RightClick({150, 120}), expected.split(u'|'));
        EXPECT_EQ(m_at, Plot()->mapToGlobal(QPoint(150, 120)));
    }
}

TEST_F(ContextMenuTest, ChosenEntriesReachTheirHandlers) {
    // Entry 6 from move mode: zoom on, move off; the next menu shows it.
    Trigger(ID_REAL_MOVE);
    RightClick({100, 100}, "实时缩放");
    EXPECT_TRUE(Frame()->m_bRealZoom);
    EXPECT_FALSE(Frame()->m_bRealMove);
    EXPECT_EQ(Plot()->CurrentCursor(), ECursor::Zoom);
    EXPECT_TRUE(RightClick({100, 100}).contains(QString::fromUtf8("实时缩放[x]")));
    // Entry 1 alternates.
    RightClick({100, 100}, "全屏显示(&F)");
    EXPECT_TRUE(Plot()->IsFullScreen());
    EXPECT_EQ(RightClick({100, 100}).first(), QString::fromUtf8("正常显示(&F)"));
    RightClick({100, 100}, "正常显示(&F)");
    EXPECT_FALSE(Plot()->IsFullScreen());
    // Choosing nothing changes nothing.
    const int scale = View()->Plane().m_nScale;
    RightClick({100, 100});
    EXPECT_EQ(View()->Plane().m_nScale, scale);
}

TEST_F(ContextMenuTest, EntriesAreTheFramesOwnActions) {
    QList<QAction*> entries;
    SetPopupHook([&](QMenu& menu, const QPoint&) {
        for (QMenu* m : {&menu, menu.findChild<QMenu*>()})
            for (QAction* a : m->actions())
                if (!a->isSeparator() && !a->menu()) entries << a;
        return nullptr;
    });
    QTest::mouseClick(Plot(), Qt::RightButton, Qt::NoModifier, {100, 100});
    ASSERT_EQ(entries.size(), 19);
    for (QAction* a : entries) {
        EXPECT_EQ(Frame()->Action(a->data().toInt()), a) << a->text().toStdString();
        EXPECT_EQ(a->parent(), Frame()) << a->text().toStdString();
    }
}

TEST_F(ContextMenuTest, ZoomCommandsShowTheScale) {
    const struct {
        std::vector<int> ids;
        int scale;
    } cases[] = {
        {{ID_ZOOM_IN}, 110},
        {{ID_ZOOM_OUT}, 95},
        {{ID_ZOOM_IN, ID_ZOOM_IN, ID_ZOOM_RESET}, 100},
    };
    for (const auto& c : cases) {
        View()->ZoomStep(0);
        Frame()->PaneScale()->setText({});
        for (int id : c.ids)
            Trigger(id);
        EXPECT_EQ(View()->Plane().m_nScale, c.scale);
        EXPECT_EQ(PaneScale(), QString::asprintf("    比例：  %d%%    ", c.scale));
    }
}

TEST_F(ContextMenuTest, OriginPresetsInSubMenuOrder) {
    const int W = View()->ClientSize().cx, H = View()->ClientSize().cy;
    ASSERT_GT(W, 0);
    const QPoint expected[] = {{W / 2, H / 2}, {0, H / 2}, {W, H / 2}, {W / 2, 0}, {W / 2, H},
                               {0, 0},         {0, H},     {W, 0},     {W, H}};
    for (int i = 0; i < 9; ++i) {
        EditPlane(*View(), [&](CPlane& p) { p.m_nOriginX = p.m_nOriginY = 7; });
        Trigger(kOriginCommands[i]);
        EXPECT_EQ(QPoint(View()->Plane().m_nOriginX, View()->Plane().m_nOriginY), expected[i])
            << 1034 + i;
    }
}

TEST_F(ContextMenuTest, FunctionAndSettingsCommandsGoToThePanelAndDialog) {
    m_typed.push_back("x");
    Trigger(ID_FUN_ADD);
    ASSERT_EQ(Rows(), 1);
    m_app->m_pControlView->ListFun()->setCurrentRow(0);
    m_typed.push_back("x^2");
    Trigger(ID_FUN_MODIFY);
    EXPECT_EQ(m_app->Doc().m_arFuns[0]->m_strFun, "x^2");
    Trigger(ID_FUN_DELETE);
    EXPECT_EQ(Rows(), 0);
    Trigger(ID_FUN_DELETE); // nothing selected: nothing happens
    EXPECT_EQ(Rows(), 0);
    EXPECT_TRUE(m_messages.empty());

    int nRuns = 0;
    OnDialog<CVisParamDlg>([&](CVisParamDlg&) {
        ++nRuns;
        return false;
    });
    Trigger(ID_DISPLAY_SETTINGS);
    EXPECT_EQ(nRuns, 1);
}

TEST_F(ContextMenuTest, ModeTogglesAndUnknownIds) {
    Trigger(ID_REAL_MOVE);
    EXPECT_TRUE(Frame()->m_bRealMove);
    EXPECT_TRUE(Frame()->Action(ID_REAL_MOVE)->isChecked());
    Trigger(ID_REAL_MOVE);
    EXPECT_FALSE(Frame()->m_bRealMove);
    Trigger(ID_REAL_ZOOM);
    EXPECT_TRUE(Frame()->m_bRealZoom);

    const QImage before = Plot()->BackBuffer().copy();
    // Ids that name no command have no action to run.
    for (int id : {1045, 1024, 1046, 0}) {
        ASSERT_EQ(Frame()->Action(id), nullptr) << id;
        EXPECT_TRUE(Frame()->m_bRealZoom) << id;
        EXPECT_FALSE(Frame()->isFullScreen()) << id;
        EXPECT_EQ(View()->Plane().m_nScale, 100) << id;
        EXPECT_EQ(Plot()->BackBuffer(), before) << id;
    }
}
