#pragma once
// The about box: the application icon, name and version, and OK.

#include <QDialog>

class CAboutDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CAboutDlg(QWidget* pParent = nullptr);
    int DoModal() { return exec(); }
};
