#include "app/ScreenKeys.h"

#include <QAction>
#include <QShortcut>
#include <QWidget>

CScreenKeys::CScreenKeys(QWidget* pWindow, std::function<bool()> bFull, QAction* pFull,
                         QAction* pNormal)
    : QObject(pWindow), m_bFull(std::move(bFull)), m_pFull(pFull), m_pNormal(pNormal) {
    auto* pF11 = new QShortcut(QKeySequence(Qt::Key_F11), pWindow);
    connect(pF11, &QShortcut::activated, this, &CScreenKeys::Toggle);
    m_pEscape = new QShortcut(QKeySequence(Qt::Key_Escape), pWindow);
    connect(m_pEscape, &QShortcut::activated, m_pNormal, &QAction::trigger);
    // Whichever way the mode changes (key, context menu), Escape follows it.
    connect(m_pFull, &QAction::triggered, this, &CScreenKeys::Follow);
    connect(m_pNormal, &QAction::triggered, this, &CScreenKeys::Follow);
    Follow();
}

void CScreenKeys::Toggle() {
    (m_bFull() ? m_pNormal : m_pFull)->trigger();
}

void CScreenKeys::Follow() {
    m_pEscape->setEnabled(m_bFull());
}
