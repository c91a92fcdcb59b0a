#pragma once
// The modal dialog in which the user types the right-hand side of "Y=".

#include "expr/DataAnalyzeFun.h"

#include "platform/qt/MessageBox.h"

#include <QDialog>
#include <QMessageBox>
#include <memory>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class CHintEdit;

class CInputFunDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CInputFunDlg(QWidget* pParent = nullptr);
    ~CInputFunDlg() override;

    // Shows the dialog modally with m_strFun in the edit; QDialog::Accepted after a valid text.
    int DoModal() { return exec(); }

    void setVisible(bool bVisible) override;
    // The OK button and Enter come here: compiles the text, closes only on success.
    void accept() override { OnOK(); }

    QLineEdit* Edit() const;
    // The line under the field that says what is wrong with the text and the button that
    // applies the rewrite it offers.
    QLabel* HintLabel() const { return m_pHint; }
    QPushButton* RewriteButton() const { return m_pRewrite; }

    // The text as typed, CP936 bytes; preset by the caller, read back after OK.
    std::string m_strFun;
    // The node list of the accepted text; the caller takes it after OK.
    std::unique_ptr<CNodeList> m_pNodes;

  protected:
    void OnOK();

  private:
    void OnTextChanged();
    void OnRewrite();
    void ShowMessage(QMessageBox::Icon icon, const QString& caption, const QString& text);

    CHintEdit* m_pEdit = nullptr;
    QLabel* m_pHint = nullptr;
    QPushButton* m_pRewrite = nullptr;
    QString m_strRewrite;
    QPushButton* m_pOk = nullptr;
    QPushButton* m_pCancel = nullptr;
};
