#include "app/AboutDlg.h"

#include "app/ToolbarImages.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* pParent) : QDialog(pParent) {
    setWindowTitle(QString::fromUtf8("关于 函数作图器"));
    auto* pIcon = new QLabel(this);
    pIcon->setPixmap(AppIcon().pixmap(32, 32));
    auto* pText = new QLabel(QString::fromUtf8("Lumivo函数作图器 1.02 版"), this);
    auto* pOk = new QPushButton(QString::fromUtf8("确定"), this);
    pOk->setDefault(true);
    connect(pOk, &QPushButton::clicked, this, &QDialog::accept);

    auto* pRow = new QHBoxLayout;
    pRow->addWidget(pIcon, 0, Qt::AlignTop);
    pRow->addSpacing(12);
    pRow->addWidget(pText, 1);
    pRow->addWidget(pOk, 0, Qt::AlignTop);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pRow);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}
