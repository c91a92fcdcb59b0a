#include "expr/InputFunDlg.h"
#include "platform/qt/DialogUnits.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct CShownMessage {
    QMessageBox::Icon icon;
    QString caption;
    QString text;
};
std::vector<CShownMessage> g_messages;

QMessageBox::StandardButton RecordMessage(QMessageBox& box) {
    g_messages.push_back({box.icon(), box.windowTitle(), box.text()});
    return QMessageBox::Ok;
}

class InputFunDlgTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_messages.clear();
        SetMessageHook(&RecordMessage);
    }
    void TearDown() override { SetMessageHook({}); }

    QPushButton* Button(const char* text) {
        for (QPushButton* p : m_dlg.findChildren<QPushButton*>())
            if (p->text() == QString::fromUtf8(text)) return p;
        return nullptr;
    }
    // Types the text as the user would and confirms with the default button.
    void TypeAndConfirm(const QString& text) {
        m_dlg.show();
        m_dlg.Edit()->clear();
        QTest::keyClicks(m_dlg.Edit(), text);
        QTest::mouseClick(Button("确定(&Y)"), Qt::LeftButton);
    }

    CInputFunDlg m_dlg;
};

TEST_F(InputFunDlgTest, TemplateTextsAndPlacement) {
    EXPECT_EQ(m_dlg.windowTitle(), QString::fromUtf8("输入函数式"));
    ASSERT_NE(Button("确定(&Y)"), nullptr);
    ASSERT_NE(Button("放弃(&N)"), nullptr);
    EXPECT_TRUE(Button("确定(&Y)")->isDefault());
    const CDialogBaseUnits units = DialogBaseUnits(m_dlg.font());
    EXPECT_GT(units.m_nCharWidth, 0);
    EXPECT_GT(units.m_nCharHeight, 0);
    EXPECT_EQ(m_dlg.Edit()->geometry(), DialogRectToPixels(47, 21, 108, 14, units));
}

TEST(DialogUnits, BaseUnitRuleRoundsLikeMulDiv) {
    const CDialogBaseUnits units{7, 15};
    EXPECT_EQ(DialogUnitsToPixelsX(4, units), 7);
    EXPECT_EQ(DialogUnitsToPixelsX(2, units), 4); // 3.5 rounds up
    EXPECT_EQ(DialogUnitsToPixelsY(8, units), 15);
    EXPECT_EQ(DialogUnitsToPixelsY(187, units), 351); // 350.6
    EXPECT_EQ(DialogRectToPixels(47, 21, 108, 14, units), QRect(82, 39, 189, 27));
}

TEST_F(InputFunDlgTest, ValidTextIsAcceptedAsTypedWithItsNodes) {
    const struct {
        const char* typed;
        std::size_t nodes;
    } cases[] = {
        {"sin(x)+2*x^2", 5},
        {"SIN(X)", 2}, // letters lowered for compiling, kept in capitals for the record
        {"-x", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        m_dlg.m_pNodes.reset();
        TypeAndConfirm(QString::fromUtf8(c.typed));
        EXPECT_EQ(m_dlg.result(), QDialog::Accepted);
        EXPECT_FALSE(m_dlg.isVisible());
        EXPECT_EQ(m_dlg.m_strFun, c.typed);
        ASSERT_NE(m_dlg.m_pNodes, nullptr);
        EXPECT_EQ(m_dlg.m_pNodes->size(), c.nodes);
        EXPECT_TRUE(g_messages.empty());
    }
}

TEST_F(InputFunDlgTest, RefusedTextShowsItsMessageAndStaysOpen) {
    const struct {
        const char* typed;
        QMessageBox::Icon icon;
        const char* caption;
        const char* text;
    } cases[] = {
        {"2x", QMessageBox::Critical, "错误", "输入无效的函数式，请检验输入是否正确。"},
        {"1.2.3", QMessageBox::Critical, "错误", "输入无效的函数式，请检验输入是否正确。"},
        {"x_a", QMessageBox::Warning, "Curvist", "Error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        g_messages.clear();
        m_dlg.setResult(0);
        TypeAndConfirm(QString::fromUtf8(c.typed));
        EXPECT_TRUE(m_dlg.isVisible());
        EXPECT_NE(m_dlg.result(), QDialog::Accepted);
        EXPECT_EQ(m_dlg.m_pNodes, nullptr);
        ASSERT_EQ(g_messages.size(), 1u);
        EXPECT_EQ(g_messages[0].icon, c.icon);
        EXPECT_EQ(g_messages[0].caption, QString::fromUtf8(c.caption));
        EXPECT_EQ(g_messages[0].text, QString::fromUtf8(c.text));
        EXPECT_EQ(m_dlg.Edit()->text(), QString::fromUtf8(c.typed)); // kept for correcting
    }
}

// While typing, the line under the field names the first problem; 改为 applies the rewrite,
// which the field's undo takes back.
TEST_F(InputFunDlgTest, HintLineAndRewriteWhileTyping) {
    m_dlg.show();
    QTest::keyClicks(m_dlg.Edit(), QStringLiteral("2x"));
    EXPECT_EQ(m_dlg.HintLabel()->text(),
              QString::fromUtf8("提示：第2个字符前缺少乘号，可写成 2*x"));
    ASSERT_TRUE(m_dlg.RewriteButton()->isVisible());
    EXPECT_EQ(m_dlg.RewriteButton()->text(), QString::fromUtf8("改为"));

    QTest::mouseClick(m_dlg.RewriteButton(), Qt::LeftButton);
    EXPECT_EQ(m_dlg.Edit()->text(), QStringLiteral("2*x"));
    EXPECT_FALSE(m_dlg.Edit()->hasSelectedText()); // the next key does not replace it
    EXPECT_EQ(m_dlg.HintLabel()->text(), QString());
    EXPECT_FALSE(m_dlg.RewriteButton()->isVisible());
    m_dlg.Edit()->undo();
    EXPECT_EQ(m_dlg.Edit()->text(), QStringLiteral("2x"));

    // A problem with no one rewrite is named, with nothing to apply.
    m_dlg.Edit()->clear();
    QTest::keyClicks(m_dlg.Edit(), QStringLiteral("x+y"));
    EXPECT_EQ(m_dlg.HintLabel()->text(), QString::fromUtf8("提示：第3个字符“y”不是式中可用的字符"));
    EXPECT_FALSE(m_dlg.RewriteButton()->isVisible());

    // The rewritten text is accepted.
    m_dlg.Edit()->setText(QStringLiteral("sin 2x"));
    QTest::mouseClick(m_dlg.RewriteButton(), Qt::LeftButton);
    QTest::mouseClick(Button("确定(&Y)"), Qt::LeftButton);
    EXPECT_EQ(m_dlg.result(), QDialog::Accepted);
    EXPECT_EQ(m_dlg.m_strFun, "sin(2*x)");
    EXPECT_TRUE(g_messages.empty());
}

TEST_F(InputFunDlgTest, EmptyTextDoesNothing) {
    TypeAndConfirm(QString());
    EXPECT_TRUE(m_dlg.isVisible());
    EXPECT_TRUE(g_messages.empty());
    EXPECT_EQ(m_dlg.m_pNodes, nullptr);
}

TEST_F(InputFunDlgTest, PresetTextIsShownAndEnterConfirmsIt) {
    m_dlg.m_strFun = "\xCF\xC2x"; // CP936 bytes reach the edit as Unicode
    m_dlg.show();
    EXPECT_EQ(m_dlg.Edit()->text(), QString::fromUtf8("下x"));
    m_dlg.Edit()->setText(QStringLiteral("cosx"));
    QTest::keyClick(m_dlg.Edit(), Qt::Key_Return);
    EXPECT_EQ(m_dlg.result(), QDialog::Accepted);
    EXPECT_EQ(m_dlg.m_strFun, "cosx");
    ASSERT_NE(m_dlg.m_pNodes, nullptr);
}

TEST_F(InputFunDlgTest, CancelHandsNothingOver) {
    m_dlg.show();
    QTest::keyClicks(m_dlg.Edit(), QStringLiteral("x"));
    QTest::mouseClick(Button("放弃(&N)"), Qt::LeftButton);
    EXPECT_EQ(m_dlg.result(), QDialog::Rejected);
    EXPECT_EQ(m_dlg.m_pNodes, nullptr);
}

} // namespace
