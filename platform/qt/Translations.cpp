#include "platform/qt/Translations.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

// The file dialog's size and date columns, written as a Chinese desktop writes them.
class CChineseFileDetails : public QIdentityProxyModel {
  public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex& index, int role) const override {
        const auto* pFiles = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !pFiles || index.column() < 1 || index.column() > 3)
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        const QLocale locale(QLocale::Chinese, QLocale::China);
        if (index.column() == 3)
            return locale.toString(pFiles->lastModified(source), QLocale::ShortFormat);
        // Qt's translation lacks the type of a folder; other types come from the MIME
        // database in the default locale's language.
        if (index.column() == 2)
            return pFiles->isDir(source) ? QString::fromUtf8("文件夹")
                                         : QIdentityProxyModel::data(index, role);
        if (pFiles->isDir(source)) return QIdentityProxyModel::data(index, role);
        const qint64 n = pFiles->size(source);
        if (n < 1024) return QString::number(n) + QString::fromUtf8(" 字节");
        static const char* const kUnits[] = {"KB", "MB", "GB", "TB"};
        double v = double(n) / 1024;
        int unit = 0;
        for (; v >= 1024 && unit < 3; ++unit)
            v /= 1024;
        return locale.toString(v, 'f', 2) + u' ' + QLatin1String(kUnits[unit]);
    }
};

} // namespace

void ShowFileDetailsInChinese(QFileDialog* pDlg) {
    pDlg->setProxyModel(new CChineseFileDetails(pDlg));
}

bool InstallChineseQtTranslation(QCoreApplication* pApp) {
    static bool s_bInstalled = false;
    if (s_bInstalled) return true;
    // Sizes, dates and the file types of Qt's dialogs follow the default locale.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    auto* pTranslator = new QTranslator(pApp);
    if (!pTranslator->load(QStringLiteral("qtbase_zh_CN"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(pTranslator)) {
        delete pTranslator;
        return false;
    }
    s_bInstalled = true;
    return true;
}
