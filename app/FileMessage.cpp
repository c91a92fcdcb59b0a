#include "app/FileMessage.h"

#include "app/AppMessage.h"
#include "platform/qt/QtStrings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString FileErrorMessage(const char* szVerb, const QString& path, EFileError why,
                         const std::string& error) {
    QString text = U(szVerb) + U("文件“") + QDir::toNativeSeparators(path) + U("”：") +
                   U(FileErrorReason(why)) + U("。");
    if (FileErrorNeedsDetail(why) && !error.empty()) {
        // The file's name is already in the sentence: keep only what follows it.
        const std::string named = "\"" + LocalPath(path) + "\": ";
        const std::size_t at = error.find(named);
        const std::string detail =
            at == std::string::npos ? error : error.substr(at + named.size());
        text += U("\n（") + QString::fromLocal8Bit(detail.c_str()) + U("）");
    }
    return text;
}

QString ConfirmSavePath(QWidget* pParent, const QString& chosen, const QString& suffix) {
    QString path = chosen;
    if (QFileInfo(path).suffix().isEmpty()) path += u'.' + suffix;
    path = QFileInfo(path).absoluteFilePath();
    if (path == QFileInfo(chosen).absoluteFilePath() || !QFileInfo::exists(path)) return path;
    const QString text = U("“") + QFileInfo(path).fileName() + U("”已存在。\n要替换它吗？");
    if (AppMessageBox(pParent, QMessageBox::Warning, text, QMessageBox::Yes | QMessageBox::No) ==
        QMessageBox::Yes)
        return path;
    return {};
}
