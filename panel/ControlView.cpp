#include "panel/ControlView.h"

#include "document/ColorTable.h"
#include "document/CurvistDoc.h"
#include "document/PiBound.h"
#include "expr/InputFunDlg.h"
#include "panel/ColorCombo.h"
#include "panel/ColorListBox.h"
#include "panel/NumberText.h"
#include "platform/qt/DialogUnits.h"
#include "platform/qt/ModalDialog.h"
#include "platform/qt/QtStrings.h"

#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleOptionFrame>
#include <QValidator>
#include <QWheelEvent>

namespace {

// An editable domain combo: no completion (it would turn "-" into "-∞" as it is typed) and no
// new entries on Enter.
QComboBox* MakeBoundCombo(QWidget* pParent, const char* szOpen, const char* szPi) {
    auto* pCombo = new QComboBox(pParent);
    pCombo->setEditable(true);
    pCombo->setCompleter(nullptr);
    pCombo->setInsertPolicy(QComboBox::NoInsert);
    pCombo->addItem(QString::fromUtf8(szOpen));
    pCombo->addItem(QString::fromUtf8(szPi));
    pCombo->setCurrentIndex(-1);
    return pCombo;
}

// A combo's closed height is its font's, not the height of its dropped-down list in the layout.
void PlaceCombo(QComboBox* pCombo, int x, int y, int cx, const CDialogBaseUnits& units) {
    QRect rc = DialogRectToPixels(x, y, cx, 1, units);
    rc.setHeight(pCombo->sizeHint().height());
    pCombo->setGeometry(rc);
}

// Refuses an edit that makes the text wider than its field, so that the field never scrolls.
// A text the program put there may be wider; it can still shrink.
class CFieldWidthValidator : public QValidator {
  public:
    explicit CFieldWidthValidator(QLineEdit* pEdit) : QValidator(pEdit), m_pEdit(pEdit) {}
    // The program is about to show this text, whatever its width.
    void Allow(const QString& text) const { m_last = text; }
    State validate(QString& text, int&) const override {
        const QFontMetrics fm(m_pEdit->font());
        const int nWidth = fm.horizontalAdvance(text);
        if (nWidth > FieldWidth() && nWidth > fm.horizontalAdvance(m_last)) return Invalid;
        m_last = text;
        return Acceptable;
    }

  private:
    // The width the field shows text in, as QLineEdit lays it out (a 2-pixel margin each side
    // and a pixel for the caret).
    int FieldWidth() const {
        QStyleOptionFrame opt;
        opt.initFrom(m_pEdit);
        opt.rect = m_pEdit->rect();
        opt.lineWidth =
            m_pEdit->hasFrame()
                ? m_pEdit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, m_pEdit)
                : 0;
        const QRect rc = m_pEdit->style()
                             ->subElementRect(QStyle::SE_LineEditContents, &opt, m_pEdit)
                             .marginsRemoved(m_pEdit->textMargins());
        return rc.width() - 2 * 2 - 1;
    }

    QLineEdit* m_pEdit;
    mutable QString m_last; // the text last shown
};

// Selects the entry only when the text equals it; otherwise the edit field shows the text,
// from its first character.
void SetBoundText(QComboBox* pCombo, const QString& text) {
    const int nEntry = pCombo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    pCombo->setCurrentIndex(nEntry);
    if (auto* pWidth = dynamic_cast<const CFieldWidthValidator*>(pCombo->lineEdit()->validator()))
        pWidth->Allow(text);
    pCombo->setEditText(text);
    pCombo->lineEdit()->setCursorPosition(0);
}

// The bound a field's text stands for: "π", "-π" and "+π" are typed for the digits of π.
std::string BoundOfField(const QComboBox* pCombo) {
    const QString text = pCombo->currentText();
    if (std::string pi = PiBoundFromTyped(text.toStdString()); !pi.empty()) return pi;
    return ToCp936(text);
}

// The field is narrower than a bound of seventeen digits: its tip shows the whole bound.
void ShowBoundTip(QComboBox* pCombo) {
    const std::string bound = BoundOfField(pCombo);
    const std::string_view pi = PiBoundName(bound);
    QString tip = FromCp936(bound);
    if (!pi.empty()) tip = QString::fromUtf8(pi.data(), qsizetype(pi.size())) + " = " + tip;
    pCombo->lineEdit()->setToolTip(tip);
}

} // namespace

CControlView::CControlView(QWidget* pParent) : QWidget(pParent) {
    const QFont font = DialogFont();
    setFont(font);
    const CDialogBaseUnits units = DialogBaseUnits(font);
    m_sizeTemplate = DialogRectToPixels(0, 0, 164, 279, units).size();

    // Layout order, which is also the stacking order: each group box lies below its controls.
    m_listFun = new CColorListBox(this);
    PlaceAtTemplate(m_listFun, 7, 7, 120, 90, units);
    m_btnAdd = new QPushButton(QString::fromUtf8("添加"), this);
    PlaceAtTemplate(m_btnAdd, 7, 103, 38, 14, units);
    m_btnModify = new QPushButton(QString::fromUtf8("修改"), this);
    PlaceAtTemplate(m_btnModify, 48, 103, 38, 14, units);
    m_btnDelete = new QPushButton(QString::fromUtf8("删除"), this);
    PlaceAtTemplate(m_btnDelete, 89, 103, 38, 14, units);
    m_groupProps = new QGroupBox(QString::fromUtf8("函数属性"), this);
    PlaceAtTemplate(m_groupProps, 7, 129, 120, 103, units);
    m_checkShow = new QCheckBox(QString::fromUtf8("显示该函数图像"), this);
    PlaceAtTemplate(m_checkShow, 18, 146, 72, 10, units);
    m_labelColor = new QLabel(QString::fromUtf8("显示颜色"), this);
    PlaceAtTemplate(m_labelColor, 18, 167, 33, 8, units);
    m_comboColor = new CColorCombo(this);
    PlaceCombo(m_comboColor, 51, 164, 66, units);
    m_groupDomain = new QGroupBox(QString::fromUtf8("定义域"), this);
    PlaceAtTemplate(m_groupDomain, 14, 184, 105, 40, units);
    m_comboMin = MakeBoundCombo(this, "-∞", "-π");
    PlaceCombo(m_comboMin, 18, 200, 40, units);
    m_labelTo = new QLabel(QString::fromUtf8("到"), this);
    PlaceAtTemplate(m_labelTo, 61, 202, 9, 8, units);
    m_comboMax = MakeBoundCombo(this, "+∞", "+π");
    PlaceCombo(m_comboMax, 72, 200, 40, units);

    for (QWidget* p : std::initializer_list<QWidget*>{
             m_groupProps, m_checkShow, m_labelColor, m_comboColor, m_groupDomain, m_comboMin,
             m_comboMax, m_labelTo, m_btnModify, m_btnDelete})
        p->setEnabled(false);

    // User actions only; every programmatic change runs under a QSignalBlocker.
    connect(m_btnAdd, &QPushButton::clicked, this, &CControlView::OnButtonAdd);
    connect(m_btnDelete, &QPushButton::clicked, this, &CControlView::OnButtonDelete);
    connect(m_btnModify, &QPushButton::clicked, this, &CControlView::OnButtonModify);
    connect(m_listFun, &QListWidget::itemDoubleClicked, this, &CControlView::OnButtonModify);
    connect(m_checkShow, &QCheckBox::clicked, this, &CControlView::OnCheckShow);
    connect(m_listFun, &QListWidget::itemSelectionChanged, this, &CControlView::OnSelchangeListFun);
    connect(m_comboColor, &QComboBox::activated, this, &CControlView::OnSelchangeComboColor);
    connect(m_comboMin->lineEdit(), &QLineEdit::textEdited, this,
            &CControlView::OnEditchangeComboMin);
    connect(m_comboMin, &QComboBox::activated, this, &CControlView::OnSelchangeComboMin);
    connect(m_comboMax->lineEdit(), &QLineEdit::textEdited, this,
            &CControlView::OnEditchangeComboMax);
    connect(m_comboMax, &QComboBox::activated, this, &CControlView::OnSelchangeComboMax);
    // Leaving a domain field (or Enter) ends the typed bound's undo step.
    for (QComboBox* p : {m_comboMin, m_comboMax})
        connect(p->lineEdit(), &QLineEdit::editingFinished, this, &CControlView::OnEndTyping);
    connect(m_listFun, &CColorListBox::wheelTurned, this, &CControlView::OnMouseWheel);

    // The wheel over any control zooms the plane: a combo would otherwise step through its
    // entries and change the selected function. The list forwards its own turns.
    for (QWidget* p : findChildren<QWidget*>()) {
        if (p->window() != window() || p == m_listFun || m_listFun->isAncestorOf(p)) continue;
        p->installEventFilter(this);
    }
    // The domain fields do not scroll: typing stops when a field is full.
    for (QComboBox* p : {m_comboMin, m_comboMax})
        p->lineEdit()->setValidator(new CFieldWidthValidator(p->lineEdit()));
}

bool CControlView::eventFilter(QObject* pWatched, QEvent* pEvent) {
    if (pEvent->type() == QEvent::Wheel) {
        wheelEvent(static_cast<QWheelEvent*>(pEvent));
        return true;
    }
    return QWidget::eventFilter(pWatched, pEvent);
}

CControlView::~CControlView() {
    if (m_pDoc) m_pDoc->Editor().RemoveListener(this);
}

void CControlView::Attach(CCurvistDoc* pDoc) {
    if (m_pDoc) m_pDoc->Editor().RemoveListener(this);
    m_pDoc = pDoc;
    // The list is told before the view, so a message the view shows finds it up to date.
    if (m_pDoc) m_pDoc->Editor().AddListener(this, true);
    if (m_comboColor->count() == 0) OnInitialUpdate();
}

void CControlView::OnInitialUpdate() {
    const QSignalBlocker blocker(m_comboColor);
    m_comboColor->clear();
    for (const CColorEntry& e : kColorTable)
        m_comboColor->AddColor(e.m_clr, QString::fromUtf8(e.m_szName));
    m_comboColor->setMaxVisibleItems(static_cast<int>(kColorTable.size()));
    m_comboColor->setCurrentIndex(-1);
}

QSize CControlView::sizeHint() const {
    return m_sizeTemplate;
}

int CControlView::SelectedRow() const {
    const QList<QListWidgetItem*> items = m_listFun->selectedItems();
    return items.isEmpty() ? -1 : m_listFun->row(items.front());
}

void CControlView::SelectRow(int nRow) {
    const QSignalBlocker blocker(m_listFun);
    m_listFun->setCurrentRow(nRow);
}

// --- Data exchange ----------------------------------------------------------------------------

void CControlView::ReadControls() {
    m_bCheckShow = m_checkShow->isChecked();
    m_strDomainMin = BoundOfField(m_comboMin);
    m_strDomainMax = BoundOfField(m_comboMax);
}

void CControlView::WriteControls() {
    const QSignalBlocker b1(m_checkShow), b2(m_comboMin), b3(m_comboMax);
    const QSignalBlocker b4(m_comboMin->lineEdit()), b5(m_comboMax->lineEdit());
    m_checkShow->setChecked(m_bCheckShow);
    SetBoundText(m_comboMin, FromCp936(m_strDomainMin));
    SetBoundText(m_comboMax, FromCp936(m_strDomainMax));
    ShowBoundTip(m_comboMin);
    ShowBoundTip(m_comboMax);
}

// --- The list rebuild -------------------------------------------------------------------------

void CControlView::DeleteAllRows() {
    const QSignalBlocker blocker(m_listFun);
    m_listFun->clear();
}

void CControlView::AddItem(const std::string& text, bool bShow, COLORREF clr) {
    const QSignalBlocker blocker(m_listFun);
    // The row text is "Y=" and the function's text, which alone is cut as everywhere else.
    m_listFun->AddItem(FromCp936Elided(text, kShownChars + 2), bShow, clr, -1);
}

void CControlView::EnableProperties(bool bEnable) {
    for (QWidget* p : std::initializer_list<QWidget*>{
             m_groupProps, m_checkShow, m_labelColor, m_comboColor, m_groupDomain, m_comboMin,
             m_comboMax, m_labelTo, m_btnModify, m_btnDelete})
        p->setEnabled(bEnable);
    if (bEnable) return;
    ReadControls();
    m_bCheckShow = false;
    {
        const QSignalBlocker blocker(m_comboColor);
        m_comboColor->setCurrentIndex(-1);
    }
    m_strDomainMin = kStrMinusInf;
    m_strDomainMax = kStrPlusInf;
    WriteControls();
}

// --- Add, modify, delete ----------------------------------------------------------------------

bool CControlView::RunInputDialog(const std::string& preset, std::string& text,
                                  std::unique_ptr<CNodeList>& nodes) {
    CInputFunDlg dlg(this);
    dlg.m_strFun = preset;
    if (RunModal(dlg) != QDialog::Accepted) return false;
    text = dlg.m_strFun;
    nodes = std::move(dlg.m_pNodes);
    return true;
}

void CControlView::OnButtonAdd() {
    if (!m_pDoc) return;
    std::string text;
    std::unique_ptr<CNodeList> nodes;
    if (!RunInputDialog(std::string(), text, nodes)) return;

    ReadControls();
    m_strDomainMin = kStrMinusInf;
    m_strDomainMax = kStrPlusInf;
    m_bCheckShow = true;
    WriteControls();

    const std::size_t n = m_pDoc->Editor().Add(std::move(text), std::move(nodes));
    {
        const QSignalBlocker blocker(m_comboColor);
        m_comboColor->setCurrentIndex(ColorIndexOf(m_pDoc->m_arFuns[n]->m_clrFun));
    }
    SelectRow(static_cast<int>(n));
    EnableProperties(true);
}

void CControlView::OnButtonModify() {
    const int i = SelectedRow();
    if (i < 0 || !m_pDoc || static_cast<std::size_t>(i) >= m_pDoc->m_arFuns.size()) return;
    const std::string preset = m_pDoc->m_arFuns[static_cast<std::size_t>(i)]->m_strFun;
    std::string text;
    std::unique_ptr<CNodeList> nodes;
    if (!RunInputDialog(preset, text, nodes)) return;
    // The same text changes nothing: nothing is redrawn, the list just compiled goes.
    m_pDoc->Editor().Modify(static_cast<std::size_t>(i), std::move(text), std::move(nodes));
}

void CControlView::OnButtonDelete() {
    const int i = SelectedRow();
    if (i < 0 || !m_pDoc) return;
    m_pDoc->Editor().Delete(static_cast<std::size_t>(i));
    {
        // Qt would move the current row to a neighbour; the panel leaves nothing selected.
        const QSignalBlocker blocker(m_listFun);
        m_listFun->clearSelection();
        m_listFun->setCurrentRow(-1);
    }
    if (SelectedRow() < 0) EnableProperties(false);
}

void CControlView::OnFunListChanged(const CFunChange& change) {
    const int i = static_cast<int>(change.m_nIndex);
    const CDataFun* fun = m_pDoc && change.m_nIndex < m_pDoc->m_arFuns.size()
                              ? m_pDoc->m_arFuns[change.m_nIndex].get()
                              : nullptr;
    switch (change.m_kind) {
    case EFunChange::Add:
    case EFunChange::Modify: {
        if (!fun) return;
        const QSignalBlocker blocker(m_listFun);
        const bool bSelected = change.m_kind == EFunChange::Modify && SelectedRow() == i;
        if (change.m_kind == EFunChange::Modify) m_listFun->DeleteItem(i);
        m_listFun->AddItem(U("Y=") + FromCp936Elided(fun->m_strFun), fun->m_bShow == 1,
                           fun->m_clrFun, i);
        if (bSelected) m_listFun->setCurrentRow(i);
        break;
    }
    case EFunChange::Delete: {
        const QSignalBlocker blocker(m_listFun);
        m_listFun->DeleteItem(i);
        break;
    }
    case EFunChange::Show:
        if (fun) m_listFun->SetItemShow(i, fun->m_bShow != 0);
        break;
    case EFunChange::Color:
        if (fun) m_listFun->SetItemColor(i, fun->m_clrFun);
        break;
    case EFunChange::Domain:
        break;
    }
    if (change.m_bReplay) ShowReplayed(change);
}

void CControlView::ShowReplayed(const CFunChange& change) {
    // An undone or redone change shows its function selected with its properties, or nothing
    // selected when the function left the list, as after a delete.
    const int i = static_cast<int>(change.m_nIndex);
    if (change.m_kind == EFunChange::Delete || i >= m_listFun->count()) {
        {
            const QSignalBlocker blocker(m_listFun);
            m_listFun->clearSelection();
            m_listFun->setCurrentRow(-1);
        }
        EnableProperties(false);
        return;
    }
    SelectRow(i);
    OnSelchangeListFun();
}

void CControlView::OnEndTyping() {
    if (m_pDoc) m_pDoc->Editor().EndTyping();
}

// --- Properties of the selected function ------------------------------------------------------

void CControlView::OnSelchangeListFun() {
    const int i = SelectedRow();
    // The controls never show a function that is no longer selected.
    if (i < 0) {
        EnableProperties(false);
        return;
    }
    if (!m_pDoc || static_cast<std::size_t>(i) >= m_pDoc->m_arFuns.size()) return;
    const CDataFun& fun = *m_pDoc->m_arFuns[static_cast<std::size_t>(i)];
    EnableProperties(true);
    ReadControls();
    m_bCheckShow = fun.m_bShow != 0;
    m_strDomainMin = fun.m_strMin;
    m_strDomainMax = fun.m_strMax;
    WriteControls();
    m_comboColor->SelectColor(fun.m_clrFun);
}

void CControlView::OnCheckShow() {
    const int i = SelectedRow();
    if (i < 0) return;
    ReadControls();
    if (m_pDoc) m_pDoc->Editor().SetShow(static_cast<std::size_t>(i), m_bCheckShow);
}

void CControlView::OnToggleShow() {
    if (SelectedRow() < 0 || !m_checkShow->isEnabled()) return;
    m_checkShow->setChecked(!m_checkShow->isChecked());
    OnCheckShow();
}

void CControlView::OnSelchangeComboColor() {
    const int nEntry = m_comboColor->currentIndex();
    const int i = SelectedRow();
    if (i < 0 || !m_pDoc || static_cast<std::size_t>(i) >= m_pDoc->m_arFuns.size()) return;
    const COLORREF clr = m_comboColor->GetColorAt(nEntry);
    if (m_pDoc->Editor().SetColor(static_cast<std::size_t>(i), clr)) {
        m_listFun->SetItemShow(i, m_bCheckShow);
        return;
    }
    m_comboColor->SelectColor(m_pDoc->m_arFuns[static_cast<std::size_t>(i)]->m_clrFun);
    // Each function keeps a colour of its own: say which function has this one.
    for (std::size_t n = 0; n < m_pDoc->m_arFuns.size(); ++n) {
        if (static_cast<int>(n) == i || m_pDoc->m_arFuns[n]->m_clrFun != clr) continue;
        const int nColor = ColorIndexOf(clr);
        const QString name =
            nColor >= 0 ? QString::fromUtf8(kColorTable[static_cast<std::size_t>(nColor)].m_szName)
                        : m_comboColor->itemText(nEntry);
        emit statusMessage(QString::fromUtf8("颜色“%1”已由 %2 使用，每个函数的颜色各不相同。")
                               .arg(name, FromCp936(FunRowText(*m_pDoc->m_arFuns[n]))));
        return;
    }
}

void CControlView::OnEditchangeComboMin() {
    OnEditchangeBound(m_comboMin, m_strDomainMin, 0);
}

void CControlView::OnEditchangeComboMax() {
    OnEditchangeBound(m_comboMax, m_strDomainMax, 1);
}

void CControlView::OnEditchangeBound(QComboBox* pCombo, std::string& strBound, int nSide) {
    const std::string strBefore = strBound;
    ReadControls();
    ShowBoundTip(pCombo);
    // The field's own undo (Ctrl+Z) takes the typing back to the open end it showed before:
    // that text stands for the unbounded side, as its list entry does.
    if (IsNumberText(strBound) || strBound == (nSide == 0 ? kStrMinusInf : kStrPlusInf)) {
        const int i = SelectedRow();
        if (i < 0 || !m_pDoc) return;
        // An unfinished number stays in the field but is not applied.
        if (strBound == "-" || strBound == "+" || strBound.empty()) return;
        // Every keystroke shows at once; the history keeps the typed bound as one step.
        m_pDoc->Editor().TypeDomain(static_cast<std::size_t>(i), nSide, strBound);
        return;
    }
    strBound = strBefore;
    WriteControls();
    QLineEdit* pEdit = pCombo->lineEdit();
    pEdit->setCursorPosition(static_cast<int>(pEdit->text().size()));
}

void CControlView::OnSelchangeComboMin() {
    OnSelchangeBound(m_comboMin, 0);
}

void CControlView::OnSelchangeComboMax() {
    OnSelchangeBound(m_comboMax, 1);
}

void CControlView::OnSelchangeBound(QComboBox* pCombo, int nSide) {
    ReadControls();
    ShowBoundTip(pCombo);
    const int i = SelectedRow();
    if (i < 0 || !m_pDoc) return;
    const auto nRow = static_cast<std::size_t>(i);
    switch (pCombo->currentIndex()) {
    case 0:
        m_pDoc->Editor().SetDomain(nRow, nSide, nSide == 0 ? kStrMinusInf : kStrPlusInf);
        break;
    case 1:
        m_pDoc->Editor().SetDomain(nRow, nSide,
                                   std::string(nSide == 0 ? "-" : "+") + std::string(kPiDigits));
        break;
    default:
        break;
    }
}

// --- Wheel ------------------------------------------------------------------------------------

void CControlView::OnMouseWheel(int nDelta) {
    for (int n = m_wheel.Add(nDelta); n != 0; n -= n < 0 ? -1 : 1)
        emit wheelStep(n < 0 ? -1 : 1);
}

void CControlView::wheelEvent(QWheelEvent* pEvent) {
    const int nDelta = pEvent->angleDelta().y();
    if (nDelta != 0) OnMouseWheel(nDelta);
    pEvent->accept();
}

// --- No scroll bars ---------------------------------------------------------------------------

bool CControlView::event(QEvent* pEvent) {
    if (pEvent->type() == QEvent::ParentChange || pEvent->type() == QEvent::Show)
        TurnOffEnclosingScrollBars();
    return QWidget::event(pEvent);
}

void CControlView::TurnOffEnclosingScrollBars() {
    // The panel keeps its dialog-unit layout however small its pane; a scroll area around it
    // never shows its bars.
    QWidget* pViewport = parentWidget();
    if (!pViewport) return;
    auto* pArea = qobject_cast<QAbstractScrollArea*>(pViewport->parentWidget());
    if (!pArea || pArea->viewport() != pViewport) return;
    pArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    pArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}
