#include "app/FileDrop.h"

#include "app/AppMessage.h"
#include "platform/qt/QtStrings.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QWidget>

namespace {

bool AllLocalFiles(const QMimeData* pData) {
    if (!pData || !pData->hasUrls() || pData->urls().isEmpty()) return false;
    for (const QUrl& url : pData->urls())
        if (!url.isLocalFile()) return false;
    return true;
}

} // namespace

CFileDrop::CFileDrop(QWidget* pWindow, Opener open)
    : QObject(pWindow), m_pWindow(pWindow), m_open(std::move(open)) {
    pWindow->setAcceptDrops(true);
    // Text fields take drops of their own and would paste the file's name; the application
    // sees every drag before they do.
    qApp->installEventFilter(this);
}

bool CFileDrop::eventFilter(QObject* pWatched, QEvent* pEvent) {
    const QEvent::Type type = pEvent->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
    auto* pWidget = qobject_cast<QWidget*>(pWatched);
    if (!pWidget || pWidget->window() != m_pWindow) return false;
    auto* pDrop = static_cast<QDropEvent*>(pEvent);
    if (!AllLocalFiles(pDrop->mimeData())) return false;
    pDrop->setDropAction(Qt::CopyAction);
    pDrop->accept();
    if (type == QEvent::Drop) {
        // The save question and the messages are modal: they wait until the drag source has
        // been told the drop is done.
        const QList<QUrl> urls = pDrop->mimeData()->urls();
        QTimer::singleShot(0, this, [this, urls] { OnDropFiles(urls); });
    }
    return true;
}

bool CFileDrop::OnDropFiles(const QList<QUrl>& urls) {
    QString why;
    if (urls.size() != 1) {
        why = U("一次只能打开一个文件，请只拖入一个方程文件（*.cvx）。");
    } else {
        const QFileInfo file(urls.front().toLocalFile());
        if (file.isDir() || file.suffix().compare(QStringLiteral("cvx"), Qt::CaseInsensitive) != 0)
            why = U("“") + QDir::toNativeSeparators(file.fileName()) +
                  U("”不是方程文件，只能打开扩展名为 .cvx 的方程文件。");
    }
    if (!why.isEmpty()) {
        AppMessageBox(m_pWindow, QMessageBox::Warning, why);
        return false;
    }
    return m_open(urls.front().toLocalFile());
}
