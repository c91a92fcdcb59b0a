#include "platform/qt/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool InstallChineseQtTranslation(QCoreApplication* pApp) {
    static bool s_bInstalled = false;
    if (s_bInstalled) return true;
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
