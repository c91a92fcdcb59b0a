// The function list's keys: Delete, Enter and F2, Space act on the selected function as the
// panel's buttons and check box do, and only while the list has the focus; a colour that
// another function has is refused with a note that names it.

#include "AppFixture.h"

#include "document/ColorTable.h"
#include "panel/ColorCombo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QStatusBar>

namespace {

class ListKeysTest : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        Frame()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Frame()));
        AddFunction("x");
        AddFunction("sinx");
    }
    CControlView* Panel() const { return m_app->m_pControlView; }
    CColorListBox* List() const { return Panel()->ListFun(); }
    QString RowText(int i) const { return List()->item(i)->text(); }
    const CDataFun& Fun(int i) const {
        return *m_app->Doc().m_arFuns.at(static_cast<std::size_t>(i));
    }
    void KeyInList(Qt::Key key, int nSelect) {
        List()->setCurrentRow(nSelect);
        List()->setFocus();
        QTest::keyClick(List(), key);
    }
};

TEST_F(ListKeysTest, KeysActOnTheSelectedFunction) {
    const struct {
        const char* name;
        Qt::Key key;
        int nSelect;            // -1: nothing selected
        const char* typed;      // the modify dialog's answer; null: no dialog expected
        QStringList rows;       // afterwards
        bool bFirstShown;       // the first function afterwards
        int nSelectedAfterward; // -1: nothing selected
    } cases[] = {
        {"Delete", Qt::Key_Delete, 0, nullptr, {"Y=sinx"}, true, -1},
        {"Delete, nothing selected", Qt::Key_Delete, -1, nullptr, {"Y=x", "Y=sinx"}, true, -1},
        {"Enter", Qt::Key_Return, 0, "x^3", {"Y=x^3", "Y=sinx"}, true, 0},
        {"keypad Enter", Qt::Key_Enter, 1, "cosx", {"Y=x", "Y=cosx"}, true, 1},
        {"F2", Qt::Key_F2, 0, "x+1", {"Y=x+1", "Y=sinx"}, true, 0},
        {"F2, nothing selected", Qt::Key_F2, -1, nullptr, {"Y=x", "Y=sinx"}, true, -1},
        {"Space hides", Qt::Key_Space, 0, nullptr, {"Y=x", "Y=sinx"}, false, 0},
        {"Space, nothing selected", Qt::Key_Space, -1, nullptr, {"Y=x", "Y=sinx"}, true, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_onDialog = nullptr;
        m_answers = {QMessageBox::No}; // the save question
        Trigger(ID_FILE_NEW);
        m_messages.clear();
        AddFunction("x");
        AddFunction("sinx");
        int nDialogs = 0;
        OnDialog<CInputFunDlg>([&](CInputFunDlg& dlg) {
            ++nDialogs;
            if (!c.typed) return false;
            dlg.Edit()->setText(QString::fromUtf8(c.typed));
            dlg.accept();
            return dlg.result() == QDialog::Accepted;
        });
        KeyInList(c.key, c.nSelect);
        EXPECT_EQ(nDialogs, c.typed ? 1 : 0);
        QStringList rows;
        for (int i = 0; i < List()->count(); ++i)
            rows << RowText(i);
        EXPECT_EQ(rows, c.rows);
        EXPECT_EQ(Fun(0).m_bShow != 0, c.bFirstShown);
        EXPECT_EQ(Panel()->SelectedRow(), c.nSelectedAfterward);
        EXPECT_TRUE(m_messages.empty());
    }
    // Space again shows the function, and the check box follows; undo takes it back.
    KeyInList(Qt::Key_Space, 0);
    KeyInList(Qt::Key_Space, 0);
    EXPECT_EQ(Fun(0).m_bShow, 1);
    EXPECT_TRUE(Panel()->CheckShow()->isChecked());
    Trigger(ID_EDIT_UNDO);
    EXPECT_EQ(Fun(0).m_bShow, 0);
}

// Elsewhere the keys are the widgets' own: in a domain field Delete and Space edit the text
// and F2 does nothing; on the plane none of them touches the list.
TEST_F(ListKeysTest, KeysOutsideTheListLeaveTheFunctionsAlone) {
    List()->setCurrentRow(0);
    QLineEdit* pMin = Panel()->ComboMin()->lineEdit();
    pMin->setFocus();
    pMin->setText(QStringLiteral("12"));
    pMin->setCursorPosition(0);
    for (Qt::Key key : {Qt::Key_Delete, Qt::Key_F2, Qt::Key_Space})
        QTest::keyClick(pMin, key);
    EXPECT_EQ(pMin->text(), QStringLiteral("2"));
    Frame()->PlotWindow()->setFocus();
    for (Qt::Key key : {Qt::Key_Delete, Qt::Key_F2, Qt::Key_Return, Qt::Key_Space})
        QTest::keyClick(Frame()->PlotWindow(), key);
    EXPECT_EQ(List()->count(), 2);
    EXPECT_EQ(Fun(0).m_bShow, 1);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(ListKeysTest, AColourInUseIsRefusedWithANote) {
    List()->setCurrentRow(1);
    const COLORREF own = Fun(1).m_clrFun;
    const int nTaken = ColorIndexOf(Fun(0).m_clrFun);
    QComboBox* pColor = Panel()->ComboColor();
    pColor->setCurrentIndex(nTaken);
    emit pColor->activated(nTaken);
    EXPECT_EQ(Fun(1).m_clrFun, own);
    EXPECT_EQ(pColor->currentIndex(), ColorIndexOf(own));
    const QString note = Frame()->statusBar()->currentMessage();
    EXPECT_TRUE(note.contains(QString::fromUtf8(kColorTable[std::size_t(nTaken)].m_szName)))
        << note.toStdString();
    EXPECT_TRUE(note.contains(QStringLiteral("Y=x"))) << note.toStdString();

    // Its own colour again is no change and needs no note; a free one is taken.
    Frame()->statusBar()->clearMessage();
    pColor->setCurrentIndex(ColorIndexOf(own));
    emit pColor->activated(ColorIndexOf(own));
    EXPECT_TRUE(Frame()->statusBar()->currentMessage().isEmpty());
    const int nFree = 8;
    ASSERT_NE(kColorTable[nFree].m_clr, Fun(0).m_clrFun);
    pColor->setCurrentIndex(nFree);
    emit pColor->activated(nFree);
    EXPECT_EQ(Fun(1).m_clrFun, kColorTable[nFree].m_clr);
    EXPECT_TRUE(Frame()->statusBar()->currentMessage().isEmpty());
}

} // namespace
