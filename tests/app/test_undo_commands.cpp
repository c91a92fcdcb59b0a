// Undo and redo through the window: the Edit menu's actions follow the history and name its
// steps, the picture after each is a full repaint's, the save question follows the history,
// and the keys reach the document unless a text field has the focus.

#include "PlotFixture.h"

#include "app/PictureCommands.h"
#include "panel/ColorCombo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QStatusBar>
#include <new>
#include <utility>

namespace {

QString U(const char* sz) {
    return QString::fromUtf8(sz);
}

class UndoCommandsTest : public PlotFixture {
  protected:
    CControlView* Panel() const { return m_app->m_pControlView; }
    QAction* UndoAction() const { return Frame()->Action(ID_EDIT_UNDO); }
    QAction* RedoAction() const { return Frame()->Action(ID_EDIT_REDO); }
    void ClickRow(int nRow) { Panel()->ListFun()->setCurrentRow(nRow); }
    void Choose(QComboBox* pCombo, int nEntry) {
        pCombo->setCurrentIndex(nEntry);
        emit pCombo->activated(nEntry);
    }
    // The picture in the window is what a full repaint of the same state draws.
    bool PictureIsFresh() {
        const QImage shown = Plot()->BackBuffer().copy();
        Plot()->FullRepaint();
        return shown == Plot()->BackBuffer();
    }
    void ExpectActions(const char* undo, const char* redo) {
        EXPECT_EQ(UndoAction()->isEnabled(), undo != nullptr);
        EXPECT_EQ(RedoAction()->isEnabled(), redo != nullptr);
        EXPECT_EQ(UndoAction()->statusTip(), undo ? U(undo) : U("撤销上一步操作"));
        EXPECT_EQ(RedoAction()->statusTip(), redo ? U(redo) : U("重做上一步撤销的操作"));
    }
};

TEST_F(UndoCommandsTest, EachChangeIsUndoneAndRedoneByName) {
    PlaceOrigin();
    ExpectActions(nullptr, nullptr);
    const struct {
        const char* what;
        std::function<void()> op;
        const char* name;
    } changes[] = {
        {"add", [&] { AddFunction("sinx"); }, "添加函数 Y=sinx"},
        {"add another, over the first", [&] { AddFunction("x/2"); }, "添加函数 Y=x/2"},
        {"modify",
         [&] {
             m_typed.push_back("cosx");
             Trigger(ID_FUN_MODIFY);
         },
         "把函数 Y=sinx 修改为 Y=cosx"},
        {"hide", [&] { Panel()->CheckShow()->click(); }, "隐藏函数 Y=cosx"},
        {"show", [&] { Panel()->CheckShow()->click(); }, "显示函数 Y=cosx"},
        {"colour", [&] { Choose(Panel()->ComboColor(), 2); }, "把函数 Y=cosx 的颜色改为蓝色"},
        {"lower bound", [&] { Choose(Panel()->ComboMin(), 1); },
         "把函数 Y=cosx 的定义域下限改为 -3.141592653589793"},
        {"typed upper bound",
         [&] {
             Panel()->ComboMax()->lineEdit()->selectAll();
             QTest::keyClicks(Panel()->ComboMax()->lineEdit(), QStringLiteral("2.5"));
         },
         "把函数 Y=cosx 的定义域上限改为 2.5"},
        {"delete the first, under the second", [&] { Trigger(ID_FUN_DELETE); }, "删除函数 Y=cosx"},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.what);
        ClickRow(0);
        c.op();
        const QString name = U(c.name);
        ExpectActions(("撤销" + std::string(c.name)).c_str(), nullptr);
        Trigger(ID_EDIT_UNDO);
        EXPECT_TRUE(PictureIsFresh());
        EXPECT_TRUE(RedoAction()->isEnabled());
        EXPECT_EQ(RedoAction()->statusTip(), U("重做") + name);
        Trigger(ID_EDIT_REDO);
        EXPECT_TRUE(PictureIsFresh());
        EXPECT_FALSE(RedoAction()->isEnabled());
        EXPECT_EQ(UndoAction()->statusTip(), U("撤销") + name);
    }
    // Back to the start, step by step; the name of the step ahead is always the one undone.
    for (int n = static_cast<int>(std::size(changes)) - 1; n >= 0; --n) {
        Trigger(ID_EDIT_UNDO);
        EXPECT_EQ(RedoAction()->statusTip(), U("重做") + U(changes[n].name)) << n;
    }
    ExpectActions(nullptr, "重做添加函数 Y=sinx");
    EXPECT_EQ(Rows(), 0);
    EXPECT_TRUE(PictureIsFresh());
}

// The save question is asked only when the document differs from its file.
TEST_F(UndoCommandsTest, TheSaveQuestionFollowsTheHistory) {
    AddFunction("x");
    m_names.push_back(Path("a.cvx"));
    Trigger(ID_FILE_SAVE);
    AddFunction("x^2");
    EXPECT_TRUE(m_app->Doc().IsModified());
    Trigger(ID_EDIT_UNDO);
    EXPECT_FALSE(m_app->Doc().IsModified());
    Trigger(ID_EDIT_UNDO);
    Trigger(ID_EDIT_REDO);
    EXPECT_FALSE(m_app->Doc().IsModified());
    Trigger(ID_EDIT_REDO);
    EXPECT_TRUE(m_app->Doc().IsModified());
    Trigger(ID_EDIT_UNDO);

    Trigger(ID_FILE_NEW); // back at the saved state: no question
    EXPECT_TRUE(m_messages.empty());
    ExpectActions(nullptr, nullptr);

    AddFunction("x^3");
    m_answers.push_back(QMessageBox::No);
    m_names.push_back(Path("a.cvx"));
    Trigger(ID_FILE_OPEN);
    EXPECT_EQ(m_messages.size(), 1u);
    ASSERT_EQ(Rows(), 1);
    ExpectActions(nullptr, nullptr);
    EXPECT_FALSE(m_app->Doc().IsModified());
}

// Ctrl+Z and Ctrl+Y (or Ctrl+Shift+Z) undo and redo the document from the plot or the list;
// in a domain field Ctrl+Z is the field's own.
TEST_F(UndoCommandsTest, KeysReachTheDocumentButATextFieldKeepsItsOwn) {
    Frame()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Frame()));
    AddFunction("x");
    const struct {
        QWidget* target;
        QKeyCombination key;
        int rows;
    } keys[] = {
        {Plot(), Qt::CTRL | Qt::Key_Z, 0},
        {Plot(), Qt::CTRL | Qt::Key_Y, 1},
        {Panel()->ListFun(), Qt::CTRL | Qt::Key_Z, 0},
        {Panel()->ListFun(), Qt::CTRL | Qt::SHIFT | Qt::Key_Z, 1},
    };
    for (const auto& k : keys) {
        k.target->setFocus();
        QTest::keyClick(k.target, k.key.key(), k.key.keyboardModifiers());
        EXPECT_EQ(Rows(), k.rows) << k.target->metaObject()->className();
    }

    AddFunction("x+1");
    Trigger(ID_EDIT_UNDO);
    ClickRow(0);
    QLineEdit* pMin = Panel()->ComboMin()->lineEdit();
    pMin->setFocus();
    ASSERT_TRUE(pMin->hasFocus());
    QTest::keyClick(pMin, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Rows(), 1);
    Plot()->setFocus();
    QTest::keyClick(Plot(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Rows(), 2);

    // Typed in the field and taken back by the field's own undo, back to the open end: the
    // document is as it was, no step of it undone or added.
    ClickRow(0);
    pMin->setFocus();
    pMin->selectAll();
    QTest::keyClicks(pMin, QStringLiteral("2.5"));
    ASSERT_EQ(m_app->Doc().m_arFuns[0]->m_strMin, "2.5");
    QTest::keyClick(pMin, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(pMin->text(), U("-∞"));
    EXPECT_EQ(m_app->Doc().m_arFuns[0]->m_strMin, kStrMinusInf);
    EXPECT_EQ(Rows(), 2);
    EXPECT_EQ(UndoAction()->statusTip(), U("撤销添加函数 Y=x+1"));
    QTest::keyClick(pMin, Qt::Key_Y, Qt::ControlModifier); // the field's redo
    EXPECT_EQ(pMin->text(), U("2.5"));
    EXPECT_EQ(m_app->Doc().m_arFuns[0]->m_strMin, "2.5");
    EXPECT_EQ(Rows(), 2);
}

// Memory running out in the middle of a command (forced here by a listener that throws) ends the
// command with "内存不足", the document and its history as they were and the picture whole.
TEST_F(UndoCommandsTest, RunningOutOfMemoryKeepsTheDocument) {
    PlaceOrigin();
    AddFunction("sinx");
    AddFunction("x/2");
    struct CFailOnce : IFunListListener {
        bool bArmed = true;
        void OnFunListChanged(const CFunChange&) override {
            if (std::exchange(bArmed, false)) throw std::bad_alloc();
        }
    } fail;
    CFunListEditor& editor = m_app->Doc().Editor();
    editor.AddListener(&fail);
    Trigger(ID_EDIT_UNDO);
    editor.RemoveListener(&fail);
    EXPECT_EQ(m_messages, std::vector<QString>{U("内存不足。")});
    EXPECT_EQ(m_app->Doc().m_arFuns.size(), 2u);
    EXPECT_EQ(Rows(), 2);
    EXPECT_EQ(UndoAction()->statusTip(), U("撤销添加函数 Y=x/2"));
    EXPECT_TRUE(PictureIsFresh());

    m_messages.clear();
    OnDialog<QFileDialog>([](QFileDialog&) -> bool { throw std::bad_alloc(); });
    Trigger(ID_FILE_EXPORT);
    EXPECT_EQ(m_messages, std::vector<QString>{U("内存不足。")});
    EXPECT_EQ(m_app->Doc().m_arFuns.size(), 2u);
    Trigger(ID_EDIT_UNDO);
    EXPECT_EQ(m_app->Doc().m_arFuns.size(), 1u);
    EXPECT_EQ(Rows(), 1);
}

// A long text is shown cut, with "…", in its row and in the names of its steps; the document
// keeps it whole.
TEST_F(UndoCommandsTest, ALongTextIsShownCut) {
    const std::string text = "x+0." + std::string(300, '0') + "1";
    m_typed.push_back(text);
    Trigger(ID_FUN_ADD);
    ASSERT_EQ(m_app->Doc().m_arFuns.size(), 1u);
    EXPECT_EQ(m_app->Doc().m_arFuns[0]->m_strFun, text);
    const QString shown = U("Y=") + U(text.substr(0, 200).c_str()) + QChar(0x2026);
    EXPECT_EQ(Panel()->ListFun()->item(0)->text(), shown);
    EXPECT_EQ(UndoAction()->statusTip(), U("撤销添加函数 ") + shown);
    Trigger(ID_EDIT_UNDO);
    Trigger(ID_EDIT_REDO);
    EXPECT_EQ(Panel()->ListFun()->item(0)->text(), shown);
}

} // namespace
