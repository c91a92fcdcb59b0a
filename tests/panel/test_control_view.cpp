#include "panel/ControlView.h"

#include "app/PanelRows.h"

#include "ViewFixture.h"

#include "document/ColorTable.h"
#include "document/CurvistDoc.h"
#include "expr/FunCompiler.h"
#include "expr/InputFunDlg.h"
#include "panel/ColorCombo.h"
#include "panel/ColorListBox.h"
#include "platform/RasterDc.h"
#include "platform/qt/DialogUnits.h"
#include "platform/qt/ModalDialog.h"
#include "platform/qt/QtStrings.h"
#include "view/CurvistView.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <cmath>
#include <deque>
#include <functional>
#include <gtest/gtest.h>

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// The plot window's back buffer: a small raster surface; counts what the view asks of it.
// The view's host here: a small surface; counts how often the view asks for it.
struct CPanelHost : CTestHost {
    static constexpr int kW = 160, kH = 120;
    CSurface surface{kW, kH};
    int clientDcs = 0;
    CPanelHost() {
        dc = &surface.dc;
        size = {kW, kH};
    }
    Dc* ClientDc() override {
        ++clientDcs;
        return CTestHost::ClientDc();
    }
    int Count(COLORREF clr) const { return surface.Count(clr); }
};

class ControlViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_view = std::make_unique<CCurvistView>(m_dir.filePath("VisParam.ini").toStdString());
        m_view->SetDocument(&m_doc);
        m_view->SetHost(&m_host);
        m_view->OnSize(0, CPanelHost::kW, CPanelHost::kH);
        m_panel.Attach(&m_doc);
        m_view->SetFunList(&m_rows);
        // As the application wires it: each notch of the wheel is one zoom step of the view.
        QObject::connect(&m_panel, &CControlView::wheelStep, [this](int nDirection) {
            m_view->ZoomStep(static_cast<short>(nDirection));
            m_scales.push_back(m_view->GetScale());
        });
        SetDialogHook([this](QDialog& dlg) -> int {
            auto* pInput = qobject_cast<CInputFunDlg*>(&dlg);
            if (!pInput) return QDialog::Rejected;
            m_presets.push_back(pInput->m_strFun);
            if (m_answers.empty()) return QDialog::Rejected; // cancelled
            const std::string text = m_answers.front();
            m_answers.pop_front();
            const bool bValid = CheckFunText(text).status == EFunCheck::Ok;
            EXPECT_TRUE(bValid) << text;
            if (!bValid) return QDialog::Rejected; // OK would show a message box
            pInput->Edit()->setText(FromCp936(text));
            pInput->accept();
            return pInput->result();
        });
        m_doc.OnNewDocument();
        FullRepaint();
        m_panel.show();
    }
    void TearDown() override {
        SetDialogHook({});
        m_view->SetFunList(nullptr);
    }

    void FullRepaint() {
        m_view->OnEraseBkgnd(m_host.surface.dc);
        m_view->OnDraw(m_host.surface.dc);
    }
    void Add(const std::string& text) {
        m_answers.push_back(text);
        m_panel.OnButtonAdd();
    }
    void Modify(const std::string& text) {
        m_answers.push_back(text);
        m_panel.OnButtonModify();
    }
    // As a click on a row: the list's own selection signal reaches the panel.
    void ClickRow(int nRow) {
        if (nRow < 0)
            m_panel.ListFun()->clearSelection();
        else
            m_panel.ListFun()->setCurrentRow(nRow);
    }
    void ChooseEntry(QComboBox* pCombo, int nEntry) {
        pCombo->setCurrentIndex(nEntry);
        emit pCombo->activated(nEntry);
    }
    CDataFun& Fun(int i) { return *m_doc.m_arFuns.at(static_cast<std::size_t>(i)); }
    QString MinText() const { return m_panel.ComboMin()->currentText(); }
    QString MaxText() const { return m_panel.ComboMax()->currentText(); }
    void ExpectNoSelectionState() {
        EXPECT_EQ(m_panel.SelectedRow(), -1);
        EXPECT_FALSE(m_panel.CheckShow()->isEnabled());
        EXPECT_FALSE(m_panel.ButtonModify()->isEnabled());
        EXPECT_FALSE(m_panel.ButtonDelete()->isEnabled());
        EXPECT_FALSE(m_panel.ComboColor()->isEnabled());
        EXPECT_FALSE(m_panel.ComboMin()->isEnabled());
        EXPECT_FALSE(m_panel.CheckShow()->isChecked());
        EXPECT_EQ(m_panel.ComboColor()->currentIndex(), -1);
        EXPECT_EQ(MinText(), QString::fromUtf8("-∞"));
        EXPECT_EQ(MaxText(), QString::fromUtf8("+∞"));
    }

    QTemporaryDir m_dir;
    CCurvistDoc m_doc;
    CPanelHost m_host;
    std::unique_ptr<CCurvistView> m_view;
    CControlView m_panel;
    CPanelRows m_rows{m_panel};
    std::deque<std::string> m_answers;
    std::vector<int> m_scales; // the view's scale after each zoom step of the wheel
    std::vector<std::string> m_presets;
};

TEST_F(ControlViewTest, TemplateLayoutAndInitialStates) {
    CControlView panel; // before any document: the template's own states
    const CDialogBaseUnits units = DialogBaseUnits(panel.font());
    EXPECT_EQ(panel.ListFun()->geometry(), DialogRectToPixels(7, 7, 120, 90, units));
    const struct {
        QPushButton* button;
        const char* text;
        int x;
        bool enabled;
    } buttons[] = {{panel.ButtonAdd(), "添加", 7, true},
                   {panel.ButtonModify(), "修改", 48, false},
                   {panel.ButtonDelete(), "删除", 89, false}};
    for (const auto& b : buttons) {
        EXPECT_EQ(b.button->text(), QString::fromUtf8(b.text));
        EXPECT_EQ(b.button->geometry(), DialogRectToPixels(b.x, 103, 38, 14, units));
        EXPECT_EQ(b.button->isEnabled(), b.enabled) << b.text;
    }
    EXPECT_EQ(panel.CheckShow()->text(), QString::fromUtf8("显示该函数图像"));
    EXPECT_EQ(panel.CheckShow()->geometry(), DialogRectToPixels(18, 146, 72, 10, units));
    EXPECT_EQ(panel.ComboMin()->x(), DialogUnitsToPixelsX(18, units));
    EXPECT_EQ(panel.ComboMax()->x(), DialogUnitsToPixelsX(72, units));
    EXPECT_EQ(panel.ComboColor()->x(), DialogUnitsToPixelsX(51, units));

    QStringList texts;
    for (const QGroupBox* g : panel.findChildren<QGroupBox*>()) {
        texts << g->title();
        EXPECT_FALSE(g->isEnabled());
    }
    for (const QLabel* l : panel.findChildren<QLabel*>()) {
        texts << l->text();
        EXPECT_FALSE(l->isEnabled());
    }
    texts.sort();
    QStringList expected{QString::fromUtf8("函数属性"), QString::fromUtf8("定义域"),
                         QString::fromUtf8("显示颜色"), QString::fromUtf8("到")};
    expected.sort();
    EXPECT_EQ(texts, expected);

    EXPECT_FALSE(panel.ComboMin()->isEnabled());
    EXPECT_FALSE(panel.ComboColor()->isEnabled());
    EXPECT_EQ(panel.ComboColor()->count(), 0); // filled by the initial update
    const struct {
        QComboBox* combo;
        const char* entries[2];
    } bounds[] = {{panel.ComboMin(), {"-∞", "-π"}}, {panel.ComboMax(), {"+∞", "+π"}}};
    for (const auto& c : bounds) {
        ASSERT_EQ(c.combo->count(), 2);
        EXPECT_TRUE(c.combo->isEditable());
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(c.combo->itemText(i), QString::fromUtf8(c.entries[i]));
    }

    // The initial update fills the chooser in table order.
    ASSERT_EQ(m_panel.ComboColor()->count(), 9);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(m_panel.ComboColor()->itemText(i), QString::fromUtf8(kColorTable[i].m_szName));
        EXPECT_EQ(m_panel.ComboColor()->GetColorAt(i), kColorTable[i].m_clr);
    }
}

TEST_F(ControlViewTest, NeverAScrollBarEvenInASmallScrollArea) {
    QScrollArea area;
    area.resize(100, 100);
    auto* pPanel = new CControlView;
    area.setWidget(pPanel);
    area.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&area));
    EXPECT_GT(pPanel->width(), 100);
    EXPECT_FALSE(area.horizontalScrollBar()->isVisible());
    EXPECT_FALSE(area.verticalScrollBar()->isVisible());
}

TEST_F(ControlViewTest, NewFunctionsTakeTheFirstFreeColour) {
    const struct {
        const char* text;
        COLORREF expected;
        int deleteRowFirst;
    } steps[] = {
        {"x", kRed, -1},
        {"x+2", kYellow, -1},
        {"x+3", kBlue, -1},
        {"x+4", RGB(0, 128, 0), -1},
        {"x+5", RGB(255, 0, 255), -1},
        {"x+6", RGB(128, 128, 0), -1},
        {"x+7", RGB(128, 128, 128), -1},
        {"x+8", RGB(192, 192, 192), -1},
        {"x+9", RGB(0, 255, 255), -1},
        {"x+10", kRed, -1},   // all nine in use: entry 0
        {"x+11", kYellow, 1}, // the yellow function deleted first: its colour is free again
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.text);
        if (s.deleteRowFirst >= 0) {
            ClickRow(s.deleteRowFirst);
            m_panel.OnButtonDelete();
        }
        m_doc.SetModifiedFlag(false);
        Add(s.text);
        const int last = static_cast<int>(m_doc.m_arFuns.size()) - 1;
        EXPECT_EQ(Fun(last).m_strFun, s.text);
        EXPECT_EQ(Fun(last).m_clrFun, s.expected);
        EXPECT_TRUE(m_doc.IsModified());
        EXPECT_EQ(m_panel.ListFun()->count(), last + 1);
        EXPECT_EQ(m_panel.ListFun()->item(last)->text(), QString::fromStdString("Y=") + s.text);
        EXPECT_EQ(m_panel.ListFun()->GetFunItem(last).m_clr, s.expected);
        EXPECT_EQ(m_panel.SelectedRow(), last);
        EXPECT_EQ(m_panel.ComboColor()->GetSelectedColor(), s.expected);
        EXPECT_TRUE(m_panel.CheckShow()->isChecked());
        EXPECT_TRUE(m_panel.ButtonDelete()->isEnabled());
        EXPECT_EQ(MinText(), QString::fromUtf8("-∞"));
        EXPECT_EQ(MaxText(), QString::fromUtf8("+∞"));
    }
    EXPECT_GT(m_host.Count(kRed), 0); // drawn at once
    EXPECT_EQ(m_presets.front(), "");

    // A cancelled dialog changes nothing.
    const std::size_t n = m_doc.m_arFuns.size();
    m_panel.OnButtonAdd();
    EXPECT_EQ(m_doc.m_arFuns.size(), n);
}

// The rows mirror the document whoever changes it through the editor, and the panel takes a
// function's text from its record, never from its row.
TEST_F(ControlViewTest, RowsFollowEveryEditorChange) {
    Add("x");
    Add("x+1");
    Add("x+2");
    CFunListEditor& ed = m_doc.Editor();
    auto expectRowsAsDocument = [&](const char* what) {
        ASSERT_EQ(m_panel.ListFun()->count(), static_cast<int>(m_doc.m_arFuns.size())) << what;
        for (int i = 0; i < m_panel.ListFun()->count(); ++i) {
            EXPECT_EQ(ToCp936(m_panel.ListFun()->item(i)->text()), FunRowText(Fun(i))) << what;
            EXPECT_EQ(m_panel.ListFun()->GetFunItem(i).m_bShow, Fun(i).m_bShow == 1) << what;
            EXPECT_EQ(m_panel.ListFun()->GetFunItem(i).m_clr, Fun(i).m_clrFun) << what;
        }
    };
    const struct {
        const char* what;
        std::function<void()> op;
    } steps[] = {
        {"colour", [&] { ASSERT_TRUE(ed.SetColor(1, RGB(0, 128, 0))); }},
        {"hide", [&] { ASSERT_TRUE(ed.SetShow(0, false)); }},
        {"modify", [&] { ASSERT_TRUE(ed.Modify(2, "sinx", CheckFunText("sinx").pNodes)); }},
        {"delete", [&] { ASSERT_TRUE(ed.Delete(1)); }},
        {"delete undone", [&] { ASSERT_TRUE(ed.Undo()); }},
        {"add", [&] { ed.Add("cosx", CheckFunText("cosx").pNodes); }},
    };
    for (const auto& st : steps) {
        st.op();
        expectRowsAsDocument(st.what);
    }

    m_panel.ListFun()->item(2)->setText(QStringLiteral("Y=garbage"));
    ClickRow(2);
    Modify("sinx");
    EXPECT_EQ(m_presets.back(), "sinx");
}

TEST_F(ControlViewTest, ModifyKeepsPlaceColourVisibilityAndDomain) {
    Add("x");
    Add("x+2");
    Add("x+3");
    ClickRow(1);
    m_panel.CheckShow()->click();         // hide
    ChooseEntry(m_panel.ComboColor(), 4); // pink
    ChooseEntry(m_panel.ComboMin(), 1);   // -pi
    m_doc.SetModifiedFlag(false);

    Modify("x^2");
    EXPECT_EQ(m_presets.back(), "x+2"); // the row text without "Y="
    ASSERT_EQ(m_doc.m_arFuns.size(), 3u);
    EXPECT_EQ(Fun(1).m_strFun, "x^2");
    EXPECT_EQ(Fun(0).m_strFun, "x");
    EXPECT_EQ(Fun(2).m_strFun, "x+3");
    EXPECT_EQ(Fun(1).m_clrFun, RGB(255, 0, 255));
    EXPECT_EQ(Fun(1).m_bShow, 0);
    EXPECT_EQ(Fun(1).m_strMin, "-3.141592653589793");
    EXPECT_TRUE(m_doc.IsModified());
    EXPECT_EQ(m_panel.ListFun()->item(1)->text(), QStringLiteral("Y=x^2"));
    EXPECT_EQ(m_panel.ListFun()->GetFunItem(1).m_clr, RGB(255, 0, 255));
    EXPECT_FALSE(m_panel.ListFun()->GetFunItem(1).m_bShow);
    EXPECT_EQ(m_panel.SelectedRow(), 1);
}

TEST_F(ControlViewTest, ModifyWithTheSameTextRepaintsNothing) {
    Add("sin(x)");
    ClickRow(0);
    const CNodeList* pNodes = Fun(0).m_pNodes.get();
    const std::vector<std::uint32_t> before = m_host.surface.bits;
    const int clientDcs = m_host.clientDcs, presents = m_host.presents;
    m_doc.SetModifiedFlag(false);

    for (bool cancelled : {false, true}) {
        if (cancelled)
            m_panel.OnButtonModify(); // no answer queued: the dialog is cancelled
        else
            Modify("sin(x)");
        EXPECT_EQ(m_presets.back(), "sin(x)");
        EXPECT_EQ(m_host.clientDcs, clientDcs);
        EXPECT_EQ(m_host.presents, presents);
        EXPECT_EQ(m_host.surface.bits, before);
        EXPECT_EQ(Fun(0).m_pNodes.get(), pNodes); // the new list was not taken (and is freed)
        EXPECT_FALSE(m_doc.IsModified());
        EXPECT_EQ(m_panel.SelectedRow(), 0);
    }
}

TEST_F(ControlViewTest, DeleteLeavesNothingSelectedAndResetsProperties) {
    Add("x");
    Add("x+2");
    Add("x+3");
    ClickRow(1);
    ChooseEntry(m_panel.ComboMin(), 1);
    m_doc.SetModifiedFlag(false);

    m_panel.OnButtonDelete();
    ASSERT_EQ(m_doc.m_arFuns.size(), 2u);
    EXPECT_EQ(Fun(1).m_strFun, "x+3");
    EXPECT_EQ(m_panel.ListFun()->count(), 2);
    EXPECT_EQ(m_panel.ListFun()->item(1)->text(), QStringLiteral("Y=x+3"));
    EXPECT_TRUE(m_doc.IsModified());
    EXPECT_EQ(m_host.Count(kYellow), 0);
    ExpectNoSelectionState();

    m_panel.OnButtonDelete(); // nothing selected: nothing happens
    EXPECT_EQ(m_doc.m_arFuns.size(), 2u);
}

TEST_F(ControlViewTest, HidingWhitensTheSwatchAndRemovesTheCurve) {
    Add("x");
    ClickRow(0);
    const int drawn = m_host.Count(kRed);
    ASSERT_GT(drawn, 0);
    const struct {
        bool show;
        COLORREF swatch;
        bool curve;
    } steps[] = {{false, RGB(255, 255, 255), false}, {true, kRed, true}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.show);
        m_doc.SetModifiedFlag(false);
        m_panel.CheckShow()->click();
        EXPECT_EQ(m_panel.CheckShow()->isChecked(), s.show);
        EXPECT_EQ(Fun(0).m_bShow, s.show ? 1 : 0);
        EXPECT_TRUE(m_doc.IsModified());
        EXPECT_EQ(m_panel.ListFun()->GetFunItem(0).m_bShow, s.show);
        EXPECT_EQ(m_host.Count(kRed), s.curve ? drawn : 0);

        const QImage image = m_panel.ListFun()->viewport()->grab().toImage();
        const QRect row = m_panel.ListFun()->visualItemRect(m_panel.ListFun()->item(0));
        const QRgb px = image.pixel(10, row.center().y());
        EXPECT_EQ(RGB(qRed(px), qGreen(px), qBlue(px)), s.swatch);
        EXPECT_EQ(m_panel.SelectedRow(), 0);
    }
}

TEST_F(ControlViewTest, AColourInUseIsRefused) {
    Add("x");
    Add("x+2");
    ClickRow(1);
    const std::vector<std::uint32_t> before = m_host.surface.bits;
    m_doc.SetModifiedFlag(false);

    ChooseEntry(m_panel.ComboColor(), 0); // red belongs to row 0
    EXPECT_EQ(m_panel.ComboColor()->currentIndex(), 1);
    EXPECT_EQ(Fun(1).m_clrFun, kYellow);
    EXPECT_EQ(m_panel.ListFun()->GetFunItem(1).m_clr, kYellow);
    EXPECT_EQ(m_host.surface.bits, before);
    EXPECT_FALSE(m_doc.IsModified());

    ChooseEntry(m_panel.ComboColor(), 2);
    EXPECT_EQ(Fun(1).m_clrFun, kBlue);
    EXPECT_EQ(m_panel.ListFun()->GetFunItem(1).m_clr, kBlue);
    EXPECT_EQ(m_host.Count(kYellow), 0);
    EXPECT_GT(m_host.Count(kBlue), 0);
    EXPECT_TRUE(m_doc.IsModified());
    EXPECT_EQ(m_panel.SelectedRow(), 1);
}

TEST_F(ControlViewTest, TypedBoundsAreCheckedAtEveryKeystroke) {
    Add("x");
    ClickRow(0);
    QLineEdit* pMin = m_panel.ComboMin()->lineEdit();
    QLineEdit* pMax = m_panel.ComboMax()->lineEdit();
    enum EAction { Replace, Type, Paste };
    const struct {
        QLineEdit* edit;
        EAction action;
        const char* text;
        const char* shown;
        const char* strMin;
        const char* strMax;
        int minEntry = -2; // the lower combo's selected entry; -2: not checked
    } steps[] = {
        {pMin, Type, "a", "-∞", "-\xA1\xDE", "+\xA1\xDE"},   // a letter after "-∞"
        {pMin, Replace, "-", "-", "-\xA1\xDE", "+\xA1\xDE"}, // unfinished: shown, not applied
        {pMin, Type, "5", "-5", "-5", "+\xA1\xDE"},
        {pMin, Type, "x", "-5", "-5", "+\xA1\xDE"},
        {pMin, Paste, "1-2", "-5", "-5", "+\xA1\xDE"},
        {pMax, Replace, "+", "+", "-5", "+\xA1\xDE"},
        {pMax, Type, "1", "+1", "-5", "+1"},
        {pMax, Type, ".", "+1.", "-5", "+1."},
        {pMax, Type, "5", "+1.5", "-5", "+1.5"},
        {pMin, Replace, "-", "-", "-5", "+1.5"},
        // The other bound restored: the unfinished "-" stays as typed, never "-∞".
        {pMax, Type, "q", "+1.5", "-5", "+1.5", -1},
        {pMin, Replace, "", "", "-5", "+1.5"},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(std::string(s.edit == pMin ? "min " : "max ") + s.text);
        switch (s.action) {
        case Replace:
            s.edit->selectAll();
            if (*s.text)
                QTest::keyClicks(s.edit, QString::fromUtf8(s.text));
            else
                QTest::keyClick(s.edit, Qt::Key_Delete);
            break;
        case Type:
            s.edit->end(false);
            QTest::keyClicks(s.edit, QString::fromUtf8(s.text));
            break;
        case Paste:
            QGuiApplication::clipboard()->setText(QString::fromUtf8(s.text));
            s.edit->selectAll();
            QTest::keyClick(s.edit, Qt::Key_V, Qt::ControlModifier);
            break;
        }
        EXPECT_EQ(s.edit->text(), QString::fromUtf8(s.shown));
        EXPECT_EQ(s.edit->cursorPosition(), s.edit->text().size());
        EXPECT_FALSE(s.edit->hasSelectedText());
        EXPECT_EQ(Fun(0).m_strMin, s.strMin);
        EXPECT_EQ(Fun(0).m_strMax, s.strMax);
        if (s.minEntry != -2) {
            EXPECT_EQ(m_panel.ComboMin()->currentIndex(), s.minEntry);
            EXPECT_EQ(pMin->text(), QStringLiteral("-"));
        }
    }
    EXPECT_EQ(pMin->text(), QString());
    EXPECT_EQ(Fun(0).m_dMin, -5.0);
    EXPECT_DOUBLE_EQ(Fun(0).m_dMax, 1.5);
    EXPECT_TRUE(m_doc.IsModified());

    // Back on the row, each bound shows its stored text.
    ClickRow(-1);
    ClickRow(0);
    EXPECT_EQ(pMin->text(), QStringLiteral("-5"));
    EXPECT_EQ(m_panel.ComboMin()->currentIndex(), -1);
    EXPECT_EQ(pMax->text(), QStringLiteral("+1.5"));
}

TEST_F(ControlViewTest, BoundEntriesStoreTheirTexts) {
    Add("x");
    ClickRow(0);
    const double pi = 3.141592653589793;
    const struct {
        bool min;
        int entry;
        const char* text;
        double value;
    } cases[] = {
        {true, 1, "-3.141592653589793", -pi},
        {false, 1, "+3.141592653589793", pi},
        {true, 0, "-\xA1\xDE", -2e10},
        {false, 0, "+\xA1\xDE", 2e10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        m_doc.SetModifiedFlag(false);
        ChooseEntry(c.min ? m_panel.ComboMin() : m_panel.ComboMax(), c.entry);
        EXPECT_EQ(c.min ? Fun(0).m_strMin : Fun(0).m_strMax, c.text);
        EXPECT_DOUBLE_EQ(c.min ? Fun(0).m_dMin : Fun(0).m_dMax, c.value);
        EXPECT_TRUE(m_doc.IsModified());
    }
    // A stored pi text shows as typed text, not as the "-π" entry; the tip shows it whole.
    ChooseEntry(m_panel.ComboMin(), 1);
    ClickRow(-1);
    ClickRow(0);
    EXPECT_EQ(MinText(), QStringLiteral("-3.141592653589793"));
    EXPECT_EQ(m_panel.ComboMin()->lineEdit()->toolTip(),
              QString::fromUtf8("-π = -3.141592653589793"));

    // Typing π stands for the same digits as the entries.
    const struct {
        QComboBox* combo;
        const char* typed;
        const char* stored;
    } typed[] = {
        {m_panel.ComboMin(), "-π", "-3.141592653589793"},
        {m_panel.ComboMax(), "π", "+3.141592653589793"},
        {m_panel.ComboMax(), "+π", "+3.141592653589793"},
    };
    for (const auto& t : typed) {
        SCOPED_TRACE(t.typed);
        ChooseEntry(t.combo, 0);
        t.combo->lineEdit()->selectAll();
        for (QChar ch : QString::fromUtf8(t.typed)) // π arrives as text, as from an input method
            QTest::sendKeyEvent(QTest::Click, t.combo->lineEdit(), Qt::Key_unknown, QString(ch),
                                Qt::NoModifier);
        EXPECT_EQ(t.combo == m_panel.ComboMin() ? Fun(0).m_strMin : Fun(0).m_strMax, t.stored);
        EXPECT_EQ(t.combo->lineEdit()->toolTip().right(18), QString::fromUtf8(t.stored));
    }
}

TEST_F(ControlViewTest, WheelOverTheListZoomsOneStepPerNotch) {
    const struct {
        QWidget* target;
        QPoint delta;
        std::vector<int> scales;
    } steps[] = {
        {m_panel.ListFun()->viewport(), {0, 120}, {110}},
        {m_panel.ListFun()->viewport(), {0, 240}, {120, 130}},
        {m_panel.ListFun()->viewport(), {0, -120}, {120}},
        {m_panel.ListFun()->viewport(), {120, 0}, {}}, // horizontal: ignored
        {m_panel.ListFun()->viewport(), {0, 40}, {}},  // a touchpad: deltas add up
        {m_panel.ListFun()->viewport(), {0, 40}, {}},
        {m_panel.ListFun()->viewport(), {0, 40}, {130}},
        {&m_panel, {0, -120}, {120}}, // over the panel itself
    };
    for (const auto& s : steps) {
        m_scales.clear();
        QWheelEvent wheel(QPointF(5, 5), s.target->mapToGlobal(QPointF(5, 5)), QPoint(), s.delta,
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(s.target, &wheel);
        EXPECT_EQ(m_scales, s.scales) << s.delta.x() << "," << s.delta.y();
        if (!s.scales.empty()) {
            EXPECT_EQ(m_view->Plane().m_nScale, s.scales.back());
        }
    }
    EXPECT_EQ(m_panel.ListFun()->verticalScrollBar()->value(), 0);
}

// The wheel anywhere over the panel zooms the plane: over a combo, focused or not, enabled or
// not, it neither changes an entry nor touches the document.
TEST_F(ControlViewTest, WheelOverAnyControlZoomsAndEditsNothing) {
    Add("x");
    Add("sinx");
    ClickRow(0);
    m_doc.SetModifiedFlag(false);
    const COLORREF clr = Fun(0).m_clrFun;
    const struct {
        QWidget* target;
        bool bFocus;
    } targets[] = {
        {m_panel.ComboColor(), false},
        {m_panel.ComboColor(), true},
        {m_panel.ComboMin(), false},
        {m_panel.ComboMin()->lineEdit(), true},
        {m_panel.ComboMax()->lineEdit(), true},
        {m_panel.CheckShow(), false},
        {m_panel.ButtonAdd(), false},
    };
    for (bool bSelected : {true, false}) {
        if (!bSelected) ClickRow(-1);
        for (const auto& t : targets) {
            for (int nDelta : {120, -120, -120, 120}) {
                SCOPED_TRACE(testing::Message()
                             << t.target->metaObject()->className() << " focus " << t.bFocus
                             << " selected " << bSelected << " " << nDelta);
                if (t.bFocus) t.target->setFocus();
                const int nScale = m_view->Plane().m_nScale;
                const int nColor = m_panel.ComboColor()->currentIndex();
                const QString strMin = MinText(), strMax = MaxText();
                m_scales.clear();
                QWheelEvent wheel(QPointF(5, 5), t.target->mapToGlobal(QPointF(5, 5)), QPoint(),
                                  QPoint(0, nDelta), Qt::NoButton, Qt::NoModifier,
                                  Qt::NoScrollPhase, false);
                QApplication::sendEvent(t.target, &wheel);
                EXPECT_EQ(m_scales.size(), 1u);
                EXPECT_EQ(m_view->Plane().m_nScale > nScale, nDelta > 0);
                EXPECT_NE(m_view->Plane().m_nScale, nScale);
                EXPECT_EQ(m_panel.ComboColor()->currentIndex(), nColor);
                EXPECT_EQ(MinText(), strMin);
                EXPECT_EQ(MaxText(), strMax);
                EXPECT_EQ(Fun(0).m_clrFun, clr);
                EXPECT_EQ(Fun(0).m_strMin, "-\xA1\xDE");
                EXPECT_EQ(Fun(0).m_strMax, "+\xA1\xDE");
                EXPECT_FALSE(m_doc.IsModified());
            }
        }
    }
}

// A click below the rows, or a Ctrl+click on the selected row, keeps the selection as a
// single-selection list box does; should the selection go all the same, the property controls
// show the state of no selected row. They always describe the selected row.
TEST_F(ControlViewTest, PropertiesAlwaysDescribeTheSelectedRow) {
    Add("x");
    Add("sinx");
    Fun(1).m_strMin = "-2";
    ClickRow(0);
    ClickRow(1);
    QWidget* pViewport = m_panel.ListFun()->viewport();
    const QRect rcLast = m_panel.ListFun()->visualItemRect(m_panel.ListFun()->item(1));
    ASSERT_LT(rcLast.bottom() + 10, pViewport->height());
    const struct {
        QPoint at;
        Qt::KeyboardModifiers modifiers;
    } clicks[] = {
        {QPoint(10, rcLast.bottom() + 10), Qt::NoModifier},
        {QPoint(10, pViewport->height() - 2), Qt::NoModifier},
        {rcLast.center(), Qt::ControlModifier},
    };
    for (const auto& c : clicks) {
        SCOPED_TRACE(testing::Message() << c.at.y() << " " << c.modifiers);
        QTest::mouseClick(pViewport, Qt::LeftButton, c.modifiers, c.at);
        EXPECT_EQ(m_panel.SelectedRow(), 1);
        EXPECT_TRUE(m_panel.ComboMin()->isEnabled());
        EXPECT_EQ(MinText(), QStringLiteral("-2"));
        EXPECT_EQ(m_panel.ComboColor()->GetSelectedColor(), Fun(1).m_clrFun);
    }
    m_panel.ListFun()->clearSelection();
    ExpectNoSelectionState();
}

// The domain fields do not scroll: a long stored text shows from its first character, and typing
// stops when the field is full.
TEST_F(ControlViewTest, DomainFieldsShowTheirHeadAndStopWhenFull) {
    Add("x");
    Add("sinx");
    Fun(0).m_strMin = "-3.141592653589793";
    Fun(0).m_strMax = "+3.141592653589793";
    for (QComboBox* pCombo : {m_panel.ComboMin(), m_panel.ComboMax()}) {
        QLineEdit* pEdit = pCombo->lineEdit();
        const QFontMetrics fm(pEdit->font());
        // The field is narrower than the stored text, which it shows from its head.
        ASSERT_GT(fm.horizontalAdvance(QStringLiteral("-3.141592653589793")), pEdit->width());
        ClickRow(1);
        ClickRow(0);
        EXPECT_EQ(pEdit->text().size(), 18);
        EXPECT_EQ(pEdit->cursorPosition(), 0);
        // Too wide already: it can shrink, never grow.
        pEdit->end(false);
        QTest::keyClick(pEdit, Qt::Key_Backspace);
        EXPECT_EQ(pEdit->text().size(), 17);
        QTest::keyClicks(pEdit, QStringLiteral("12"));
        EXPECT_EQ(pEdit->text().size(), 17);

        ClickRow(1);
        pEdit->selectAll();
        QTest::keyClicks(pEdit, QStringLiteral("12345678901234567890"));
        const QString typed = pEdit->text();
        EXPECT_GT(typed.size(), 1);
        EXPECT_LT(typed.size(), 20);
        EXPECT_LT(fm.horizontalAdvance(typed), pEdit->width());
        EXPECT_TRUE(QStringLiteral("12345678901234567890").startsWith(typed));
        const std::string& stored =
            pCombo == m_panel.ComboMin() ? Fun(1).m_strMin : Fun(1).m_strMax;
        EXPECT_EQ(stored, typed.toStdString());
        // Deleting still works in a full field.
        QTest::keyClick(pEdit, Qt::Key_Backspace);
        EXPECT_EQ(pEdit->text(), typed.chopped(1));
    }
}

TEST_F(ControlViewTest, NewAndOpenRebuildTheList) {
    Add("x");
    ClickRow(0);
    CFunArray funs;
    const struct {
        const char* text;
        bool show;
        COLORREF clr;
    } records[] = {{"sin(x)", true, kBlue}, {"\xA3\xB1", false, kYellow}};
    for (const auto& r : records) {
        auto f = std::make_unique<CDataFun>();
        f->m_strFun = r.text;
        if (r.show) f->m_pNodes = CheckFunText(r.text).pNodes;
        f->m_bShow = r.show;
        f->m_clrFun = r.clr;
        funs.push_back(std::move(f));
    }
    m_doc.ReplaceContents(std::move(funs)); // as Open does
    FullRepaint();
    ASSERT_EQ(m_panel.ListFun()->count(), 2);
    EXPECT_EQ(m_panel.ListFun()->item(0)->text(), QStringLiteral("Y=sin(x)"));
    EXPECT_EQ(m_panel.ListFun()->item(1)->text(), QString::fromUtf8("Y=１"));
    EXPECT_TRUE(m_panel.ListFun()->GetFunItem(0).m_bShow);
    EXPECT_FALSE(m_panel.ListFun()->GetFunItem(1).m_bShow);
    EXPECT_EQ(m_panel.ListFun()->GetFunItem(1).m_clr, kYellow);
    ExpectNoSelectionState();

    m_doc.OnNewDocument();
    FullRepaint();
    EXPECT_EQ(m_panel.ListFun()->count(), 0);
    ExpectNoSelectionState();
}

// Undo and redo show the function they touch selected with its restored properties, or no
// selection when the function leaves the list; the rows mirror the document throughout.
TEST_F(ControlViewTest, UndoAndRedoShowTheirFunctionInThePanel) {
    Add("x");
    Add("sinx");
    Add("x^2");
    CFunListEditor& ed = m_doc.Editor();
    auto expectPanelShows = [&](int nRow) {
        ASSERT_EQ(m_panel.ListFun()->count(), static_cast<int>(m_doc.m_arFuns.size()));
        for (int i = 0; i < m_panel.ListFun()->count(); ++i) {
            EXPECT_EQ(ToCp936(m_panel.ListFun()->item(i)->text()), FunRowText(Fun(i)));
            EXPECT_EQ(m_panel.ListFun()->GetFunItem(i).m_bShow, Fun(i).m_bShow == 1);
            EXPECT_EQ(m_panel.ListFun()->GetFunItem(i).m_clr, Fun(i).m_clrFun);
        }
        if (nRow < 0) {
            ExpectNoSelectionState();
            return;
        }
        EXPECT_EQ(m_panel.SelectedRow(), nRow);
        EXPECT_TRUE(m_panel.ComboMin()->isEnabled());
        EXPECT_EQ(m_panel.CheckShow()->isChecked(), Fun(nRow).m_bShow != 0);
        EXPECT_EQ(m_panel.ComboColor()->GetSelectedColor(), Fun(nRow).m_clrFun);
        EXPECT_EQ(ToCp936(MinText()), Fun(nRow).m_strMin);
        EXPECT_EQ(ToCp936(MaxText()), Fun(nRow).m_strMax);
    };
    const struct {
        const char* what;
        std::function<void()> op;
        int undoneRow, redoneRow; // selected after undo and after redo; -1: none
    } changes[] = {
        {"hide", [&] { m_panel.CheckShow()->click(); }, 1, 1},
        {"colour", [&] { ChooseEntry(m_panel.ComboColor(), 6); }, 1, 1},
        {"lower bound", [&] { ChooseEntry(m_panel.ComboMin(), 1); }, 1, 1},
        {"typed upper bound",
         [&] {
             m_panel.ComboMax()->lineEdit()->selectAll();
             QTest::keyClicks(m_panel.ComboMax()->lineEdit(), QStringLiteral("2.5"));
         },
         1, 1},
        {"modify", [&] { Modify("cosx"); }, 1, 1},
        {"delete", [&] { m_panel.OnButtonDelete(); }, 1, -1},
        {"add", [&] { Add("tgx"); }, -1, 2},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.what);
        ClickRow(-1);
        ClickRow(1);
        c.op();
        // Whatever is selected when the user undoes.
        ClickRow(0);
        ASSERT_TRUE(ed.Undo());
        expectPanelShows(c.undoneRow);
        ClickRow(2);
        ASSERT_TRUE(ed.Redo());
        expectPanelShows(c.redoneRow);
    }
}

// Each keystroke in a domain field shows at once, but the typed bound is one step, closed
// when the field is left (here: Enter).
TEST_F(ControlViewTest, ATypedBoundIsOneUndoStep) {
    Add("x");
    ClickRow(0);
    m_doc.SetModifiedFlag(false);
    QLineEdit* pMin = m_panel.ComboMin()->lineEdit();
    pMin->selectAll();
    QTest::keyClicks(pMin, QStringLiteral("-1.5"));
    EXPECT_EQ(Fun(0).m_dMin, -1.5);
    QTest::keyClick(pMin, Qt::Key_Return);
    pMin->end(false);
    QTest::keyClicks(pMin, QStringLiteral("7"));
    EXPECT_EQ(Fun(0).m_strMin, "-1.57");

    ASSERT_TRUE(m_doc.Editor().Undo());
    EXPECT_EQ(Fun(0).m_strMin, "-1.5");
    EXPECT_EQ(MinText(), QStringLiteral("-1.5"));
    ASSERT_TRUE(m_doc.Editor().Undo());
    EXPECT_EQ(Fun(0).m_strMin, kStrMinusInf);
    EXPECT_EQ(Fun(0).m_dMin, -kDomainOpen);
    EXPECT_EQ(MinText(), QString::fromUtf8("-∞"));
    EXPECT_FALSE(m_doc.IsModified());
    ASSERT_TRUE(m_doc.Editor().CanUndo());
    EXPECT_EQ(m_doc.Editor().UndoStep()->m_kind, EFunChange::Add); // the add before the typing
}

} // namespace
