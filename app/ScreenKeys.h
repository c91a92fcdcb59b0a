#pragma once
// F11 switches full-screen display on and off and Escape leaves it, as in every other
// full-screen program; both go through the commands of the context menu. Escape is taken only
// while the screen is full, so that the panel's controls keep it otherwise.

#include <QObject>
#include <functional>

class QAction;
class QShortcut;
class QWidget;

class CScreenKeys : public QObject {
  public:
    // pWindow: the main window, which owns the keys. bFull tells whether full-screen display is
    // on; pFull and pNormal are the commands that switch it.
    CScreenKeys(QWidget* pWindow, std::function<bool()> bFull, QAction* pFull, QAction* pNormal);

  private:
    void Toggle();
    void Follow();

    std::function<bool()> m_bFull;
    QAction* m_pFull;
    QAction* m_pNormal;
    QShortcut* m_pEscape;
};
