#include "expr/InputFunDlg.h"

#include "expr/FunCompiler.h"
#include "platform/qt/DialogUnits.h"
#include "platform/qt/QtStrings.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
// The dialog's message boxes carry the application title.
const char kAppTitle[] = "Curvist";
} // namespace

CInputFunDlg::CInputFunDlg(QWidget* pParent) : QDialog(pParent) {
    setWindowTitle(QString::fromUtf8("输入函数式"));
    const QFont font = DialogFont();
    setFont(font);
    const CDialogBaseUnits units = DialogBaseUnits(font);

    auto* pPrompt = new QLabel(QStringLiteral("Y="), this);
    PlaceAtTemplate(pPrompt, 32, 23, 9, 8, units);
    m_pEdit = new QLineEdit(this); // QLineEdit scrolls horizontally by itself
    m_pEdit->setObjectName(QStringLiteral("edit1004"));
    PlaceAtTemplate(m_pEdit, 47, 21, 108, 14, units);
    m_pOk = new QPushButton(QString::fromUtf8("确定(&Y)"), this);
    m_pOk->setDefault(true);
    PlaceAtTemplate(m_pOk, 38, 60, 50, 14, units);
    m_pCancel = new QPushButton(QString::fromUtf8("放弃(&N)"), this);
    PlaceAtTemplate(m_pCancel, 99, 60, 50, 14, units);
    setFixedSize(DialogRectToPixels(0, 0, 187, 89, units).size());

    connect(m_pOk, &QPushButton::clicked, this, &CInputFunDlg::accept);
    connect(m_pCancel, &QPushButton::clicked, this, &CInputFunDlg::reject);
}

CInputFunDlg::~CInputFunDlg() = default;

void CInputFunDlg::setVisible(bool bVisible) {
    if (bVisible && !isVisible()) {
        m_pEdit->setText(FromCp936(m_strFun));
        m_pEdit->setFocus();
    }
    QDialog::setVisible(bVisible);
}

void CInputFunDlg::OnOK() {
    m_strFun = ToCp936(m_pEdit->text());
    CFunCheck check = CheckFunText(m_strFun);
    switch (check.status) {
    case EFunCheck::Empty:
        return;
    case EFunCheck::Reserved:
        ShowMessage(QMessageBox::Warning, QString::fromUtf8(kAppTitle),
                    QString::fromUtf8(kMsgReserved));
        return;
    case EFunCheck::Invalid:
        ShowMessage(QMessageBox::Critical, QString::fromUtf8(kCaptionError),
                    QString::fromUtf8(kMsgInvalidFun));
        return;
    case EFunCheck::Ok:
        m_pNodes = std::move(check.pNodes);
        QDialog::accept();
        return;
    }
}

void CInputFunDlg::ShowMessage(QMessageBox::Icon icon, const QString& caption,
                               const QString& text) {
    ShowMessageBox(this, icon, caption, text);
}
