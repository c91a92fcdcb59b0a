#include "expr/InputFunDlg.h"

#include "expr/FunCompiler.h"
#include "expr/InputHints.h"
#include "platform/qt/DialogUnits.h"
#include "platform/qt/QtStrings.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <algorithm>
#include <optional>

namespace {
// The dialog's message boxes carry the application title.
const char kAppTitle[] = "Curvist";
} // namespace

// The input field, with a mark under the character a hint points at. A selection would do
// too, but the next keystroke would replace the marked character.
class CHintEdit : public QLineEdit {
  public:
    using QLineEdit::QLineEdit;
    void SetMark(int nPos) {
        if (nPos == m_nMark) return;
        m_nMark = nPos;
        update();
    }

  protected:
    void paintEvent(QPaintEvent* pEvent) override {
        QLineEdit::paintEvent(pEvent);
        const QString t = text();
        if (m_nMark < 0 || m_nMark >= t.size()) return;
        // The caret's place tells how far the text is scrolled.
        const QFontMetrics fm(font());
        const int nOrigin =
            cursorRect().center().x() - fm.horizontalAdvance(t.left(cursorPosition()));
        const int x0 = nOrigin + fm.horizontalAdvance(t.left(m_nMark));
        const int x1 = nOrigin + fm.horizontalAdvance(t.left(m_nMark + 1));
        const int y = cursorRect().bottom();
        QPainter painter(this);
        painter.setPen(QPen(Qt::red, 2));
        painter.drawLine(x0, y, std::max(x1, x0 + 4), y);
    }

  private:
    int m_nMark = -1;
};

CInputFunDlg::CInputFunDlg(QWidget* pParent) : QDialog(pParent) {
    setWindowTitle(QString::fromUtf8("输入函数式"));
    const QFont font = DialogFont();
    setFont(font);
    const CDialogBaseUnits units = DialogBaseUnits(font);

    auto* pPrompt = new QLabel(QStringLiteral("Y="), this);
    PlaceAtTemplate(pPrompt, 32, 23, 9, 8, units);
    m_pEdit = new CHintEdit(this); // QLineEdit scrolls horizontally by itself
    m_pEdit->setObjectName(QStringLiteral("edit1004"));
    PlaceAtTemplate(m_pEdit, 47, 21, 108, 14, units);
    m_pOk = new QPushButton(QString::fromUtf8("确定(&Y)"), this);
    m_pOk->setDefault(true);
    PlaceAtTemplate(m_pOk, 38, 60, 50, 14, units);
    m_pCancel = new QPushButton(QString::fromUtf8("放弃(&N)"), this);
    PlaceAtTemplate(m_pCancel, 99, 60, 50, 14, units);
    m_pRewrite = new QPushButton(QString::fromUtf8("改为"), this);
    PlaceAtTemplate(m_pRewrite, 157, 21, 24, 14, units);
    m_pRewrite->setAutoDefault(false);
    m_pRewrite->hide();
    m_pHint = new QLabel(this);
    m_pHint->setObjectName(QStringLiteral("hint"));
    m_pHint->setWordWrap(true);
    m_pHint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PlaceAtTemplate(m_pHint, 8, 38, 173, 19, units);
    setFixedSize(DialogRectToPixels(0, 0, 187, 89, units).size());

    connect(m_pEdit, &QLineEdit::textChanged, this, &CInputFunDlg::OnTextChanged);
    connect(m_pRewrite, &QPushButton::clicked, this, &CInputFunDlg::OnRewrite);
    connect(m_pOk, &QPushButton::clicked, this, &CInputFunDlg::accept);
    connect(m_pCancel, &QPushButton::clicked, this, &CInputFunDlg::reject);
}

CInputFunDlg::~CInputFunDlg() = default;

QLineEdit* CInputFunDlg::Edit() const {
    return m_pEdit;
}

void CInputFunDlg::OnTextChanged() {
    const std::optional<CInputHint> hint = InputHintFor(m_pEdit->text().toStdString());
    const QString line = hint ? QString::fromStdString(InputHintLine(*hint)) : QString();
    m_pHint->setText(line);
    m_pHint->setToolTip(line);
    m_pEdit->SetMark(hint && hint->nPos ? static_cast<int>(*hint->nPos) : -1);
    m_strRewrite = hint ? QString::fromStdString(hint->strRewrite) : QString();
    m_pRewrite->setVisible(!m_strRewrite.isEmpty());
}

void CInputFunDlg::OnRewrite() {
    if (m_strRewrite.isEmpty()) return;
    // Through the field's own editing, so that its undo takes the rewrite back.
    m_pEdit->selectAll();
    m_pEdit->insert(m_strRewrite);
    // Typing goes on after the rewrite, not over it.
    m_pEdit->setFocus();
    m_pEdit->deselect();
    m_pEdit->end(false);
}

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
