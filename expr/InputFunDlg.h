#pragma once
// The modal dialog in which the user types the right-hand side of "Y=".

#include "expr/DataAnalyzeFun.h"

#include "platform/qt/MessageBox.h"

#include <QDialog>
#include <QMessageBox>
#include <memory>
#include <string>

class QLineEdit;
class QPushButton;

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

    QLineEdit* Edit() const { return m_pEdit; }

    // The text as typed, CP936 bytes; preset by the caller, read back after OK.
    std::string m_strFun;
    // The node list of the accepted text; the caller takes it after OK.
    std::unique_ptr<CNodeList> m_pNodes;

  protected:
    void OnOK();

  private:
    void ShowMessage(QMessageBox::Icon icon, const QString& caption, const QString& text);

    QLineEdit* m_pEdit = nullptr;
    QPushButton* m_pOk = nullptr;
    QPushButton* m_pCancel = nullptr;
};
