#include "settings/VisParamDlg.h"

#include "platform/qt/QtStrings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

std::vector<QString> g_messages;

QMessageBox::StandardButton RecordMessage(QMessageBox& box) {
    g_messages.push_back(box.text());
    return QMessageBox::Ok;
}

class VisParamDlgTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        g_messages.clear();
        SetMessageHook(&RecordMessage);
    }
    void TearDown() override { SetMessageHook({}); }

    std::string Path() const { return (m_dir.path() + "/VisParam.ini").toStdString(); }
    QByteArray FileBytes() const {
        QFile f(QString::fromStdString(Path()));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    std::unique_ptr<CVisParamDlg> Open() {
        auto pDlg = std::make_unique<CVisParamDlg>(nullptr, Path());
        pDlg->show();
        return pDlg;
    }
    static QPushButton* Button(CVisParamDlg& dlg, const char* text) {
        for (QPushButton* p : dlg.findChildren<QPushButton*>())
            if (p->text() == U(text)) return p;
        return nullptr;
    }
    static QString CheckedText(QButtonGroup* pGroup) {
        return pGroup->checkedButton() ? pGroup->checkedButton()->text() : QString();
    }
    // At rest and after every click: the axis-side placements are enabled only with the axis
    // and its tick values, the edge placements only with the grid lines and tick values.
    static void ExpectEnabling(const CVisParamDlg::CSide& s) {
        const bool bAxis = s.m_pAxis->isChecked();
        const bool bGrid = s.m_pGrid->isChecked();
        const bool bScale = s.m_pScale->isChecked();
        EXPECT_EQ(s.m_pPlace->button(0)->isEnabled(), bAxis && bScale);
        EXPECT_EQ(s.m_pPlace->button(1)->isEnabled(), bAxis && bScale);
        EXPECT_EQ(s.m_pPlace->button(2)->isEnabled(), bGrid && bScale);
        EXPECT_EQ(s.m_pPlace->button(3)->isEnabled(), bGrid && bScale);
        EXPECT_EQ(s.m_pPlaceGroup->isEnabled(), bScale);
        EXPECT_EQ(s.m_pSize->isEnabled(), bGrid);
        EXPECT_EQ(s.m_pSizeLabel->isEnabled(), bGrid);
        EXPECT_TRUE(s.m_pStep->isEnabled());
    }

    QTemporaryDir m_dir;
};

TEST_F(VisParamDlgTest, OpensWithDefaultsWithoutAFile) {
    auto pDlg = Open();
    EXPECT_EQ(pDlg->windowTitle(), U("显示参数设置"));
    for (const auto* pSide : {&pDlg->SideX(), &pDlg->SideY()}) {
        EXPECT_TRUE(pSide->m_pAxis->isChecked());
        EXPECT_TRUE(pSide->m_pGrid->isChecked());
        EXPECT_TRUE(pSide->m_pScale->isChecked());
        EXPECT_EQ(pSide->m_pSize->text(), "50");
        EXPECT_EQ(pSide->m_pStep->text(), "1");
        ExpectEnabling(*pSide);
    }
    EXPECT_EQ(CheckedText(pDlg->OriginGroup()), U("居中"));
    EXPECT_EQ(CheckedText(pDlg->SideX().m_pPlace), U("底部"));
    EXPECT_EQ(CheckedText(pDlg->SideY().m_pPlace), U("右侧"));
    EXPECT_EQ(pDlg->SideX().m_pAxis->text(), U("显示X轴"));
    EXPECT_EQ(pDlg->SideY().m_pGrid->text(), U("显示垂直格线"));
}

// Every combination of axis, grid lines and tick values on one side, the other side at rest.
TEST_F(VisParamDlgTest, EnablingRulesAtOpening) {
    for (int bits = 0; bits < 8; ++bits) {
        for (bool bX : {true, false}) {
            SCOPED_TRACE(testing::Message() << "bits " << bits << (bX ? " X" : " Y"));
            CVisParam p;
            (bX ? p.x.bShowAxis : p.y.bShowAxis) = bits & 1;
            (bX ? p.x.bShowGrid : p.y.bShowGrid) = (bits >> 1) & 1;
            (bX ? p.x.bShowScale : p.y.bShowScale) = (bits >> 2) & 1;
            ASSERT_TRUE(SaveVisParam(p, Path()));
            auto pDlg = Open();
            ExpectEnabling(pDlg->SideX());
            ExpectEnabling(pDlg->SideY());
        }
    }
}

enum EClick { kAxis, kGrid, kScale };

TEST_F(VisParamDlgTest, ClickHandlersMovePlacementToAShownAnchor) {
    const struct {
        int axis, grid, scale, place;
        EClick click;
        int placeAfter;
    } cases[] = {
        {1, 1, 0, 3, kScale, 2}, // both anchors shown: the edge wins
        {1, 0, 0, 3, kScale, 0}, {0, 1, 0, 0, kScale, 2},
        {0, 0, 0, 1, kScale, 1}, {1, 1, 1, 1, kScale, 1}, // turning values off keeps the placement
        {1, 1, 1, 2, kGrid, 0},                           // grid off, axis shown: beside the axis
        {0, 1, 1, 3, kGrid, 3}, // grid off, axis hidden: stays, all four disabled
        {1, 1, 1, 1, kGrid, 1},  {0, 0, 1, 0, kGrid, 2}, // grid on, axis hidden: to the edge
        {1, 0, 1, 0, kGrid, 0},  {1, 1, 0, 2, kGrid, 2}, // values hidden: placement untouched
        {1, 1, 1, 1, kAxis, 2},                          // axis off, grid shown: to the edge
        {1, 0, 1, 1, kAxis, 1},  {0, 0, 1, 3, kAxis, 0}, // axis on, grid hidden: beside the axis
        {0, 1, 1, 3, kAxis, 3},  {0, 0, 0, 3, kAxis, 3},
    };
    for (const auto& c : cases) {
        for (bool bX : {true, false}) {
            SCOPED_TRACE(testing::Message()
                         << "axis " << c.axis << " grid " << c.grid << " scale " << c.scale
                         << " place " << c.place << " click " << c.click << (bX ? " X" : " Y"));
            CVisParam p;
            (bX ? p.x.bShowAxis : p.y.bShowAxis) = c.axis;
            (bX ? p.x.bShowGrid : p.y.bShowGrid) = c.grid;
            (bX ? p.x.bShowScale : p.y.bShowScale) = c.scale;
            (bX ? p.x.nPlace : p.y.nPlace) = c.place;
            ASSERT_TRUE(SaveVisParam(p, Path()));
            auto pDlg = Open();
            const CVisParamDlg::CSide& s = bX ? pDlg->SideX() : pDlg->SideY();
            QCheckBox* pBox = c.click == kAxis   ? s.m_pAxis
                              : c.click == kGrid ? s.m_pGrid
                                                 : s.m_pScale;
            pBox->click(); // emits clicked as a user click does
            EXPECT_EQ(s.m_pPlace->checkedId(), c.placeAfter);
            ExpectEnabling(s);
        }
    }
}

TEST_F(VisParamDlgTest, OkWritesAllThirteenKeys) {
    auto pDlg = Open();
    pDlg->SideY().m_pAxis->click();
    pDlg->OriginGroup()->button(0)->click();
    pDlg->SideX().m_pPlace->button(3)->click();
    pDlg->SideX().m_pSize->setText("30");
    pDlg->SideY().m_pSize->setText("10000");
    pDlg->SideX().m_pStep->setText("0.29"); // 28.999... hundredths: stored as the nearest, 29
    pDlg->SideY().m_pStep->setText("2.5");
    QTest::mouseClick(Button(*pDlg, "确定"), Qt::LeftButton);
    EXPECT_EQ(pDlg->result(), QDialog::Accepted);
    EXPECT_FALSE(pDlg->m_bSaveFailed);
    EXPECT_TRUE(g_messages.empty());

    CVisParam expected;
    expected.y.bShowAxis = 0;
    expected.nOriginPlace = 0;
    expected.x.nPlace = 3;
    expected.x.nCell = 30;
    expected.y.nCell = 10000;
    expected.x.nSpeed = 29;
    expected.y.nSpeed = 250;
    EXPECT_EQ(LoadVisParam(Path()), expected);
    EXPECT_EQ(pDlg->Params(), expected);
    const QByteArray text = FileBytes();
    EXPECT_TRUE(text.contains("nSpeed_X=29")) << text.constData();
    int nLines = 0;
    for (const QByteArray& line : text.split('\n'))
        nLines += line.contains('=') ? 1 : 0;
    EXPECT_EQ(nLines, 13);

    // Reopening shows what was written.
    auto pAgain = Open();
    EXPECT_EQ(pAgain->SideX().m_pStep->text(), "0.29");
    EXPECT_FALSE(pAgain->SideY().m_pAxis->isChecked());
}

TEST_F(VisParamDlgTest, CancelWritesNothing) {
    auto pDlg = Open();
    pDlg->SideX().m_pGrid->click();
    QTest::mouseClick(Button(*pDlg, "取消"), Qt::LeftButton);
    EXPECT_EQ(pDlg->result(), QDialog::Rejected);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Path())));

    CVisParam p;
    p.x.nCell = 70;
    ASSERT_TRUE(SaveVisParam(p, Path()));
    const QByteArray before = FileBytes();
    auto pAgain = Open();
    pAgain->SideX().m_pSize->setText("20");
    pAgain->reject();
    EXPECT_EQ(FileBytes(), before);
}

TEST_F(VisParamDlgTest, OutOfRangeFieldIsRefusedAndFocused) {
    const struct {
        bool bX;
        bool bSize;
        const char* text;
        const char* field;
    } cases[] = {
        {true, true, "0", "水平网格宽度"},        {false, true, "10001", "垂直网格高度"},
        {true, true, "", "水平网格宽度"},         {true, false, "0", "水平刻度值步距"},
        {true, false, "0.001", "水平刻度值步距"}, {false, false, "1000000.01", "垂直刻度值步距"},
        {false, false, ".", "垂直刻度值步距"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        g_messages.clear();
        auto pDlg = Open();
        const CVisParamDlg::CSide& s = c.bX ? pDlg->SideX() : pDlg->SideY();
        QLineEdit* pEdit = c.bSize ? s.m_pSize : s.m_pStep;
        pEdit->setText(U(c.text));
        QTest::mouseClick(Button(*pDlg, "确定"), Qt::LeftButton);
        EXPECT_TRUE(pDlg->isVisible());
        EXPECT_NE(pDlg->result(), QDialog::Accepted);
        ASSERT_EQ(g_messages.size(), 1u);
        EXPECT_TRUE(g_messages[0].startsWith(U(c.field))) << g_messages[0].toStdString();
        EXPECT_EQ(g_messages[0], U(c.field) + U(c.bSize ? "必须是 1 到 10000 之间的整数。"
                                                        : "必须在 0.01 到 1000000 之间。"));
        EXPECT_EQ(pDlg->focusWidget(), pEdit);
        EXPECT_FALSE(QFile::exists(QString::fromStdString(Path())));
    }
}

// A grid size left out of range in the edit that unticking its grid disabled cannot trap the
// user: it quietly takes back the value the dialog opened with, and OK closes.
TEST_F(VisParamDlgTest, DisabledFieldOutOfRangeTakesBackItsOpeningValue) {
    CVisParam opened;
    opened.x.nCell = 30;
    opened.y.nCell = 40;
    const struct {
        bool bX;
        const char* text;
    } cases[] = {{true, "0"}, {true, ""}, {false, "10001"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_TRUE(SaveVisParam(opened, Path()));
        g_messages.clear();
        auto pDlg = Open();
        const CVisParamDlg::CSide& s = c.bX ? pDlg->SideX() : pDlg->SideY();
        s.m_pSize->setText(U(c.text));
        s.m_pGrid->click();
        ASSERT_FALSE(s.m_pSize->isEnabled());
        QTest::mouseClick(Button(*pDlg, "确定"), Qt::LeftButton);
        EXPECT_EQ(pDlg->result(), QDialog::Accepted);
        EXPECT_TRUE(g_messages.empty());
        const CVisParam written = LoadVisParam(Path());
        EXPECT_EQ(pDlg->Params(), written);
        EXPECT_EQ(written.x.nCell, 30);
        EXPECT_EQ(written.y.nCell, 40);
        EXPECT_EQ(c.bX ? written.x.bShowGrid : written.y.bShowGrid, 0);
        EXPECT_EQ(s.m_pSize->text(), c.bX ? "30" : "40");
    }
}

TEST_F(VisParamDlgTest, FailedWriteStillClosesWithOkAndIsReported) {
    CVisParamDlg dlg(nullptr, (m_dir.path() + "/missing/VisParam.ini").toStdString());
    dlg.show();
    dlg.SideX().m_pSize->setText("20");
    QTest::mouseClick(Button(dlg, "确定"), Qt::LeftButton);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_TRUE(dlg.m_bSaveFailed);
    EXPECT_EQ(dlg.Params().x.nCell, 20);
}

} // namespace
