#pragma once
// Files dragged onto the main window: one local ".cvx" file opens as File Open would (the save
// question first); several files or another type are refused with a message. Only drags of
// local files are taken, wherever on the window they are dropped, text fields included.

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>

class QDropEvent;
class QWidget;

class CFileDrop : public QObject {
  public:
    // Opens a file as File Open does; false when it did not happen.
    using Opener = std::function<bool(const QString& path)>;
    // The window takes drops from now on; the object lives as its child.
    CFileDrop(QWidget* pWindow, Opener open);

    // The drop itself, once the drag has ended: opens the one function file or says why not.
    // False when nothing was opened.
    bool OnDropFiles(const QList<QUrl>& urls);

  protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

  private:
    QWidget* m_pWindow;
    Opener m_open;
};
