#include "settings/VisParamDlg.h"

#include "platform/qt/QtStrings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

void SetChecked(QCheckBox* pBox, int b) {
    pBox->setChecked(b != 0);
}

// Selects the radio with that id; any other id leaves the group with nothing selected.
void SetCheckedId(QButtonGroup* pGroup, int nId) {
    if (QAbstractButton* pButton = pGroup->button(nId)) {
        pButton->setChecked(true);
        return;
    }
    pGroup->setExclusive(false);
    for (QAbstractButton* pButton : pGroup->buttons())
        pButton->setChecked(false);
    pGroup->setExclusive(true);
}

void EnablePlaces(QButtonGroup* pGroup, int nFirst, bool bEnable) {
    pGroup->button(nFirst)->setEnabled(bEnable);
    pGroup->button(nFirst + 1)->setEnabled(bEnable);
}

// Steps show as plain decimals with at most two places: 1, 0.5, 0.28.
QString StepText(std::uint32_t nSpeed) {
    QString s = QString::number(UnitFromSpeed(nSpeed), 'f', 2);
    while (s.endsWith(u'0'))
        s.chop(1);
    if (s.endsWith(u'.')) s.chop(1);
    return s;
}

// The limits of the key table: cells share one range, steps another.
const CVisParamKey& kCellKey = VisParamKey("Pane", "nWidth");
const CVisParamKey& kStepKey = VisParamKey("Scale", "nSpeed_X");

} // namespace

CVisParamDlg::CVisParamDlg(QWidget* pParent, std::string strIniPath)
    : CVisParamDlg(pParent, CVisParamLocation{strIniPath, strIniPath, false}) {}

CVisParamDlg::CVisParamDlg(QWidget* pParent, CVisParamLocation location)
    : QDialog(pParent), m_location(std::move(location)) {
    setWindowTitle(U("显示参数设置"));
    auto* pMain = new QVBoxLayout(this);
    auto* pColumns = new QHBoxLayout;
    pMain->addLayout(pColumns);

    auto* pXColumn = new QWidget(this);
    auto* pYColumn = new QWidget(this);
    pColumns->addWidget(pXColumn);
    pColumns->addWidget(pYColumn);
    m_x.m_pAxis = new QCheckBox(U("显示X轴"), pXColumn);
    m_x.m_pGrid = new QCheckBox(U("显示水平格线"), pXColumn);
    m_x.m_pSizeLabel = new QLabel(U("水平网格宽度"), pXColumn);
    m_y.m_pAxis = new QCheckBox(U("显示Y轴"), pYColumn);
    m_y.m_pGrid = new QCheckBox(U("显示垂直格线"), pYColumn);
    m_y.m_pSizeLabel = new QLabel(U("垂直网格高度"), pYColumn);
    BuildSide(m_x, true);
    BuildSide(m_y, false);

    auto* pOriginBox = new QGroupBox(U("坐标原点初始位置"), this);
    auto* pOriginGrid = new QGridLayout(pOriginBox);
    m_pOrigin = new QButtonGroup(this);
    const char* const aszOrigin[9] = {"左上角", "顶部",   "右上角", "左侧",  "居中",
                                      "右侧",   "左下角", "底部",   "右下角"};
    for (int i = 0; i < 9; ++i) { // radios 1013..1021, row by row
        auto* pRadio = new QRadioButton(U(aszOrigin[i]), pOriginBox);
        m_pOrigin->addButton(pRadio, i);
        pOriginGrid->addWidget(pRadio, i / 3, i % 3);
    }
    pMain->addWidget(pOriginBox);

    auto* pButtons = new QHBoxLayout;
    pButtons->addStretch();
    auto* pOk = new QPushButton(U("确定"), this);
    pOk->setDefault(true);
    auto* pCancel = new QPushButton(U("取消"), this);
    pButtons->addWidget(pOk);
    pButtons->addWidget(pCancel);
    pMain->addLayout(pButtons);
    connect(pOk, &QPushButton::clicked, this, &CVisParamDlg::accept);
    connect(pCancel, &QPushButton::clicked, this, &CVisParamDlg::reject);

    connect(m_x.m_pGrid, &QCheckBox::clicked, this, &CVisParamDlg::OnCheckGridX);
    connect(m_y.m_pGrid, &QCheckBox::clicked, this, &CVisParamDlg::OnCheckGridY);
    connect(m_x.m_pAxis, &QCheckBox::clicked, this, &CVisParamDlg::OnCheckAxisX);
    connect(m_y.m_pAxis, &QCheckBox::clicked, this, &CVisParamDlg::OnCheckAxisY);
    connect(m_x.m_pScale, &QCheckBox::clicked, this, &CVisParamDlg::OnCheckScaleX);
    connect(m_y.m_pScale, &QCheckBox::clicked, this, &CVisParamDlg::OnCheckScaleY);
}

void CVisParamDlg::BuildSide(CSide& side, bool bX) {
    QWidget* pColumn = side.m_pAxis->parentWidget();
    auto* pLayout = new QVBoxLayout(pColumn);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->addWidget(side.m_pAxis);
    pLayout->addWidget(side.m_pGrid);
    auto* pSizeRow = new QHBoxLayout;
    side.m_pSize = new QLineEdit(pColumn);
    side.m_pSize->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,9}")), side.m_pSize));
    pSizeRow->addWidget(side.m_pSizeLabel);
    pSizeRow->addWidget(side.m_pSize);
    pLayout->addLayout(pSizeRow);

    auto* pScaleBox = new QGroupBox(bX ? U("水平刻度值设置") : U("垂直刻度值设置"), pColumn);
    auto* pScaleLayout = new QVBoxLayout(pScaleBox);
    side.m_pScale = new QCheckBox(U("显示刻度值"), pScaleBox);
    pScaleLayout->addWidget(side.m_pScale);
    auto* pStepRow = new QHBoxLayout;
    pStepRow->addWidget(new QLabel(U("刻度值步距"), pScaleBox));
    // A decimal number with at most two decimals.
    side.m_pStep = new QLineEdit(pScaleBox);
    side.m_pStep->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,7}(\\.[0-9]{0,2})?")), side.m_pStep));
    pStepRow->addWidget(side.m_pStep);
    pScaleLayout->addLayout(pStepRow);

    // The placement radios sit alone in their group box, so disabling it disables only them.
    side.m_pPlaceGroup = new QGroupBox(U("刻度值显示位置"), pScaleBox);
    auto* pPlaceGrid = new QGridLayout(side.m_pPlaceGroup);
    side.m_pPlace = new QButtonGroup(this);
    const char* const aszX[4] = {"X轴下方", "X轴上方", "底部", "顶部"};
    const char* const aszY[4] = {"Y轴左侧", "Y轴右侧", "右侧", "左侧"};
    for (int i = 0; i < 4; ++i) {
        auto* pRadio = new QRadioButton(U(bX ? aszX[i] : aszY[i]), side.m_pPlaceGroup);
        side.m_pPlace->addButton(pRadio, i);
        pPlaceGrid->addWidget(pRadio, i / 2, i % 2);
    }
    pScaleLayout->addWidget(side.m_pPlaceGroup);
    pLayout->addWidget(pScaleBox);
    pLayout->addStretch();
}

void CVisParamDlg::setVisible(bool bVisible) {
    if (bVisible && !isVisible()) OnInitDialog();
    QDialog::setVisible(bVisible);
}

void CVisParamDlg::OnInitDialog() {
    m_bSaveFailed = false;
    m_param = LoadVisParam(m_location.strRead);
    WriteControls(m_param);

    EnableByRules(m_x);
    EnableByRules(m_y);
    m_x.m_pAxis->setFocus();
}

void CVisParamDlg::WriteControls(const CVisParam& p) {
    WriteSide(m_x, p.x);
    WriteSide(m_y, p.y);
    m_nOriginPlace = p.nOriginPlace;
    SetCheckedId(m_pOrigin, m_nOriginPlace);
}

void CVisParamDlg::WriteSide(CSide& side, const CVisAxis& axis) {
    side.m_axis = axis;
    SetChecked(side.m_pAxis, axis.bShowAxis);
    SetChecked(side.m_pGrid, axis.bShowGrid);
    SetChecked(side.m_pScale, axis.bShowScale);
    WritePlace(side);
    side.m_pSize->setText(QString::number(axis.nCell));
    side.m_pStep->setText(StepText(axis.nSpeed));
}

void CVisParamDlg::ReadChecksAndPlaces() {
    for (CSide* pSide : {&m_x, &m_y}) {
        pSide->m_axis.bShowAxis = pSide->m_pAxis->isChecked() ? 1 : 0;
        pSide->m_axis.bShowGrid = pSide->m_pGrid->isChecked() ? 1 : 0;
        pSide->m_axis.bShowScale = pSide->m_pScale->isChecked() ? 1 : 0;
        pSide->m_axis.nPlace = pSide->m_pPlace->checkedId();
    }
    m_nOriginPlace = m_pOrigin->checkedId();
}

void CVisParamDlg::WritePlace(CSide& side) {
    SetCheckedId(side.m_pPlace, side.m_axis.nPlace);
}

void CVisParamDlg::EnableByRules(CSide& s) {
    const CVisAxis& a = s.m_axis;
    const CPlaceEnable e =
        PlaceEnable({a.bShowAxis != 0, a.bShowGrid != 0, a.bShowScale != 0, a.nPlace});
    s.m_pSize->setEnabled(e.bSize);
    s.m_pSizeLabel->setEnabled(e.bSize);
    s.m_pPlaceGroup->setEnabled(e.bPlaceGroup);
    EnablePlaces(s.m_pPlace, 0, e.bBesideAxis);
    EnablePlaces(s.m_pPlace, 2, e.bAtEdge);
}

void CVisParamDlg::OnCheckBox(CSide& s, EPlaceBox box) {
    ReadChecksAndPlaces();
    EnableByRules(s);
    const CVisAxis& a = s.m_axis;
    const int nPlace =
        PlaceAfterClick(box, {a.bShowAxis != 0, a.bShowGrid != 0, a.bShowScale != 0, a.nPlace});
    if (nPlace != a.nPlace) {
        s.m_axis.nPlace = nPlace;
        WritePlace(s);
    }
}

bool CVisParamDlg::ReadSize(QLineEdit* pEdit, const char* szField, int nOpened, int& nValue) {
    bool bOk = false;
    const uint n = pEdit->text().toUInt(&bOk);
    // The view divides by the cell size and steps its grid loops by it.
    if (bOk && n >= kCellKey.nMin && n <= kCellKey.nMax) {
        nValue = static_cast<int>(n);
        return true;
    }
    // A disabled field cannot take the focus or a correction: it keeps its opening value.
    if (!pEdit->isEnabled()) {
        pEdit->setText(QString::number(nOpened));
        nValue = nOpened;
        return true;
    }
    ShowMessage(QMessageBox::Warning, windowTitle(),
                U(szField) +
                    U("必须是 %1 到 %2 之间的整数。").arg(kCellKey.nMin).arg(kCellKey.nMax));
    pEdit->setFocus();
    pEdit->selectAll();
    return false;
}

bool CVisParamDlg::ReadStep(QLineEdit* pEdit, const char* szField, std::uint32_t nOpened,
                            std::uint32_t& nSpeed) {
    bool bOk = false;
    const double d = pEdit->text().toDouble(&bOk);
    const auto nMin = static_cast<std::uint32_t>(kStepKey.nMin);
    const auto nMax = static_cast<std::uint32_t>(kStepKey.nMax);
    if (bOk && d >= UnitFromSpeed(nMin) && d <= UnitFromSpeed(nMax)) {
        nSpeed = static_cast<std::uint32_t>(SpeedFromUnit(d));
        return true;
    }
    if (!pEdit->isEnabled()) {
        pEdit->setText(StepText(nOpened));
        nSpeed = nOpened;
        return true;
    }
    ShowMessage(QMessageBox::Warning, windowTitle(),
                U(szField) + U("必须在 %1 到 %2 之间。").arg(StepText(nMin), StepText(nMax)));
    pEdit->setFocus();
    pEdit->selectAll();
    return false;
}

void CVisParamDlg::OnOK() {
    ReadChecksAndPlaces();
    CVisParam p{m_x.m_axis, m_y.m_axis, m_nOriginPlace};
    // m_param still holds the values the dialog opened with.
    if (!ReadSize(m_x.m_pSize, "水平网格宽度", m_param.x.nCell, p.x.nCell) ||
        !ReadSize(m_y.m_pSize, "垂直网格高度", m_param.y.nCell, p.y.nCell) ||
        !ReadStep(m_x.m_pStep, "水平刻度值步距", m_param.x.nSpeed, p.x.nSpeed) ||
        !ReadStep(m_y.m_pStep, "垂直刻度值步距", m_param.y.nSpeed, p.y.nSpeed))
        return;
    m_param = p;
    // A failed write still closes with OK: the values apply for this run and the caller warns.
    m_bSaveFailed = !SaveVisParam(m_param, m_location);
    QDialog::accept();
}

void CVisParamDlg::ShowMessage(QMessageBox::Icon icon, const QString& caption,
                               const QString& text) {
    ShowMessageBox(this, icon, caption, text);
}
